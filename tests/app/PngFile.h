// Reads a PNG file back for the screenshot tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

struct PngImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba; // top row first, 4 bytes a pixel
};

std::optional<PngImage> ReadPng(const std::filesystem::path& path);
