#include "PngImage.h"

#include <png.h>

#include <cstdio>

PngImage readPng(const std::string &path) {
  PngImage image;
  png_image decoder{};
  decoder.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&decoder, path.c_str())) return image;
  image.rgba8 = (decoder.format & PNG_FORMAT_FLAG_ALPHA) && (decoder.format & PNG_FORMAT_FLAG_COLOR) &&
                !(decoder.format & PNG_FORMAT_FLAG_LINEAR) && !(decoder.format & PNG_FORMAT_FLAG_COLORMAP);
  decoder.format = PNG_FORMAT_RGBA;
  image.pixels.resize(PNG_IMAGE_SIZE(decoder));
  if (!png_image_finish_read(&decoder, nullptr, image.pixels.data(), 0, nullptr)) {
    png_image_free(&decoder);
    return PngImage();
  }
  image.width = static_cast<int>(decoder.width);
  image.height = static_cast<int>(decoder.height);
  return image;
}
