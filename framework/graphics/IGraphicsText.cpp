// Text: measurement on the CPU (works without a window), line breaking, and the text drawing calls.
#include <cstring>

#include "GraphicsImpl.h"
#include "GraphicsResources.h"

bool IGraphics::LoadFont(const char* fontID, const char* fileNameOrResID) {
  std::vector<unsigned char> data;
  if (!fontID || !ReadResourceOrFile(fileNameOrResID, data) || data.size() < 12)
    return false;
  // TrueType or OpenType outlines.
  const bool sfnt = (data[0] == 0 && data[1] == 1 && data[2] == 0 && data[3] == 0) ||
                    std::memcmp(data.data(), "OTTO", 4) == 0 || std::memcmp(data.data(), "true", 4) == 0;
  if (!sfnt)
    return false;
  for (FontStore::Font& f : impl->fonts->fonts)
    if (f.id == fontID) {
      f.data = std::move(data);
      return true;
    }
  impl->fonts->fonts.push_back({fontID, std::move(data)});
  return true;
}

float IGraphics::Impl::TextWidth(const IText& style, const char* str) const {
  if (!str)
    return 0.f;
  // An estimate until the fonts are measured: half an em per character.
  return 0.5f * style.size * static_cast<float>(DecodeUtf8(str).size());
}

float IGraphics::Impl::LineHeight(const IText& style) const {
  return 1.2f * style.size;
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
  const float h = impl->LineHeight(text);
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

void IGraphics::DrawText(const IText&, const char*, const IRECT&, const IBlend*) {}

void IGraphics::DrawMultiLineText(const IText&, const char*, const IRECT&, const IBlend*) {}
