// Blobby.h - a Blobby's implicit surface, polygonized: its ellipsoids and segments, combined by
// the add, multiply, max, min, subtract, divide and negate operators of its code.
#pragma once

#include "Mesh.h"
#include "PrimVars.h"
#include "ViewSpace.h"

namespace view {

struct BlobbyArgs {
  int nleaf = 0;
  int ncode = 0;
  const RtInt *code = nullptr;
  int nflt = 0;
  const RtFloat *flt = nullptr;
  int nstr = 0;
  const RtToken *str = nullptr;
};

/// Adds the polygonized surface (at the field's threshold 0.5) to `mesh`. Code that reads past
/// its arrays, or leaves no value, adds nothing and returns false.
bool tessellateBlobby(const BlobbyArgs &args, const PrimVars &vars, const ViewSpace &view,
                      Mesh &mesh);

} // namespace view
