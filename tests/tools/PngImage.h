// Test helper: a PNG file decoded with libpng into 8-bit RGBA pixels, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
  int width = 0, height = 0;
  bool rgba8 = false;          // the file itself is 8-bit RGBA (colour type 6, depth 8)
  std::vector<uint8_t> pixels; // width * height * 4

  const uint8_t *at(int x, int y) const { return &pixels[(size_t(y) * width + x) * 4]; }
};

// The image in `path`; width 0 when it is not a PNG that can be read.
PngImage readPng(const std::string &path);
