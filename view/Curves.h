// Curves.h - Curves and Points as flat shapes that face the camera: each curve a ribbon of its
// width, each point a disc of its width, never narrower than one pixel.
#pragma once

#include "Mesh.h"
#include "PrimVars.h"
#include "ViewSpace.h"

namespace view {

struct CurvesArgs {
  bool cubic = false;     // "cubic"; else "linear"
  bool periodic = false;  // "periodic"; else "nonperiodic"
  int ncurves = 0;
  const RtInt *nvertices = nullptr;
  RtBasis basis = {};     // the current v basis, for cubic curves (curves run along v)
  int step = 3;           // its step
};

/// Adds a ribbon per curve to `mesh`, `width` (vertex or varying), `constantwidth` or 1 wide,
/// with normals facing the eye unless N is given.
bool tessellateCurves(const CurvesArgs &args, const PrimVars &vars, const ViewSpace &view,
                      Mesh &mesh);

/// Adds a disc per point of P to `mesh`, `width`, `constantwidth` or 1 across.
bool tessellatePoints(int npoints, const PrimVars &vars, const ViewSpace &view, Mesh &mesh);

} // namespace view
