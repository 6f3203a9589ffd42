// A plain Catmull-Clark refinement for where OpenSubdiv is not built in (the web page): the
// classic rules with sharp and semi-sharp creases (sharpness falling by one per level, fractions
// blended), corners, sharp boundaries and holes, and the limit position of each point of the last
// level. Extraordinary points near creases follow the simpler rules of the original papers, so
// the surface there may differ slightly from OpenSubdiv's.
#include "SubdivisionRefiner.h"

#include <algorithm>
#include <unordered_map>

namespace view {
namespace {

constexpr float kInfinite = 10;

// One level of the mesh: its points and what is carried along with them.
struct Level {
  std::vector<Vec3> points;
  std::vector<int> sizes, corners;         // faces: corner counts and point indices
  std::vector<char> hole;                  // per face
  std::vector<int> baseFace;               // per face: the control face it comes from
  std::vector<std::vector<float>> vertexData;  // per vertex/varying channel, per point
  std::vector<std::vector<float>> cornerData;  // per facevarying channel, per face corner
  std::unordered_map<uint64_t, float> edgeSharpness;
  std::vector<float> pointSharpness;
};

uint64_t edgeKey(int a, int b) {
  return static_cast<uint64_t>(std::min(a, b)) << 32 | static_cast<uint32_t>(std::max(a, b));
}

// The edges of a level with their faces, in a form the rules can walk.
struct Edges {
  std::vector<int> ends;                 // two points per edge
  std::vector<std::vector<int>> faces;   // per edge
  std::vector<float> sharpness;          // per edge; boundaries and non-manifold: infinite
  std::vector<int> faceEdges;            // per face corner: the edge to the next corner
  std::vector<std::vector<int>> pointEdges, pointFaces;
};

Edges findEdges(const Level &level) {
  Edges e;
  std::unordered_map<uint64_t, int> index;
  e.pointEdges.resize(level.points.size());
  e.pointFaces.resize(level.points.size());
  for (size_t f = 0, first = 0; f < level.sizes.size(); first += level.sizes[f++])
    for (int k = 0, n = level.sizes[f]; k < n; ++k) {
      const int a = level.corners[first + k], b = level.corners[first + (k + 1) % n];
      const auto [it, added] = index.emplace(edgeKey(a, b), static_cast<int>(e.sharpness.size()));
      if (added) {
        e.ends.insert(e.ends.end(), {a, b});
        e.faces.emplace_back();
        const auto s = level.edgeSharpness.find(edgeKey(a, b));
        e.sharpness.push_back(s == level.edgeSharpness.end() ? 0 : s->second);
        e.pointEdges[a].push_back(it->second);
        e.pointEdges[b].push_back(it->second);
      }
      e.faces[it->second].push_back(static_cast<int>(f));
      e.faceEdges.push_back(it->second);
      e.pointFaces[a].push_back(static_cast<int>(f));
    }
  for (size_t i = 0; i < e.faces.size(); ++i)
    if (e.faces[i].size() != 2)
      e.sharpness[i] = kInfinite;
  return e;
}

// The rule at a point: smooth, crease (two sharp edges) or corner, and how sharp it is.
struct PointRule {
  int sharpEdges = 0;
  int creaseEnds[2] = {-1, -1};
  float sharpness = 0; // the corner's, or the mean of the crease's edges
  bool corner = false;
};

PointRule ruleAt(int p, const Level &level, const Edges &e, bool boundaryCorners) {
  PointRule r;
  float sum = 0;
  for (int edge : e.pointEdges[p])
    if (e.sharpness[edge] > 0) {
      const int other = e.ends[2 * edge] == p ? e.ends[2 * edge + 1] : e.ends[2 * edge];
      if (r.sharpEdges < 2)
        r.creaseEnds[r.sharpEdges] = other;
      ++r.sharpEdges;
      sum += e.sharpness[edge];
    }
  const bool lone = e.pointFaces[p].size() == 1 && boundaryCorners;
  const float own = p < static_cast<int>(level.pointSharpness.size()) ? level.pointSharpness[p] : 0;
  r.corner = lone || r.sharpEdges > 2 || own > 0;
  r.sharpness = lone ? kInfinite : own > 0 ? own : r.sharpEdges > 0 ? sum / r.sharpEdges : 0;
  return r;
}

void axpy(std::vector<float> &out, size_t to, const std::vector<float> &in, size_t from, float w,
          int width) {
  for (int c = 0; c < width; ++c)
    out[to * width + c] += w * in[from * width + c];
}

// Refines `level` once.
Level refineOnce(const Level &level, const Edges &e, bool boundaryCorners,
                 const std::vector<int> &vertexWidths, const std::vector<bool> &vertexSmooth,
                 const std::vector<int> &cornerWidths) {
  const int np = static_cast<int>(level.points.size());
  const int ne = static_cast<int>(e.sharpness.size());
  const int nf = static_cast<int>(level.sizes.size());
  Level next;
  next.points.resize(np + ne + nf);
  next.vertexData.resize(level.vertexData.size());
  for (size_t c = 0; c < level.vertexData.size(); ++c)
    next.vertexData[c].assign(next.points.size() * vertexWidths[c], 0.0f);

  // Every rule is a weighted sum of this level's points; positions and vertex channels follow
  // the same weights, varying channels the linear ones.
  std::vector<std::pair<int, float>> weights, linear;
  const auto emit = [&](int to) {
    Vec3 p;
    for (const auto &[from, w] : weights)
      p = p + level.points[from] * w;
    next.points[to] = p;
    for (size_t c = 0; c < level.vertexData.size(); ++c)
      for (const auto &[from, w] : vertexSmooth[c] ? weights : linear)
        axpy(next.vertexData[c], to, level.vertexData[c], from, w, vertexWidths[c]);
  };

  std::vector<int> faceStart(nf);
  for (int f = 0, first = 0; f < nf; first += level.sizes[f++])
    faceStart[f] = first;
  const auto facePointWeights = [&](int f, float scale, std::vector<std::pair<int, float>> &out) {
    const int n = level.sizes[f];
    for (int k = 0; k < n; ++k)
      out.emplace_back(level.corners[faceStart[f] + k], scale / n);
  };

  for (int f = 0; f < nf; ++f) { // face points
    weights.clear();
    facePointWeights(f, 1, weights);
    linear = weights;
    emit(np + ne + f);
  }
  for (int i = 0; i < ne; ++i) { // edge points
    const int a = e.ends[2 * i], b = e.ends[2 * i + 1];
    linear = {{a, 0.5f}, {b, 0.5f}};
    const float s = std::min(e.sharpness[i], 1.0f);
    weights = {{a, 0.5f * s}, {b, 0.5f * s}};
    if (s < 1) {
      const float smooth = 1 - s;
      weights.emplace_back(a, 0.25f * smooth);
      weights.emplace_back(b, 0.25f * smooth);
      for (int f : e.faces[i])
        facePointWeights(f, 0.25f * smooth, weights);
    }
    emit(np + i);
  }
  for (int p = 0; p < np; ++p) { // vertex points
    const PointRule rule = ruleAt(p, level, e, boundaryCorners);
    linear = {{p, 1.0f}};
    const float s = std::min(rule.sharpness, 1.0f);
    weights.clear();
    if (rule.corner || rule.sharpEdges == 2) {
      if (rule.corner)
        weights.emplace_back(p, s);
      else
        weights = {{p, 0.75f * s}, {rule.creaseEnds[0], 0.125f * s}, {rule.creaseEnds[1], 0.125f * s}};
    }
    if (s < 1 || (!rule.corner && rule.sharpEdges != 2)) {
      // (Q + 2R + (n - 3) P) / n: Q the mean of the face points, R of the edge midpoints.
      const float smooth = (rule.corner || rule.sharpEdges == 2) ? 1 - s : 1;
      const float n = static_cast<float>(e.pointEdges[p].size());
      const float nfaces = static_cast<float>(e.pointFaces[p].size());
      if (n > 0 && nfaces > 0) {
        for (int f : e.pointFaces[p])
          facePointWeights(f, smooth / (n * nfaces), weights);
        for (int edge : e.pointEdges[p]) {
          weights.emplace_back(e.ends[2 * edge], smooth / (n * n));
          weights.emplace_back(e.ends[2 * edge + 1], smooth / (n * n));
        }
        weights.emplace_back(p, smooth * (n - 3) / n);
      } else {
        weights.emplace_back(p, smooth);
      }
    }
    emit(p);
  }

  // Sharpness one less at the next level, on both halves of each edge.
  for (int i = 0; i < ne; ++i) {
    const auto s = level.edgeSharpness.find(edgeKey(e.ends[2 * i], e.ends[2 * i + 1]));
    if (s == level.edgeSharpness.end() || s->second <= 1)
      continue;
    const float child = s->second >= kInfinite ? kInfinite : s->second - 1;
    next.edgeSharpness[edgeKey(e.ends[2 * i], np + i)] = child;
    next.edgeSharpness[edgeKey(e.ends[2 * i + 1], np + i)] = child;
  }
  next.pointSharpness.assign(next.points.size(), 0);
  for (int p = 0; p < np && p < static_cast<int>(level.pointSharpness.size()); ++p)
    next.pointSharpness[p] = level.pointSharpness[p] >= kInfinite ? kInfinite
                                                                  : std::max(level.pointSharpness[p] - 1, 0.0f);

  // One quad per face corner, in the face's winding; face-varying values bilinear in the face.
  next.cornerData.resize(level.cornerData.size());
  for (int f = 0; f < nf; ++f) {
    const int n = level.sizes[f], first = faceStart[f];
    for (int k = 0; k < n; ++k) {
      const int before = (k + n - 1) % n;
      next.sizes.push_back(4);
      next.corners.insert(next.corners.end(), {level.corners[first + k], np + e.faceEdges[first + k],
                                               np + ne + f, np + e.faceEdges[first + before]});
      next.hole.push_back(level.hole[f]);
      next.baseFace.push_back(level.baseFace[f]);
      for (size_t c = 0; c < level.cornerData.size(); ++c) {
        const int w = cornerWidths[c];
        const std::vector<float> &in = level.cornerData[c];
        for (int j = 0; j < w; ++j) {
          const float here = in[(first + k) * w + j], after = in[(first + (k + 1) % n) * w + j],
                      prior = in[(first + before) * w + j];
          float centre = 0;
          for (int m = 0; m < n; ++m)
            centre += in[(first + m) * w + j] / n;
          next.cornerData[c].insert(next.cornerData[c].end(), {here, 0.5f * (here + after), centre,
                                                               0.5f * (here + prior)});
        }
      }
    }
  }
  // The values above went in channel-major per corner; put them per corner, channel-minor.
  for (size_t c = 0; c < next.cornerData.size(); ++c) {
    const int w = cornerWidths[c];
    std::vector<float> ordered(next.cornerData[c].size());
    for (size_t q = 0; q < next.sizes.size(); ++q)
      for (int j = 0; j < w; ++j)
        for (int k = 0; k < 4; ++k)
          ordered[(q * 4 + k) * w + j] = next.cornerData[c][(q * w + j) * 4 + k];
    next.cornerData[c].swap(ordered);
  }
  return next;
}

// The limit position of each point of an all-quad level.
std::vector<Vec3> limitPoints(const Level &level, const Edges &e, bool boundaryCorners) {
  std::vector<Vec3> out(level.points.size());
  for (size_t p = 0; p < level.points.size(); ++p) {
    const PointRule rule = ruleAt(static_cast<int>(p), level, e, boundaryCorners);
    const Vec3 v = level.points[p];
    if (rule.corner) {
      out[p] = v;
    } else if (rule.sharpEdges == 2) {
      out[p] = (level.points[rule.creaseEnds[0]] + v * 4 + level.points[rule.creaseEnds[1]]) * (1.0 / 6);
    } else {
      // (n^2 P + 4 sum of edge neighbours + sum of diagonal neighbours) / (n (n + 5)).
      const double n = static_cast<double>(e.pointEdges[p].size());
      Vec3 sum = v * (n * n);
      for (int edge : e.pointEdges[p])
        sum = sum + level.points[e.ends[2 * edge] == int(p) ? e.ends[2 * edge + 1] : e.ends[2 * edge]] * 4;
      for (int f : e.pointFaces[p]) {
        const int *q = &level.corners[4 * f];
        const int k = static_cast<int>(std::find(q, q + 4, int(p)) - q);
        sum = sum + level.points[q[(k + 2) % 4]];
      }
      out[p] = n > 0 ? sum * (1 / (n * (n + 5))) : v;
    }
  }
  return out;
}

} // namespace

bool refineSubdivisionOwn(const SubdivisionTopology &topology, const float *points, int level,
                          const std::vector<SubdivisionChannel> &channels, RefinedSurface &out) {
  level = std::clamp(level, 1, 10);
  Level base;
  for (int i = 0; i < topology.npoints; ++i)
    base.points.push_back({points[3 * i], points[3 * i + 1], points[3 * i + 2]});
  base.sizes = topology.faceSizes;
  base.corners = topology.faceVertices;
  const int nfaces = static_cast<int>(base.sizes.size());
  base.hole.assign(nfaces, 0);
  for (int h : topology.holes)
    base.hole[h] = 1;
  for (int f = 0; f < nfaces; ++f)
    base.baseFace.push_back(f);
  for (size_t i = 0; i < topology.creaseSharpness.size(); ++i) {
    const int a = topology.creaseEdges[2 * i], b = topology.creaseEdges[2 * i + 1];
    if (a == b)
      return false;
    base.edgeSharpness[edgeKey(a, b)] = topology.creaseSharpness[i];
  }
  base.pointSharpness.assign(topology.npoints, 0);
  for (size_t i = 0; i < topology.corners.size(); ++i)
    base.pointSharpness[topology.corners[i]] = topology.cornerSharpness[i];
  for (size_t f = 0, first = 0; f < base.sizes.size(); first += base.sizes[f++]) {
    std::vector<int> face(base.corners.begin() + first, base.corners.begin() + first + base.sizes[f]);
    std::sort(face.begin(), face.end());
    if (std::adjacent_find(face.begin(), face.end()) != face.end())
      return false; // a face through one point twice
  }

  std::vector<int> vertexWidths, cornerWidths;
  std::vector<bool> vertexSmooth;
  for (const SubdivisionChannel &ch : channels) {
    const int w = std::clamp(ch.width, 1, 4);
    if (ch.storage == VarClass::Vertex || ch.storage == VarClass::Varying) {
      base.vertexData.emplace_back(ch.values, ch.values + topology.npoints * w);
      vertexWidths.push_back(w);
      vertexSmooth.push_back(ch.storage == VarClass::Vertex);
    } else if (ch.storage == VarClass::FaceVarying) {
      base.cornerData.emplace_back(ch.values, ch.values + topology.faceVertices.size() * w);
      cornerWidths.push_back(w);
    }
  }

  Level current = std::move(base);
  Edges edges = findEdges(current);
  for (int l = 0; l < level; ++l) {
    current = refineOnce(current, edges, topology.boundaryCorners, vertexWidths, vertexSmooth, cornerWidths);
    edges = findEdges(current);
  }
  out.points = limitPoints(current, edges, topology.boundaryCorners);

  std::vector<int> kept;
  out.quads.clear();
  for (size_t f = 0; f < current.sizes.size(); ++f)
    if (!current.hole[f]) {
      out.quads.insert(out.quads.end(), current.corners.begin() + 4 * f, current.corners.begin() + 4 * f + 4);
      kept.push_back(static_cast<int>(f));
    }
  out.channels.assign(channels.size(), {});
  size_t vertexChannel = 0, cornerChannel = 0;
  for (size_t c = 0; c < channels.size(); ++c) {
    const SubdivisionChannel &ch = channels[c];
    const int w = std::clamp(ch.width, 1, 4);
    std::vector<float> &dst = out.channels[c];
    switch (ch.storage) {
    case VarClass::Constant:
      dst.assign(ch.values, ch.values + w);
      break;
    case VarClass::Vertex:
    case VarClass::Varying:
      dst = std::move(current.vertexData[vertexChannel++]);
      break;
    case VarClass::FaceVarying: {
      const std::vector<float> &all = current.cornerData[cornerChannel++];
      for (int f : kept)
        dst.insert(dst.end(), all.begin() + 4 * f * w, all.begin() + 4 * (f + 1) * w);
      break;
    }
    case VarClass::Uniform:
      for (int f : kept)
        dst.insert(dst.end(), ch.values + current.baseFace[f] * w, ch.values + (current.baseFace[f] + 1) * w);
      break;
    }
  }
  return true;
}

#if defined(__EMSCRIPTEN__) || defined(WOBBLE_OWN_SUBDIVISION)
bool refineSubdivision(const SubdivisionTopology &topology, const float *points, int level,
                       const std::vector<SubdivisionChannel> &channels, RefinedSurface &out) {
  return refineSubdivisionOwn(topology, points, level, channels, out);
}
#endif

} // namespace view
