#include "Triangulate.h"

#include <algorithm>
#include <cmath>

namespace view {
namespace {

struct Node {
  uint32_t index; // into the points counted across loops
  Vec2 p;
  int prev, next;
};

double cross(Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

double signedArea(const std::vector<Vec2> &loop) {
  double area = 0;
  for (size_t i = 0, j = loop.size() - 1; i < loop.size(); j = i++)
    area += (loop[j].x - loop[i].x) * (loop[j].y + loop[i].y);
  return 0.5 * area; // positive: counter-clockwise
}

bool same(Vec2 a, Vec2 b) { return a.x == b.x && a.y == b.y; }

bool insideTriangle(Vec2 a, Vec2 b, Vec2 c, Vec2 p) {
  return cross(a, b, p) >= 0 && cross(b, c, p) >= 0 && cross(c, a, p) >= 0;
}

class Clipper {
public:
  std::vector<Node> nodes;
  std::vector<uint32_t> triangles;

  // Appends a loop as a ring wound counter-clockwise (or clockwise, for holes); returns a node.
  int addRing(const std::vector<Vec2> &loop, uint32_t firstIndex, bool counterClockwise) {
    const bool reverse = (signedArea(loop) > 0) != counterClockwise;
    const int start = int(nodes.size()), n = int(loop.size());
    for (int k = 0; k < n; ++k) {
      const int i = reverse ? n - 1 - k : k;
      nodes.push_back({firstIndex + uint32_t(i), loop[i], start + (k + n - 1) % n, start + (k + 1) % n});
    }
    return start;
  }

  // Whether the point at `to` lies inside the polygon's angle at node `at`.
  bool locallyInside(int at, Vec2 to) const {
    const Vec2 a = nodes[nodes[at].prev].p, p = nodes[at].p, b = nodes[nodes[at].next].p;
    return cross(a, p, b) < 0 ? cross(p, to, b) >= 0 || cross(p, a, to) >= 0
                              : cross(p, to, a) <= 0 && cross(p, b, to) <= 0;
  }

  // Joins the hole ring at `hole` into the ring at `outer` by a bridge from the hole's leftmost
  // point to a point of the outer ring it sees.
  void bridge(int outer, int hole) {
    int m = hole;
    for (int at = nodes[hole].next; at != hole; at = nodes[at].next)
      if (nodes[at].p.x < nodes[m].p.x) m = at;
    const Vec2 h = nodes[m].p;
    // The nearest edge crossed by the ray going left from h (edges running down, as those of a
    // counter-clockwise ring left of a point inside it do), and its left end.
    int best = -1;
    double hitX = -1e300;
    int at = outer;
    do {
      const Vec2 a = nodes[at].p, b = nodes[nodes[at].next].p;
      if (h.y <= a.y && h.y >= b.y && a.y != b.y) {
        const double x = a.x + (h.y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (x <= h.x && x > hitX) {
          hitX = x;
          best = a.x < b.x ? at : nodes[at].next;
        }
      }
      at = nodes[at].next;
    } while (at != outer);
    if (best < 0) best = outer;
    // A point inside the triangle (h, crossing, best) would hide best: the one of them nearest
    // the ray in angle is seen from h instead.
    const Vec2 bp = nodes[best].p, hit{hitX, h.y};
    double bestTan = 1e300;
    const int stop = best;
    at = best;
    do {
      const Vec2 p = nodes[at].p;
      if (h.x >= p.x && p.x >= bp.x && h.x != p.x &&
          insideTriangle(h.y < bp.y ? h : hit, bp, h.y < bp.y ? hit : h, p)) {
        const double tan = std::fabs(h.y - p.y) / (h.x - p.x);
        if (locallyInside(at, h) && (tan < bestTan || (tan == bestTan && p.x > nodes[best].p.x))) {
          best = at;
          bestTan = tan;
        }
      }
      at = nodes[at].next;
    } while (at != stop);
    // Split: best -> m ... (hole) ... m' -> best' -> (rest of outer).
    const int best2 = int(nodes.size()), m2 = best2 + 1;
    const Node bestCopy = nodes[best], mCopy = nodes[m];
    nodes.push_back(bestCopy);
    nodes.push_back(mCopy);
    const int bestNext = nodes[best].next, mPrev = nodes[m].prev;
    nodes[best].next = m, nodes[m].prev = best;
    nodes[m2].prev = mPrev, nodes[mPrev].next = m2;
    nodes[m2].next = best2, nodes[best2].prev = m2;
    nodes[best2].next = bestNext, nodes[bestNext].prev = best2;
  }

  // The reflex corners by cell of a grid over the ring, so that an ear's test looks only at
  // those near it: a corner, once convex, stays so while ears are cut.
  std::vector<std::vector<int>> cells;
  std::vector<char> removed;
  double x0 = 0, y0 = 0, cellWidth = 1, cellHeight = 1;
  int grid = 1;

  bool reflex(int i) const {
    return cross(nodes[nodes[i].prev].p, nodes[i].p, nodes[nodes[i].next].p) <= 0;
  }
  int cellX(double x) const { return std::clamp(int((x - x0) / cellWidth), 0, grid - 1); }
  int cellY(double y) const { return std::clamp(int((y - y0) / cellHeight), 0, grid - 1); }

  void indexReflex(int start, int count) {
    double x1 = nodes[start].p.x, y1 = nodes[start].p.y;
    x0 = x1, y0 = y1;
    int at = start;
    do {
      x0 = std::min(x0, nodes[at].p.x), x1 = std::max(x1, nodes[at].p.x);
      y0 = std::min(y0, nodes[at].p.y), y1 = std::max(y1, nodes[at].p.y);
      at = nodes[at].next;
    } while (at != start);
    grid = std::max(1, int(std::sqrt(count / 4.0)));
    cellWidth = std::max((x1 - x0) / grid, 1e-300);
    cellHeight = std::max((y1 - y0) / grid, 1e-300);
    cells.assign(size_t(grid) * grid, {});
    removed.assign(nodes.size(), 0);
    do {
      if (reflex(at)) cells[size_t(cellY(nodes[at].p.y)) * grid + cellX(nodes[at].p.x)].push_back(at);
      at = nodes[at].next;
    } while (at != start);
  }

  bool isEar(int i) {
    const Node &b = nodes[i], &a = nodes[b.prev], &c = nodes[b.next];
    if (cross(a.p, b.p, c.p) <= 0) return false;
    // Only a reflex corner can lie inside an ear.
    const int cx0 = cellX(std::min({a.p.x, b.p.x, c.p.x})), cx1 = cellX(std::max({a.p.x, b.p.x, c.p.x}));
    const int cy0 = cellY(std::min({a.p.y, b.p.y, c.p.y})), cy1 = cellY(std::max({a.p.y, b.p.y, c.p.y}));
    for (int cy = cy0; cy <= cy1; ++cy)
      for (int cx = cx0; cx <= cx1; ++cx) {
        std::vector<int> &cell = cells[size_t(cy) * grid + cx];
        for (size_t k = 0; k < cell.size();) {
          const int at = cell[k];
          // Corners cut away or turned convex leave the index for good.
          if (removed[at] || !reflex(at)) {
            cell[k] = cell.back();
            cell.pop_back();
            continue;
          }
          ++k;
          const Vec2 p = nodes[at].p;
          if (same(p, a.p) || same(p, b.p) || same(p, c.p)) continue;
          if (insideTriangle(a.p, b.p, c.p, p)) return false;
        }
      }
    return true;
  }

  void clip(int start, int count) {
    indexReflex(start, count);
    int at = start, stalled = 0;
    while (count > 3) {
      // Without an ear in a whole turn (rounding, a self-touching loop), the flattest convex
      // corner, then any corner, goes: something is drawn and the loop ends.
      const bool force = stalled > count, forceAny = stalled > 2 * count;
      if (isEar(at) || forceAny ||
          (force && cross(nodes[nodes[at].prev].p, nodes[at].p, nodes[nodes[at].next].p) > 0)) {
        const int prev = nodes[at].prev, next = nodes[at].next;
        emit(prev, at, next);
        nodes[prev].next = next, nodes[next].prev = prev;
        removed[at] = 1;
        at = next;
        --count;
        stalled = 0;
        continue;
      }
      at = nodes[at].next;
      ++stalled;
    }
    emit(nodes[at].prev, at, nodes[at].next);
  }

  void emit(int a, int b, int c) {
    if (nodes[a].index == nodes[b].index || nodes[b].index == nodes[c].index ||
        nodes[a].index == nodes[c].index)
      return;
    triangles.insert(triangles.end(), {nodes[a].index, nodes[b].index, nodes[c].index});
  }
};

} // namespace

std::vector<uint32_t> triangulate(const std::vector<std::vector<Vec2>> &loops) {
  Clipper clipper;
  if (loops.empty() || loops[0].size() < 3) return {};
  const bool outerCounterClockwise = signedArea(loops[0]) >= 0;
  uint32_t first = 0;
  const int outer = clipper.addRing(loops[0], first, true);
  first += uint32_t(loops[0].size());
  // Holes from left to right, so that each bridge stays left of the holes still to come.
  std::vector<std::pair<double, int>> holes;
  std::vector<uint32_t> firsts(loops.size(), 0);
  for (size_t l = 1; l < loops.size(); ++l) {
    firsts[l] = first;
    first += uint32_t(loops[l].size());
    if (loops[l].size() < 3) continue;
    double left = 1e300;
    for (const Vec2 &p : loops[l]) left = std::min(left, p.x);
    holes.push_back({left, int(l)});
  }
  std::sort(holes.begin(), holes.end());
  for (const auto &hole : holes)
    clipper.bridge(outer, clipper.addRing(loops[hole.second], firsts[hole.second], false));
  int count = 1;
  for (int at = clipper.nodes[outer].next; at != outer; at = clipper.nodes[at].next) ++count;
  clipper.clip(outer, count);
  if (!outerCounterClockwise)
    for (size_t t = 0; t < clipper.triangles.size(); t += 3)
      std::swap(clipper.triangles[t + 1], clipper.triangles[t + 2]);
  return clipper.triangles;
}

} // namespace view
