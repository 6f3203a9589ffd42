#include "Curves.h"

namespace view {

bool tessellateCurves(const CurvesArgs &, const PrimVars &, const ViewSpace &, Mesh &) {
  return false;
}

bool tessellatePoints(int, const PrimVars &, const ViewSpace &, Mesh &) { return false; }

} // namespace view
