// Polygons.h - Polygon, GeneralPolygon, PointsPolygons and PointsGeneralPolygons as triangles.
//
// Faces are flat-shaded unless N is given, as RenderMan's polygons are (Mesh::flat). Convex
// faces (Polygon, PointsPolygons) are fans over the points of P, shared between faces; where a
// variable is given per face (uniform) or per face corner (facevarying), and for general faces
// (cut by triangulate()), every face gets vertices of its own instead.
#pragma once

#include "Mesh.h"
#include "PrimVars.h"

namespace view {

struct PolygonsArgs {
  int npolys = 1;
  const RtInt *nloops = nullptr;    // loops per face (null: one each)
  const RtInt *nvertices = nullptr; // points per loop
  const RtInt *vertices = nullptr;  // point of P per corner (null: 0, 1, 2, ...)
  bool general = false;             // loops may be non-convex, with holes
};

/// Adds the faces to `mesh`; false when P (or Pw) is missing or an index is negative.
bool tessellatePolygons(const PolygonsArgs &args, const PrimVars &vars, Mesh &mesh);

} // namespace view
