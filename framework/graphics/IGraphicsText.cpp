// Text: fonts, measurement on the CPU (works without a window), line breaking, and drawing.
#include "GraphicsImpl.h"
#include "GraphicsResources.h"
#include "RenderTarget.h"
#include "nanovg.h"

bool IGraphics::LoadFont(const char* fontID, const char* fileNameOrResID) {
  std::vector<unsigned char> data;
  return fontID && ReadResourceOrFile(fileNameOrResID, data) && impl->fonts->Add(fontID, std::move(data));
}

float IGraphics::Impl::TextWidth(const IText& style, const char* str) const {
  if (!str || !*str)
    return 0.f;
  if (fonts->Find(style.font.data()) < 0)
    return 0.5f * style.size * static_cast<float>(DecodeUtf8(str).size()); // no font yet: an estimate
  return fonts->Width(style, str, PixelScale());
}

float IGraphics::Impl::LineHeight(const IText& style) const {
  return fonts->Vertical(style, PixelScale()).lineHeight;
}

std::vector<std::string> IGraphics::Impl::BreakLines(const IText& style, const char* str,
                                                     float maxWidth) const {
  std::vector<std::string> lines;
  if (!str)
    return lines;
  std::string line;
  const char* p = str;
  while (*p) {
    if (*p == '\n') {
      lines.push_back(line);
      line.clear();
      ++p;
      continue;
    }
    const char* wordEnd = p;
    while (*wordEnd && *wordEnd != ' ' && *wordEnd != '\n')
      ++wordEnd;
    const std::string word(p, wordEnd);
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(style, candidate.c_str()) > maxWidth) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    p = wordEnd;
    while (*p == ' ')
      ++p;
  }
  if (!line.empty())
    lines.push_back(line);
  return lines;
}

float IGraphics::MeasureText(const IText& text, const char* str, IRECT& bounds) const {
  const float w = impl->TextWidth(text, str);
  const FontStore::VMetrics v = impl->fonts->Vertical(text, impl->PixelScale());
  const float h = v.ascender - v.descender;
  float x = bounds.L;
  if (text.align == EAlign::Center)
    x = bounds.MW() - 0.5f * w;
  else if (text.align == EAlign::Far)
    x = bounds.R - w;
  float y = bounds.T;
  if (text.vAlign == EVAlign::Middle)
    y = bounds.MH() - 0.5f * h;
  else if (text.vAlign == EVAlign::Bottom)
    y = bounds.B - h;
  bounds = IRECT(x, y, x + w, y + h);
  return w;
}

void IGraphics::DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) {
  NVGcontext* vg = impl->vg;
  if (!vg || !str || !*str)
    return;
  const int font = impl->target->FontId(impl->fonts->Find(text.font.data()));
  if (font < 0)
    return;
  int align = NVG_ALIGN_LEFT;
  float x = bounds.L;
  if (text.align == EAlign::Center) {
    align = NVG_ALIGN_CENTER;
    x = bounds.MW();
  } else if (text.align == EAlign::Far) {
    align = NVG_ALIGN_RIGHT;
    x = bounds.R;
  }
  float y = bounds.MH();
  if (text.vAlign == EVAlign::Top) {
    align |= NVG_ALIGN_TOP;
    y = bounds.T;
  } else if (text.vAlign == EVAlign::Bottom) {
    align |= NVG_ALIGN_BOTTOM;
    y = bounds.B;
  } else {
    align |= NVG_ALIGN_MIDDLE;
  }
  const IColor& c = text.fgColor;
  nvgGlobalAlpha(vg, blend ? std::clamp(blend->weight, 0.f, 1.f) : 1.f);
  nvgFontFaceId(vg, font);
  nvgFontSize(vg, text.size);
  nvgTextAlign(vg, align);
  nvgFillColor(vg, nvgRGBA(static_cast<unsigned char>(std::clamp(c.R, 0, 255)),
                           static_cast<unsigned char>(std::clamp(c.G, 0, 255)),
                           static_cast<unsigned char>(std::clamp(c.B, 0, 255)),
                           static_cast<unsigned char>(std::clamp(c.A, 0, 255))));
  if (text.angle != 0.f) {
    nvgSave(vg);
    nvgTranslate(vg, x, y);
    nvgRotate(vg, nvgDegToRad(text.angle));
    nvgText(vg, 0.f, 0.f, str, nullptr);
    nvgRestore(vg);
  } else {
    nvgText(vg, x, y, str, nullptr);
  }
}

void IGraphics::DrawMultiLineText(const IText& text, const char* str, const IRECT& bounds,
                                  const IBlend* blend) {
  if (!impl->vg || !str || !*str)
    return;
  const std::vector<std::string> lines = impl->BreakLines(text, str, bounds.W());
  const float lineH = impl->LineHeight(text);
  const float blockH = lineH * static_cast<float>(lines.size());
  float top = bounds.T;
  if (text.vAlign == EVAlign::Middle)
    top = bounds.MH() - 0.5f * blockH;
  else if (text.vAlign == EVAlign::Bottom)
    top = bounds.B - blockH;
  IText line = text;
  line.vAlign = EVAlign::Middle;
  for (const std::string& s : lines) {
    DrawText(line, s.c_str(), IRECT(bounds.L, top, bounds.R, top + lineH), blend);
    top += lineH;
  }
}
