#include "SubdivisionMesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "SubdivisionRefiner.h"

namespace view {
namespace {

constexpr float kInfinitelySharp = 10;
constexpr int kMaxLevel = 8;

using Edge = std::pair<int, int>;
Edge edgeOf(int a, int b) { return {std::min(a, b), std::max(a, b)}; }

// The control mesh and its tags, checked: false on an index that names nothing.
bool readTopology(const SubdivisionMeshArgs &args, SubdivisionTopology &topology,
                  bool &interpolateBoundary) {
  if (args.nfaces < 0 || (args.nfaces > 0 && (!args.nvertices || !args.vertices)) ||
      (args.ntags > 0 && (!args.tags || !args.nargs)))
    return false;
  int largest = -1;
  for (int f = 0; f < args.nfaces; ++f) {
    const int n = args.nvertices[f];
    if (n < 3)
      return false;
    for (int k = 0; k < n; ++k) {
      const int v = args.vertices[topology.faceVertices.size()];
      if (v < 0)
        return false;
      largest = std::max(largest, v);
      topology.faceVertices.push_back(v);
    }
    topology.faceSizes.push_back(n);
  }
  topology.npoints = largest + 1;

  std::map<Edge, int> edgeUses;
  for (size_t f = 0, first = 0; f < topology.faceSizes.size(); first += topology.faceSizes[f++])
    for (int k = 0, n = topology.faceSizes[f]; k < n; ++k)
      ++edgeUses[edgeOf(topology.faceVertices[first + k],
                        topology.faceVertices[first + (k + 1) % n])];

  interpolateBoundary = false;
  int ints = 0, floats = 0;
  const auto point = [&](int v) { return v >= 0 && v < topology.npoints; };
  for (int t = 0; t < args.ntags; ++t) {
    const int ni = args.nargs[2 * t], nf = args.nargs[2 * t + 1];
    if (ni < 0 || nf < 0 || !args.tags[t])
      return false;
    const RtInt *in = args.intargs + ints;
    const RtFloat *fl = args.floatargs + floats;
    const std::string tag = args.tags[t];
    if (tag == "hole") {
      for (int k = 0; k < ni; ++k) {
        if (in[k] < 0 || in[k] >= args.nfaces)
          return false;
        topology.holes.push_back(in[k]);
      }
    } else if (tag == "crease") {
      // A chain of points; each link that is an edge of the mesh gets the sharpness.
      for (int k = 0; k < ni; ++k)
        if (!point(in[k]))
          return false;
      for (int k = 0; k + 1 < ni; ++k)
        if (edgeUses.count(edgeOf(in[k], in[k + 1]))) {
          topology.creaseEdges.insert(topology.creaseEdges.end(), {in[k], in[k + 1]});
          topology.creaseSharpness.push_back(nf > 0 ? fl[0] : kInfinitelySharp);
        }
    } else if (tag == "corner") {
      for (int k = 0; k < ni; ++k) {
        if (!point(in[k]))
          return false;
        topology.corners.push_back(in[k]);
        topology.cornerSharpness.push_back(nf > k ? fl[k] : nf > 0 ? fl[0] : kInfinitelySharp);
      }
    } else if (tag == "interpolateboundary") {
      // No value or 1: edges and corners; 2: edges only; 0: as if not given.
      const int mode = ni > 0 ? in[0] : 1;
      interpolateBoundary = mode != 0;
      topology.boundaryCorners = mode != 2;
    }
    ints += ni;
    floats += nf;
  }

  // Without interpolateboundary the surface stops short of the boundary: a face touching it
  // has no complete ring of neighbours, so it is left out like a hole.
  if (!interpolateBoundary) {
    std::vector<bool> onBoundary(topology.npoints);
    for (const auto &[edge, uses] : edgeUses)
      if (uses != 2)
        onBoundary[edge.first] = onBoundary[edge.second] = true;
    for (size_t f = 0, first = 0; f < topology.faceSizes.size(); first += topology.faceSizes[f++])
      for (int k = 0; k < topology.faceSizes[f]; ++k)
        if (onBoundary[topology.faceVertices[first + k]]) {
          topology.holes.push_back(static_cast<int>(f));
          break;
        }
  }
  return true;
}

// How far the mesh bends: a point's distance from the mean of its neighbours is about e^2 k / 2
// (e its edges' length, k the curvature). Each level halves the edges, and the chords between
// refined points on the limit surface stray about (e / 2^L)^2 k / 8 from it: within the tolerance
// when 4^L >= that distance / (4 tolerance) on a regular mesh; around points of few neighbours
// the surface bends more than their distance says, hence a margin of two. A flat mesh needs one
// level, a bent one more.
int chooseLevel(const SubdivisionTopology &topology, const float *points, const ViewSpace &view) {
  const auto at = [points](int v) { return Vec3{points[3 * v], points[3 * v + 1], points[3 * v + 2]}; };
  std::vector<Vec3> sum(topology.npoints);
  std::vector<int> count(topology.npoints);
  for (size_t f = 0, first = 0; f < topology.faceSizes.size(); first += topology.faceSizes[f++])
    for (int k = 0, n = topology.faceSizes[f]; k < n; ++k) {
      const int a = topology.faceVertices[first + k], b = topology.faceVertices[first + (k + 1) % n];
      sum[a] = sum[a] + at(b), ++count[a];
      sum[b] = sum[b] + at(a), ++count[b];
    }
  double worst = 1;
  for (int v = 0; v < topology.npoints; ++v) {
    const Vec3 p = at(v);
    if (count[v] == 0 || view.behindEye(p))
      continue; // unused, or out of sight: no reason to refine further
    const double tolerance = view.tolerance(p);
    if (tolerance > 0)
      worst = std::max(worst, length(sum[v] * (1.0 / count[v]) - p) / (2 * tolerance));
  }
  int level = std::max(1, static_cast<int>(std::ceil(std::log(worst) / std::log(4.0))));
  // Two triangles per quad; the first level makes one quad per face corner.
  double triangles = 2.0 * static_cast<double>(topology.faceVertices.size());
  int cap = 1;
  while (cap < kMaxLevel && triangles * 4 <= static_cast<double>(view.maxTriangles)) {
    triangles *= 4;
    ++cap;
  }
  return std::min(level, cap);
}

// Where a refined quad corner finds a channel's value.
const float *valueAt(const std::vector<float> &values, const SubdivisionChannel &channel, int quad,
                     int corner, int point) {
  switch (channel.storage) {
  case VarClass::Constant:
    return values.data();
  case VarClass::Vertex:
  case VarClass::Varying:
    return values.data() + point * channel.width;
  case VarClass::FaceVarying:
    return values.data() + (quad * 4 + corner) * channel.width;
  case VarClass::Uniform:
    return values.data() + quad * channel.width;
  }
  return values.data();
}

} // namespace

bool tessellateSubdivisionMesh(const SubdivisionMeshArgs &args, const PrimVars &vars,
                               const ViewSpace &view, Mesh &mesh) {
  if (!args.scheme || std::strcmp(args.scheme, "catmull-clark") != 0 || !vars.P.given())
    return false;
  SubdivisionTopology topology;
  bool interpolateBoundary = false;
  if (!readTopology(args, topology, interpolateBoundary))
    return false;
  if (topology.faceSizes.empty())
    return true;

  // The looks carried through the refinement: N, Cs, Os, in that order, where given.
  const PrimVar *looks[3] = {&vars.N, &vars.Cs, &vars.Os};
  std::vector<SubdivisionChannel> channels;
  int channelOf[3] = {-1, -1, -1};
  bool split = false; // per-corner vertices: values that differ between faces at one point
  for (int k = 0; k < 3; ++k)
    if (looks[k]->given()) {
      channelOf[k] = static_cast<int>(channels.size());
      channels.push_back({looks[k]->storage, 3, looks[k]->values});
      split |= looks[k]->storage == VarClass::FaceVarying || looks[k]->storage == VarClass::Uniform;
    }

  RefinedSurface surface;
  if (!refineSubdivision(topology, vars.P.values, chooseLevel(topology, vars.P.values, view),
                         channels, surface))
    return false;

  // Shading normals from the refined surface itself where N is not given.
  std::vector<Vec3> pointNormals(surface.points.size());
  if (!vars.N.given())
    for (size_t q = 0; q < surface.quads.size(); q += 4) {
      const int *c = &surface.quads[q];
      const Vec3 n = cross(surface.points[c[2]] - surface.points[c[0]],
                           surface.points[c[3]] - surface.points[c[1]]);
      for (int k = 0; k < 4; ++k)
        pointNormals[c[k]] = pointNormals[c[k]] + n;
    }

  mesh.normals.resize(mesh.positions.size());
  if (vars.Cs.given())
    mesh.colors.resize(mesh.positions.size());
  if (vars.Os.given())
    mesh.opacities.resize(mesh.positions.size());
  std::vector<uint32_t> vertexOf(surface.points.size(), UINT32_MAX);
  for (size_t q = 0; q < surface.quads.size() / 4; ++q) {
    uint32_t corner[4];
    for (int k = 0; k < 4; ++k) {
      const int p = surface.quads[q * 4 + k];
      if (!split && vertexOf[p] != UINT32_MAX) {
        corner[k] = vertexOf[p];
        continue;
      }
      corner[k] = vertexOf[p] = mesh.addVertex(surface.points[p]);
      const auto look = [&](int which) {
        return valueAt(surface.channels[channelOf[which]], channels[channelOf[which]],
                       static_cast<int>(q), k, p);
      };
      if (vars.N.given()) {
        const float *n = look(0);
        mesh.normals.push_back(normalized({n[0], n[1], n[2]}));
      } else {
        mesh.normals.push_back(normalized(pointNormals[p]));
      }
      if (vars.Cs.given()) {
        const float *c = look(1);
        mesh.colors.push_back({c[0], c[1], c[2]});
      }
      if (vars.Os.given()) {
        const float *o = look(2);
        mesh.opacities.push_back({o[0], o[1], o[2]});
      }
    }
    mesh.addTriangle(corner[0], corner[1], corner[2]);
    mesh.addTriangle(corner[0], corner[2], corner[3]);
  }
  return true;
}

} // namespace view
