#include "Brand.h"

#include "IGraphics.h"
#include "MakerLinks.h"
#include "Palette.h"

Brand::Brand(const IRECT& bounds, const ISVG& image) : IControl(bounds), logo(image) {
  SetTooltip("Open KELDARINE plugins and support.");
}

void Brand::OnMouseDown(float, float, const IMouseMod&) {
  if (IGraphics* ui = GetUI())
    ui->OpenURL(kMakerWebPage);
}

bool Brand::OnKeyDown(float x, float y, const IKeyPress& key) {
  if (key.VK != kVK_RETURN && key.VK != kVK_SPACE)
    return false;
  OnMouseDown(x, y, IMouseMod{});
  return true;
}

void Brand::Draw(IGraphics& g) {
  if (logo.IsValid()) {
    g.DrawSVG(logo, GetRECT());
  } else {
    // The two halves touch: the amber one starts where the cream one's measured width ends.
    const IText cream = EditorText(27.f, kColorCream);
    IRECT measured;
    g.MeasureText(cream, "KELD", measured);
    const float w = measured.R - measured.L;
    g.DrawText(cream, "KELD", IRECT(36.f, 5.f, 36.f + w + 2.f, 39.f));
    g.DrawText(cream.WithFGColor(kColorAmber), "ARINE", IRECT(36.f + w, 5.f, 247.f, 39.f));
  }
  if (GetMouseIsOver())
    g.DrawLine(kColorAmber, 37.f, 39.f, 230.f, 39.f, nullptr, 1.f);
}
