// The frame: dirty checks of every control in attachment order, then the dirty area redrawn in
// attachment order with each control clipped to its rectangle, then the layer's overlays on top.
#include "GraphicsImpl.h"
#include "GraphicsRender.h"
#include "RenderTarget.h"

namespace {

constexpr IColor kTooltipBack(240, 30, 35, 46);
constexpr IColor kTooltipFrame(255, 88, 99, 118);
constexpr IColor kTooltipText(255, 240, 236, 226);
constexpr float kTooltipTextSize = 12.f;
constexpr float kTooltipPad = 5.f;
constexpr float kTooltipMaxWidth = 360.f;

IText TooltipStyle() {
  return IText(kTooltipTextSize, kTooltipText, nullptr, EAlign::Near, EVAlign::Top);
}

} // namespace

bool IGraphics::OnFrame() {
  return impl->Frame(false);
}

bool IGraphics::Impl::Frame(bool full) {
  const IRECT editor = EditorRect();
  IRECT area = full || fullRedraw ? editor : pending;
  std::vector<IControl*> toClean;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    IControl& c = *controls[i];
    const bool dirty = c.IsDirty();
    const bool visible = !c.IsHidden();
    if (visible != drawnVisible[i])
      area = area.Union(c.GetRECT()); // shown, or hidden: what lies beneath shows again
    if (dirty && visible) {
      area = area.Union(c.GetRECT());
      toClean.push_back(&c);
    }
    drawnVisible[i] = visible;
  }
  UpdateTooltip();
  area = GraphicsRender::PixelAligned(*this, area.Union(pending)).Intersect(editor);
  pending = {};
  fullRedraw = false;
  for (IControl* c : toClean)
    c->SetClean();
  if (area.Empty())
    return false;

  GraphicsRender::BeginFrame(*this, area);
  for (const auto& c : controls) {
    if (c->IsHidden() || !c->GetRECT().Intersects(area))
      continue;
    GraphicsRender::Clip(*this, c->GetRECT().Intersect(area));
    c->Draw(self);
  }
  GraphicsRender::Clip(*this, area);
  DrawOverlays();
  GraphicsRender::EndFrame(*this);
  ++frames;
  return true;
}

bool IGraphics::Impl::FrameInto(RenderTarget& t, bool full) {
  if (!t.Prepare(self.WindowWidth(), self.WindowHeight(), *fonts))
    return false;
  target = &t;
  vg = t.vg;
  const bool drawn = Frame(full || t.fresh);
  target = nullptr;
  vg = nullptr;
  t.fresh = false;
  return drawn;
}

void IGraphics::Impl::DrawOverlays() {
  if (resizer.attached) {
    const IRECT r = ResizerRect();
    const IColor& color = resizer.dragging ? resizer.dragColor
                          : resizer.over   ? resizer.overColor
                                           : resizer.color;
    // Three diagonal grip lines in the corner.
    for (int i = 1; i <= 3; ++i) {
      const float d = r.W() * 0.25f * static_cast<float>(i);
      self.DrawLine(color, r.R - d, r.B - 1.f, r.R - 1.f, r.B - d, nullptr, 1.5f);
    }
  }
  if (entry) {
    const TextEntry& e = *entry;
    const IText& style = e.Style();
    const IRECT& b = e.Bounds();
    self.FillRect(style.textEntryBGColor, b);
    const float lineH = LineHeight(style);
    const float top = b.MH() - 0.5f * lineH;
    if (e.SelectionEnd() > e.SelectionStart()) {
      IColor selection = style.textEntryFGColor;
      selection.A = 80;
      self.FillRect(selection,
                    IRECT(e.CaretX(e.SelectionStart()), top, e.CaretX(e.SelectionEnd()), top + lineH));
    }
    IText shown = style.WithFGColor(style.textEntryFGColor).WithAlign(EAlign::Near);
    self.DrawText(shown, e.Text().c_str(), IRECT(e.TextLeft(), b.T, b.R + 1000.f, b.B));
    const float cx = e.CaretX(e.Caret());
    self.DrawLine(style.textEntryFGColor, cx, top, cx, top + lineH, nullptr, 1.f);
  }
  if (popup) {
    const PopupMenuView& p = *popup;
    const IText& style = p.style;
    self.FillRect(style.textEntryBGColor, p.box);
    self.DrawRect(kTooltipFrame, p.box.GetPadded(-0.5f));
    for (int i = 0; i < p.menu->NItems(); ++i) {
      const IPopupMenu::Item& item = *p.menu->GetItem(i);
      const IRECT r = p.ItemRect(i);
      IColor fg = style.textEntryFGColor;
      if (i == p.hovered) {
        IColor hover = fg;
        hover.A = 48;
        self.FillRect(hover, r.GetPadded(-1.f));
      }
      if (!item.GetEnabled())
        fg.A = 110;
      if (item.GetChecked()) {
        const float x = r.L + 6.f, y = r.MH();
        self.DrawLine(fg, x, y, x + 4.f, y + 4.f, nullptr, 2.f);
        self.DrawLine(fg, x + 4.f, y + 4.f, x + 11.f, y - 5.f, nullptr, 2.f);
      }
      self.DrawText(style.WithFGColor(fg), item.text.c_str(),
                    IRECT(r.L + PopupMenuView::kTickSpace, r.T, r.R - 4.f, r.B));
    }
  }
  if (tooltipShown) {
    self.FillRect(kTooltipBack, tooltipRect);
    self.DrawRect(kTooltipFrame, tooltipRect.GetPadded(-0.5f));
    const IText style = TooltipStyle();
    const float lineH = LineHeight(style);
    float y = tooltipRect.T + kTooltipPad;
    for (const std::string& line : tooltipLines) {
      self.DrawText(style, line.c_str(), IRECT(tooltipRect.L + kTooltipPad, y, tooltipRect.R, y + lineH));
      y += lineH;
    }
  }
}

void IGraphics::Impl::HideTooltip() {
  if (tooltipShown)
    Invalidate(tooltipRect);
  tooltipShown = false;
  restFrames = 0;
}

void IGraphics::Impl::UpdateTooltip() {
  IControl* c = nullptr;
  if (tooltipsEnabled && mouseInside && !captured && !entry && !popup && !resizer.dragging)
    c = self.GetMouseControl(mouseX, mouseY);
  if (c && !*c->GetTooltip())
    c = nullptr;
  if (c != tooltipControl) {
    HideTooltip();
    tooltipControl = c;
  }
  // One second of rest, counted in frames of the editor's own rate.
  if (!c || tooltipShown || ++restFrames < fps)
    return;
  const IText style = TooltipStyle();
  tooltipLines = BreakLines(style, c->GetTooltip(), kTooltipMaxWidth - 2.f * kTooltipPad);
  float w = 0.f;
  for (const std::string& line : tooltipLines)
    w = std::max(w, TextWidth(style, line.c_str()));
  w += 2.f * kTooltipPad + 1.f;
  const float h = LineHeight(style) * static_cast<float>(tooltipLines.size()) + 2.f * kTooltipPad;
  const float W = static_cast<float>(width), H = static_cast<float>(height);
  const float left = std::clamp(mouseX, 0.f, std::max(0.f, W - w));
  float top = mouseY + 20.f;
  if (top + h > H)
    top = std::max(0.f, mouseY - 6.f - h);
  tooltipRect = IRECT(left, top, left + w, top + h);
  tooltipShown = true;
  Invalidate(tooltipRect);
}
