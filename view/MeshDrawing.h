// MeshDrawing.h - a tessellated primitive put into the picture: moved to camera space, its back
// faces culled when it is one-sided, shaded per vertex and appended as drawn triangles and lines.
#pragma once

#include <vector>

#include "Matrix.h"
#include "Picture.h"
#include "Shading.h"

namespace view {

enum class Orientation { Outside, Inside, LeftHanded, RightHanded };

/// The graphics state a mesh is drawn with.
struct DrawState {
  Mat4 objectToCamera;
  bool perspective = false;
  Orientation orientation = Orientation::Outside;
  int sides = 2;
  Color color, opacity;
  SurfaceLook look;
  std::vector<const Light *> lights;
};

/// The nearest and farthest camera-space depths drawn so far.
struct DepthExtent {
  double nearest = 1e300, farthest = -1e300;
  void add(double z) {
    if (z < nearest) nearest = z;
    if (z > farthest) farthest = z;
  }
};

void drawMesh(const Mesh &mesh, const DrawState &state, Picture &picture, DepthExtent &depth);

} // namespace view
