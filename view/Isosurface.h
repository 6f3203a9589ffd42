// Isosurface.h - the surface where a scalar field crosses a threshold, as triangles: marching
// tetrahedra over a grid of cubes, each surface point found on the field itself.
#pragma once

#include "Mesh.h"

namespace view {

class ScalarField {
public:
  virtual ~ScalarField() = default;
  virtual double value(Vec3 p) = 0;
};

/// Adds to `mesh` the surface where `field` crosses `threshold` within the grid of n[0] x n[1] x
/// n[2] cubes of side `h` from `origin`, its triangles facing toward the lower values. The surface
/// is closed where the field stays below the threshold on the grid's faces.
void polygonize(ScalarField &field, double threshold, Vec3 origin, double h, const int n[3],
                Mesh &mesh);

} // namespace view
