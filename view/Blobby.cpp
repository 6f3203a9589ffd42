#include "Blobby.h"

namespace view {

bool tessellateBlobby(const BlobbyArgs &, const PrimVars &, const ViewSpace &, Mesh &) {
  return false;
}

} // namespace view
