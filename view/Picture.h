// Picture.h - one finished picture of a RIB stream (everything between WorldBegin and WorldEnd),
// ready to draw: camera-space triangles and lines, already shaded, and the projection that puts
// them on the picture. Drawing it is a thin layer (OpenGL in tools/rib-view, WebGL on the page):
// draw the triangles and lines with a depth test, colour as given, on a black background.
#pragma once

#include <cstdint>
#include <vector>

namespace view {

/// A vertex as drawn: camera-space position and its shaded colour (alpha: opacity).
struct DrawVertex {
  float x, y, z;
  float r, g, b, a;
};

struct Picture {
  int number = 0;          // 1, 2, ... in the order the pictures end
  int frameNumber = 0;     // the FrameBegin number around it
  bool hasFrameNumber = false;

  int width = 640, height = 480; // pixels of the whole picture
  /// The part of the picture the frame covers (x, y from the lower left corner, as glViewport
  /// takes them): all of it unless the frame's aspect differs from the picture's.
  int viewportX = 0, viewportY = 0, viewportWidth = 640, viewportHeight = 480;
  /// Camera space (left-handed: x right, y up, z into the picture) to clip space, column-major
  /// as glLoadMatrixd takes it; the depth range is the Clipping range.
  double projection[16] = {};

  std::vector<DrawVertex> triangles; // three per triangle, back faces already culled (Sides 1)
  std::vector<DrawVertex> lines;     // two per line, one pixel wide
};

} // namespace view
