// SubdivisionRefiner.h - the seam between a SubdivisionMesh's request and the code that refines
// it: OpenSubdiv where it is built in, or a plain Catmull-Clark refinement of our own where it is
// not (the web page). Both take the control mesh with its sharp features and hand back the quads
// of one uniform refinement level, their points on (or near) the limit surface.
#pragma once

#include <vector>

#include "Mesh.h"
#include "PrimVars.h"

namespace view {

/// A control mesh, its indices already checked (every index names a control point, every face has
/// at least three corners, every crease pair is an edge of the mesh).
struct SubdivisionTopology {
  int npoints = 0;
  std::vector<int> faceSizes, faceVertices;
  std::vector<int> creaseEdges;        // two control points per edge
  std::vector<float> creaseSharpness;  // one per edge; 10 or more is infinitely sharp
  std::vector<int> corners;            // control points
  std::vector<float> cornerSharpness;  // one per corner
  std::vector<int> holes;              // faces left out, their neighbours unchanged
  bool boundaryCorners = true;         // boundary edges sharp; also corners of valence two
};

/// A quantity carried through the refinement: per control point (vertex, smoothly; varying,
/// linearly), per face corner (facevarying, linearly within each face), per face (uniform) or one
/// value (constant, passed through).
struct SubdivisionChannel {
  VarClass storage = VarClass::Vertex;
  int width = 3; // floats per element, at most 4
  const float *values = nullptr;
};

struct RefinedSurface {
  std::vector<int> quads;          // four refined points per face, holes left out
  std::vector<Vec3> points;        // per refined point
  /// Per channel: per refined point (vertex, varying), per quad corner in the order of `quads`
  /// (facevarying), per quad (uniform), or the one value (constant); `width` floats each.
  std::vector<std::vector<float>> channels;
};

/// Refines `topology` with the control points `points` (3 floats each) `level` times (at least
/// once, so that every face is a quad). False when the mesh cannot be refined (e.g. a face that
/// names a point twice).
bool refineSubdivision(const SubdivisionTopology &topology, const float *points, int level,
                       const std::vector<SubdivisionChannel> &channels, RefinedSurface &out);

/// The same with our own refinement, which is what refineSubdivision does where OpenSubdiv is not
/// built in (Emscripten, or WOBBLE_OWN_SUBDIVISION). Its points lie on the limit surface too, but
/// near extraordinary points on creases it follows the older, simpler rules.
bool refineSubdivisionOwn(const SubdivisionTopology &topology, const float *points, int level,
                          const std::vector<SubdivisionChannel> &channels, RefinedSurface &out);

} // namespace view
