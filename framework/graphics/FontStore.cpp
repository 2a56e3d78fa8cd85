#include "FontStore.h"

#include "fontstash.h"

namespace {

void OnStashError(void* uptr, int error, int) {
  // Measuring never needs glyph bitmaps, but a full atlas must not stop it.
  if (error == FONS_ATLAS_FULL)
    fonsResetAtlas(static_cast<FONScontext*>(uptr), 512, 512);
}

} // namespace

FontStore::FontStore() {
  FONSparams params{};
  params.width = 512;
  params.height = 512;
  params.flags = FONS_ZERO_TOPLEFT;
  stash = fonsCreateInternal(&params);
  if (stash)
    fonsSetErrorCallback(stash, OnStashError, stash);
}

FontStore::~FontStore() {
  if (stash)
    fonsDeleteInternal(stash);
}

bool FontStore::Add(const char* id, std::vector<unsigned char> data) {
  if (!stash || !id || data.empty())
    return false;
  for (const auto& f : fonts)
    if (f->id == id)
      return true;
  auto font = std::make_unique<Font>();
  font->id = id;
  font->data = std::move(data);
  font->stashId =
      fonsAddFontMem(stash, font->id.c_str(), font->data.data(), static_cast<int>(font->data.size()), 0, 0);
  if (font->stashId == FONS_INVALID)
    return false;
  fonts.push_back(std::move(font));
  return true;
}

int FontStore::Find(const char* id) const {
  if (fonts.empty())
    return -1;
  if (id && *id)
    for (std::size_t i = 0; i < fonts.size(); ++i)
      if (fonts[i]->id == id)
        return static_cast<int>(i);
  return 0;
}

bool FontStore::Select(const IText& style, float pixelScale) {
  const int index = Find(style.font.data());
  if (index < 0)
    return false;
  fonsClearState(stash);
  fonsSetFont(stash, fonts[static_cast<std::size_t>(index)]->stashId);
  fonsSetSize(stash, style.size * pixelScale);
  fonsSetAlign(stash, FONS_ALIGN_LEFT | FONS_ALIGN_BASELINE);
  return true;
}

float FontStore::Width(const IText& style, const char* str, float pixelScale) {
  if (!str || !*str || pixelScale <= 0.f || !Select(style, pixelScale))
    return 0.f;
  return fonsTextBounds(stash, 0.f, 0.f, str, nullptr, nullptr) / pixelScale;
}

FontStore::VMetrics FontStore::Vertical(const IText& style, float pixelScale) {
  VMetrics m;
  if (pixelScale <= 0.f || !Select(style, pixelScale)) {
    // Without a font: the proportions of a typical sans-serif face.
    m.ascender = 0.93f * style.size;
    m.descender = -0.24f * style.size;
    m.lineHeight = 1.17f * style.size;
    return m;
  }
  fonsVertMetrics(stash, &m.ascender, &m.descender, &m.lineHeight);
  m.ascender /= pixelScale;
  m.descender /= pixelScale;
  m.lineHeight /= pixelScale;
  return m;
}
