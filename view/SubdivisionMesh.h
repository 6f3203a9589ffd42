// SubdivisionMesh.h - SubdivisionMesh "catmull-clark" refined to triangles with OpenSubdiv,
// honouring the tags "hole", "crease", "corner" and "interpolateboundary".
#pragma once

#include "Mesh.h"
#include "PrimVars.h"
#include "ViewSpace.h"

namespace view {

/// The arguments of one SubdivisionMesh request as read (every array the caller's).
struct SubdivisionMeshArgs {
  const char *scheme = "catmull-clark";
  int nfaces = 0;
  const RtInt *nvertices = nullptr;
  const RtInt *vertices = nullptr;
  int ntags = 0;
  const RtToken *tags = nullptr;
  const RtInt *nargs = nullptr; // two per tag: integer count, float count
  const RtInt *intargs = nullptr;
  const RtFloat *floatargs = nullptr;
};

/// Adds the refined surface to `mesh`. An unknown scheme or inconsistent indices add nothing
/// and return false.
bool tessellateSubdivisionMesh(const SubdivisionMeshArgs &args, const PrimVars &vars,
                               const ViewSpace &view, Mesh &mesh);

} // namespace view
