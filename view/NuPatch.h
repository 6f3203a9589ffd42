// NuPatch.h - a NuPatch (non-uniform rational B-spline surface of any order) evaluated over its
// parameter range, cut by the TrimCurve loops in force.
#pragma once

#include <vector>

#include "Mesh.h"
#include "PrimVars.h"
#include "ViewSpace.h"

namespace view {

struct NuPatchArgs {
  int nu = 0, uorder = 0;
  const RtFloat *uknot = nullptr;
  RtFloat umin = 0, umax = 1;
  int nv = 0, vorder = 0;
  const RtFloat *vknot = nullptr;
  RtFloat vmin = 0, vmax = 1;
};

/// The TrimCurve request in force (an attribute), copied out of the request that set it.
struct TrimCurves {
  std::vector<RtInt> ncurves; // per loop
  std::vector<RtInt> order, n;
  std::vector<RtFloat> knot, min, max, u, v, w;
  bool empty() const { return ncurves.empty(); }
};

/// Adds the surface to `mesh`: P (vertex, 3 floats) or Pw (4 floats, rational), nu by nv control
/// points, u varying fastest. With trims, the parts of the (u, v) range outside the loops (or
/// inside, with `trimInside`, the "inside" TrimCurve sense) are cut away.
bool tessellateNuPatch(const NuPatchArgs &args, const PrimVars &vars, const TrimCurves *trims,
                       bool trimInside, const ViewSpace &view, Mesh &mesh);

} // namespace view
