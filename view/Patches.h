// Patches.h - Patch and PatchMesh, bilinear or bicubic with the current basis and steps,
// periodic or not in each direction. Each patch becomes a grid fine enough that its flat pieces
// stay within the tolerance; P, Pw or Pz give the control points (Pz: heights over the unit
// square of the patch or mesh), and Cs, Os, N apply by class (uniform per patch, varying per
// patch corner, vertex through the basis like P).
#pragma once

#include "Mesh.h"
#include "PrimVars.h"
#include "ViewSpace.h"

namespace view {

struct PatchMeshArgs {
  bool bicubic = false;
  int nu = 2, nv = 2;               // control points in u and v (a single patch: 2x2 or 4x4)
  bool uPeriodic = false, vPeriodic = false;
  const RtFloat (*ubasis)[4] = nullptr, (*vbasis)[4] = nullptr;
  int ustep = 3, vstep = 3;
};

/// Adds every patch of the mesh; false when the counts make no patch or P is missing.
bool tessellatePatchMesh(const PatchMeshArgs &args, const PrimVars &vars, const ViewSpace &view,
                         Mesh &mesh);

} // namespace view
