// The fonts of one graphics object: their bytes (kept for every NanoVG context that registers
// them) and a CPU-only font stash that measures text without any GL context. UI thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IGraphicsStructs.h"

struct FONScontext;

struct FontStore {
  struct Font {
    std::string id;
    std::vector<unsigned char> data;
    int stashId = -1;
  };
  // unique_ptr: the bytes must not move while contexts hold them.
  std::vector<std::unique_ptr<Font>> fonts;

  FontStore();
  ~FontStore();
  FontStore(const FontStore&) = delete;
  FontStore& operator=(const FontStore&) = delete;

  // false when the bytes are no font. A second font under a known id keeps the first.
  bool Add(const char* id, std::vector<unsigned char> data);
  // The index of the font under id; the first font's when id is empty or unknown; -1 when none.
  int Find(const char* id) const;

  // Metrics in design points of text drawn at pixelScale pixels per point.
  float Width(const IText& style, const char* str, float pixelScale);
  struct VMetrics {
    float ascender = 0.f, descender = 0.f, lineHeight = 0.f;
  };
  VMetrics Vertical(const IText& style, float pixelScale);

private:
  bool Select(const IText& style, float pixelScale);
  FONScontext* stash = nullptr;
};
