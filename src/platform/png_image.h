// PNG decoding with libpng: a file into RGBA pixels for the GUI facility.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/text.h"

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // 4 bytes per pixel, rows from the top
};

// False when the file cannot be read or is no valid PNG.
bool DecodePngFile(const Text& path, RgbaImage& image);
bool DecodePngBytes(const std::string& bytes, RgbaImage& image);
