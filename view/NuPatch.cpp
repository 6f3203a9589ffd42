#include "NuPatch.h"

namespace view {

bool tessellateNuPatch(const NuPatchArgs &, const PrimVars &, const TrimCurves *, bool,
                       const ViewSpace &, Mesh &) {
  return false;
}

} // namespace view
