// The SVG images of one graphics object, parsed once by librsvg and rasterised to RGBA at the
// pixel size they are drawn at (the last raster of each image is kept). UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct SvgStore {
  struct Raster {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba; // premultiplied, top row first
  };

  SvgStore();
  ~SvgStore();
  SvgStore(const SvgStore&) = delete;
  SvgStore& operator=(const SvgStore&) = delete;

  // The new image's index, or -1 when the bytes are no SVG. width and height: the document
  // size in points for the given units and dpi.
  int Add(const std::vector<unsigned char>& data, const char* units, float dpi, float& width, float& height);
  int Count() const;
  // The image at widthPx x heightPx; nullptr for an unknown index or a failed rasterisation.
  const Raster* Rasterise(int index, int widthPx, int heightPx);

private:
  struct Image;
  std::vector<std::unique_ptr<Image>> images;
};
