// Fonts and SVG images of one graphics object, and where their bytes come from: the resources
// embedded at build time first, then the file system. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "IGraphicsStructs.h"

// The bytes of an embedded resource (by file name) or of a file; false when neither exists.
bool ReadResourceOrFile(const char* nameOrPath, std::vector<unsigned char>& bytes);

struct FontStore {
  struct Font {
    std::string id;
    std::vector<unsigned char> data;
  };
  std::vector<Font> fonts;

  // The font registered under id; the first font when id is empty or unknown; nullptr when none.
  const Font* Find(const char* id) const;
};

struct SvgStore {
  struct Svg {
    std::vector<unsigned char> data;
    float width = 0.f, height = 0.f;
  };
  std::vector<Svg> svgs;
};
