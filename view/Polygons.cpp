#include "Polygons.h"

#include <algorithm>
#include <cmath>

#include "Triangulate.h"

namespace view {
namespace {

Vec3 pointOf(const PrimVars &vars, int index) {
  if (vars.P.given()) {
    const float *p = vars.P.at(index);
    return {p[0], p[1], p[2]};
  }
  const float *p = vars.Pw.at(index);
  const double w = p[3] != 0 ? p[3] : 1;
  return {p[0] / w, p[1] / w, p[2] / w};
}

// The element of a variable for a corner: by face, by point or by corner.
int elementOf(const PrimVar &var, int face, int point, int corner) {
  switch (var.storage) {
  case VarClass::Constant:
    return 0;
  case VarClass::Uniform:
    return face;
  case VarClass::FaceVarying:
    return corner;
  default:
    return point;
  }
}

Color colorOf(const float *f) { return {f[0], f[1], f[2]}; }

// Triangles of a general face whose first `count` loops start at vertex `first` of the mesh.
void addFace(const std::vector<std::vector<Vec3>> &allLoops, size_t count, uint32_t first,
             Mesh &mesh) {
  const std::vector<Vec3> &outer = allLoops[0];
  if (count == 1 && outer.size() == 3) {
    mesh.addTriangle(first, first + 1, first + 2);
    return;
  }
  // Newell's normal of the outer loop: the plane to cut the face in.
  Vec3 normal;
  for (size_t i = 0, j = outer.size() - 1; i < outer.size(); j = i++)
    normal = normal + cross(outer[j], outer[i]);
  const double ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
  auto flat = [&](Vec3 p) {
    if (az >= ax && az >= ay) return Vec2{p.x, p.y};
    if (ay >= ax) return Vec2{p.z, p.x};
    return Vec2{p.y, p.z};
  };
  std::vector<std::vector<Vec2>> flatLoops(count);
  for (size_t l = 0; l < count; ++l)
    for (const Vec3 &p : allLoops[l]) flatLoops[l].push_back(flat(p));
  const std::vector<uint32_t> cut = triangulate(flatLoops);
  for (size_t t = 0; t + 2 < cut.size(); t += 3) {
    uint32_t a = first + cut[t], b = first + cut[t + 1], c = first + cut[t + 2];
    // Wound as the outer loop runs, whatever the plane it was cut in.
    const Vec3 &pa = mesh.positions[a], &pb = mesh.positions[b], &pc = mesh.positions[c];
    if (dot(cross(pb - pa, pc - pa), normal) < 0) std::swap(b, c);
    mesh.addTriangle(a, b, c);
  }
}

} // namespace

namespace {

bool perFace(const PrimVar &var) {
  return var.given() && (var.storage == VarClass::Uniform || var.storage == VarClass::FaceVarying);
}

// Convex faces whose variables are all per point: the points are shared, as P gives them.
bool addSharedFaces(const PolygonsArgs &args, const PrimVars &vars, Mesh &mesh) {
  size_t corners = 0;
  for (int face = 0; face < args.npolys; ++face) corners += size_t(std::max(args.nvertices[face], 0));
  int points = 0;
  for (size_t k = 0; k < corners; ++k) {
    const int point = args.vertices ? args.vertices[k] : int(k);
    if (point < 0) return false;
    points = std::max(points, point + 1);
  }
  const uint32_t first = uint32_t(mesh.positions.size());
  mesh.positions.reserve(first + size_t(points));
  for (int point = 0; point < points; ++point) {
    mesh.addVertex(pointOf(vars, point));
    if (vars.N.given()) {
      const float *n = vars.N.at(elementOf(vars.N, 0, point, 0));
      mesh.normals.push_back({n[0], n[1], n[2]});
    }
    if (vars.Cs.given()) mesh.colors.push_back(colorOf(vars.Cs.at(elementOf(vars.Cs, 0, point, 0))));
    if (vars.Os.given()) mesh.opacities.push_back(colorOf(vars.Os.at(elementOf(vars.Os, 0, point, 0))));
  }
  mesh.triangles.reserve(mesh.triangles.size() + 3 * corners);
  size_t corner = 0;
  for (int face = 0; face < args.npolys; ++face) {
    const int count = std::max(args.nvertices[face], 0);
    auto at = [&](int k) {
      return first + uint32_t(args.vertices ? args.vertices[corner + size_t(k)] : int(corner) + k);
    };
    for (int k = 1; k + 1 < count; ++k) mesh.addTriangle(at(0), at(k), at(k + 1));
    corner += size_t(count);
  }
  return true;
}

} // namespace

bool tessellatePolygons(const PolygonsArgs &args, const PrimVars &vars, Mesh &mesh) {
  if (!vars.P.given() && !vars.Pw.given()) return false;
  const bool normals = vars.N.given(), colors = vars.Cs.given(), opacities = vars.Os.given();
  mesh.flat = !normals;
  if (!args.general && !args.nloops && !perFace(vars.N) && !perFace(vars.Cs) && !perFace(vars.Os))
    return addSharedFaces(args, vars, mesh);
  int loop = 0, corner = 0;
  std::vector<std::vector<Vec3>> loops;
  // Room for every corner at once: a large mesh is copied no more than once.
  size_t corners = 0, faceLoops = 0;
  for (int face = 0; face < args.npolys; ++face) faceLoops += size_t(args.nloops ? std::max(args.nloops[face], 0) : 1);
  for (size_t l = 0; l < faceLoops; ++l) corners += size_t(std::max(args.nvertices[l], 0));
  mesh.positions.reserve(mesh.positions.size() + corners);
  mesh.triangles.reserve(mesh.triangles.size() + 3 * corners);
  if (normals) mesh.normals.reserve(mesh.normals.size() + corners);
  if (colors) mesh.colors.reserve(mesh.colors.size() + corners);
  if (opacities) mesh.opacities.reserve(mesh.opacities.size() + corners);
  for (int face = 0; face < args.npolys; ++face) {
    const int nloops = args.nloops ? args.nloops[face] : 1;
    const uint32_t first = uint32_t(mesh.positions.size());
    size_t used = 0;
    for (int l = 0; l < nloops; ++l, ++loop) {
      // The loops of a general face are kept for cutting; a convex face is a fan of its corners.
      if (args.general) {
        if (used == loops.size()) loops.emplace_back();
        loops[used++].clear();
      }
      for (int k = 0; k < args.nvertices[loop]; ++k, ++corner) {
        const int point = args.vertices ? args.vertices[corner] : corner;
        if (point < 0) return false;
        const Vec3 p = pointOf(vars, point);
        if (args.general) loops[used - 1].push_back(p);
        mesh.addVertex(p);
        if (normals) {
          const float *n = vars.N.at(elementOf(vars.N, face, point, corner));
          mesh.normals.push_back({n[0], n[1], n[2]});
        }
        if (colors) mesh.colors.push_back(colorOf(vars.Cs.at(elementOf(vars.Cs, face, point, corner))));
        if (opacities)
          mesh.opacities.push_back(colorOf(vars.Os.at(elementOf(vars.Os, face, point, corner))));
      }
    }
    if (args.general) {
      if (used > 0 && loops[0].size() >= 3) addFace(loops, used, first, mesh);
    } else {
      const uint32_t count = uint32_t(mesh.positions.size()) - first;
      for (uint32_t k = 1; k + 1 < count; ++k) mesh.addTriangle(first, first + k, first + k + 1);
    }
  }
  return true;
}

} // namespace view
