// OffscreenSurface.h - OpenGL without a window or a display: Mesa's software renderer through
// EGL's surfaceless platform, drawing into a framebuffer object of the picture's size (colour and
// depth, no multisampling). It works with DISPLAY unset, without an X server or a GPU, in CI and
// on render farm nodes. The pixels read back are the picture's: top row first, RGBA, alpha 255
// where something was drawn and 0 elsewhere.
//
//     OffscreenSurface surface;
//     if (std::string why = surface.prepare(640, 480); !why.empty()) fail(why);
//     drawPicture(picture, {});
//     std::vector<uint8_t> rgba = surface.read();
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ribview {

class OffscreenSurface {
public:
  OffscreenSurface();
  ~OffscreenSurface();
  OffscreenSurface(const OffscreenSurface &) = delete;
  OffscreenSurface &operator=(const OffscreenSurface &) = delete;

  /// Makes the GL context current (made on the first call) with a surface of `width` x `height`
  /// pixels to draw on. Returns "" or one line saying why there is none.
  std::string prepare(int width, int height);
  /// What was drawn since prepare(): width x height RGBA pixels, top row first; alpha comes from
  /// the depth buffer, 255 where a triangle or line covered the pixel's centre.
  std::vector<uint8_t> read() const;

  struct Gl;

private:
  std::unique_ptr<Gl> gl_;
};

} // namespace ribview
