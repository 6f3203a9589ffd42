// ViewSpace.h - what a tessellator needs to know of the picture to cut a primitive finely enough.
//
// The gatherer makes one for each primitive from the camera and the current transformation.
// Tessellators choose their steps so that the surface they make stays within `tolerance` of the
// true surface (a chord of an arc, a flat quad of a patch), which keeps silhouettes within about
// a pixel, and never make more than `maxTriangles` triangles of one primitive.
#pragma once

#include <cstddef>

#include "Mesh.h"

namespace view {

class ViewSpace {
public:
  virtual ~ViewSpace() = default;
  /// The object-space length that covers one pixel at point `p` (object space).
  virtual double pixelSize(Vec3 p) const = 0;
  /// The unit direction from `p` toward the eye, in object space (for ribbons and discs that
  /// face the camera).
  virtual Vec3 towardEye(Vec3 p) const = 0;
  /// True when `p` cannot be seen because it lies behind the eye (or before the near plane):
  /// its pixel size then says nothing about how fine the visible part must be.
  virtual bool behindEye(Vec3 p) const {
    (void)p;
    return false;
  }

  /// Object-space distance allowed between the mesh and the surface, for a primitive whose
  /// nearest point to the eye is `p`: half a pixel there.
  double tolerance(Vec3 p) const { return 0.5 * pixelSize(p); }

  size_t maxTriangles = 4u << 20;
};

} // namespace view
