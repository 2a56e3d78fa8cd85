#include "PngFile.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

std::optional<PngImage> ReadPng(const std::filesystem::path& path) {
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
  if (!pixels)
    return std::nullopt;
  PngImage png{width, height,
               std::vector<std::uint8_t>(pixels, pixels + static_cast<std::size_t>(width) * height * 4)};
  stbi_image_free(pixels);
  return png;
}
