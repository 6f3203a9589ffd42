// PictureDraw.h - a finished picture drawn with OpenGL, the same way in the window and off-screen:
// black background, the picture's projection and viewport, a depth test, the triangles and lines
// from their vertex arrays in the colours they carry. Every piece of GL state the result depends
// on is set here, so that the same picture always gives the same pixels.
//
//     drawPicture(picture, {false, windowWidth, windowHeight});
//     glutSwapBuffers();
#pragma once

#include "view/Picture.h"

namespace ribview {

struct DrawStyle {
  bool wires = false;             // triangles drawn as their edges
  int targetWidth = 0;            // the drawing surface, pixels; 0: the picture's own size
  int targetHeight = 0;
};

/// Clears the current GL surface and draws `picture` on it, scaled to the surface's size.
/// Needs a current context with a depth buffer.
void drawPicture(const view::Picture &picture, const DrawStyle &style);

} // namespace ribview
