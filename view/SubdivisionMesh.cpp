#include "SubdivisionMesh.h"

namespace view {

bool tessellateSubdivisionMesh(const SubdivisionMeshArgs &, const PrimVars &, const ViewSpace &,
                               Mesh &) {
  return false;
}

} // namespace view
