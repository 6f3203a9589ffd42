// PngFile.h - a picture written as an 8-bit RGBA PNG file through libpng. The file appears whole
// or not at all: the PNG goes to a temporary file beside it that is renamed into place once
// complete, so a reader (a video encoder, a web server) never sees half a picture. The bytes
// depend only on the pixels: no time stamp, fixed compression settings.
//
//     if (std::string why = writePng("out.png", 640, 480, rgba); !why.empty()) fail(why);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ribview {

/// Writes `rgba` (width x height pixels, top row first) to `path`. Returns "" or one line naming
/// the problem ("cannot write 'PATH': reason"); `path` is then as it was.
std::string writePng(const std::string &path, int width, int height,
                     const std::vector<uint8_t> &rgba);

/// Why nothing could be written to `path`'s folder, or "" when a file can be made there.
std::string unwritable(const std::string &path);

} // namespace ribview
