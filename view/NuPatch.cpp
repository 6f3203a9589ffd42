#include "NuPatch.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "Splines.h"

namespace view {
namespace {

constexpr int kMaxOrder = 32;
constexpr int kMaxStepsPerSpan = 64;
constexpr int kMaxStepsPerTrimmedSpan = 256;
constexpr int kTrimStepsPerSpan = 32;

bool knotsValid(int n, int order, const RtFloat *knots) {
  if (order < 1 || order > kMaxOrder || n < order || !knots)
    return false;
  for (int i = 0; i + 1 < n + order; ++i)
    if (!(knots[i] <= knots[i + 1]))
      return false;
  return knots[order - 1] < knots[n];
}

// The surface: homogeneous control points and the two knot vectors.
struct Surface {
  const NuPatchArgs &args;
  std::vector<double> pw; // x w, y w, z w, w per control point

  struct Point {
    Vec3 p, du, dv;
    int uspan = 0, vspan = 0; // first control point of the spans holding (u, v)
    double nu[kMaxOrder], nv[kMaxOrder];
  };

  Point evaluate(double u, double v) const {
    Point r;
    double dnu[kMaxOrder], dnv[kMaxOrder];
    r.uspan = bsplineBasis(args.uorder, args.nu, args.uknot, u, r.nu, dnu);
    r.vspan = bsplineBasis(args.vorder, args.nv, args.vknot, v, r.nv, dnv);
    double s[4] = {}, su[4] = {}, sv[4] = {};
    for (int j = 0; j < args.vorder; ++j)
      for (int i = 0; i < args.uorder; ++i) {
        const double *q = &pw[4 * ((r.vspan + j) * args.nu + r.uspan + i)];
        for (int c = 0; c < 4; ++c) {
          s[c] += r.nu[i] * r.nv[j] * q[c];
          su[c] += dnu[i] * r.nv[j] * q[c];
          sv[c] += r.nu[i] * dnv[j] * q[c];
        }
      }
    const double w = s[3] != 0 ? s[3] : 1e-300;
    r.p = {s[0] / w, s[1] / w, s[2] / w};
    // The quotient rule: (A / w)' = (A' - w' A / w) / w.
    r.du = (Vec3{su[0], su[1], su[2]} - r.p * su[3]) * (1 / w);
    r.dv = (Vec3{sv[0], sv[1], sv[2]} - r.p * sv[3]) * (1 / w);
    return r;
  }
};

// The parameter values along one direction: each knot span within [lo, hi] cut into as many
// steps as the surface's bend across it needs. `bendAt(a, b)` measures the largest second
// derivative, per unit parameter, of the surface across [a, b].
template <class Bend>
std::vector<double> parameterSteps(int n, int order, const RtFloat *knots, double lo, double hi,
                                   double tolerance, double maxStep, int cap, Bend bendAt) {
  std::vector<double> steps{lo};
  for (int span = order - 1; span < n; ++span) {
    const double a = std::max<double>(knots[span], lo), b = std::min<double>(knots[span + 1], hi);
    if (!(b > a))
      continue;
    const double bend = bendAt(a, b) * (b - a) * (b - a);
    const int count = std::max(stepsForTolerance(bend, tolerance, cap),
                               std::min(cap, static_cast<int>(std::ceil((b - a) / maxStep))));
    for (int k = 1; k <= count; ++k)
      steps.push_back(a + (b - a) * k / count);
  }
  return steps;
}

// The trim loops flattened to polygons in (u, v), and the even-odd test against them.
struct Trim {
  std::vector<std::vector<std::pair<double, double>>> loops;
  double smallest = 1e300; // the smallest loop's extent
  bool cutInside = false;

  bool keeps(double u, double v) const {
    bool inside = false;
    for (const auto &loop : loops)
      for (size_t i = 0, j = loop.size() - 1; i < loop.size(); j = i++) {
        const auto [ui, vi] = loop[i];
        const auto [uj, vj] = loop[j];
        if ((vi > v) != (vj > v) && u < ui + (v - vi) * (uj - ui) / (vj - vi))
          inside = !inside;
      }
    return inside != cutInside;
  }
};

bool flattenTrims(const TrimCurves &trims, Trim &out) {
  size_t curve = 0, knot = 0, point = 0;
  for (RtInt ncurves : trims.ncurves) {
    std::vector<std::pair<double, double>> loop;
    for (int c = 0; c < ncurves; ++c, ++curve) {
      if (curve >= trims.order.size() || curve >= trims.n.size() || curve >= trims.min.size() ||
          curve >= trims.max.size())
        return false;
      const int order = trims.order[curve], n = trims.n[curve];
      if (knot + n + order > trims.knot.size() || point + n > trims.u.size() ||
          point + n > trims.v.size() || point + n > trims.w.size() ||
          !knotsValid(n, order, trims.knot.data() + knot))
        return false;
      const float *knots = trims.knot.data() + knot;
      const double lo = std::max<double>(trims.min[curve], knots[order - 1]);
      const double hi = std::min<double>(trims.max[curve], knots[n]);
      const int steps = kTrimStepsPerSpan * (n - order + 1);
      double basis[kMaxOrder];
      for (int k = 0; k <= steps; ++k) {
        const double t = lo + (hi - lo) * k / steps;
        const int first = bsplineBasis(order, n, knots, t, basis);
        double u = 0, v = 0, w = 0;
        for (int i = 0; i < order; ++i) {
          u += basis[i] * trims.u[point + first + i];
          v += basis[i] * trims.v[point + first + i];
          w += basis[i] * trims.w[point + first + i];
        }
        if (w != 0)
          loop.emplace_back(u / w, v / w);
      }
      knot += n + order;
      point += n;
    }
    if (loop.size() < 3)
      continue;
    double ulo = 1e300, uhi = -1e300, vlo = 1e300, vhi = -1e300;
    for (const auto &[u, v] : loop) {
      ulo = std::min(ulo, u), uhi = std::max(uhi, u), vlo = std::min(vlo, v), vhi = std::max(vhi, v);
    }
    out.smallest = std::min(out.smallest, std::min(uhi - ulo, vhi - vlo));
    out.loops.push_back(std::move(loop));
  }
  return true;
}

// Builds the mesh: grid points as vertices, the triangles the trim keeps, and the trim's edge
// where it crosses a triangle, found by bisection along the triangle's sides.
struct Builder {
  const Surface &surface;
  const PrimVars &vars;
  const Trim *trim;
  Mesh &mesh;
  std::map<std::pair<uint32_t, uint32_t>, uint32_t> cuts;
  std::vector<std::pair<double, double>> uv; // per vertex added

  uint32_t add(double u, double v) {
    const Surface::Point s = surface.evaluate(u, v);
    const uint32_t index = mesh.addVertex(s.p);
    Vec3 n = cross(s.du, s.dv);
    if (length(n) == 0) { // a collapsed edge of the patch: take the normal just inside
      const Surface::Point t = surface.evaluate(u + 1e-6 * (surface.args.umax - u > 0 ? 1 : -1),
                                                v + 1e-6 * (surface.args.vmax - v > 0 ? 1 : -1));
      n = cross(t.du, t.dv);
    }
    mesh.normals.push_back(vars.N.given() ? look(vars.N, s, u, v) : normalized(n));
    if (vars.Cs.given()) {
      const Vec3 c = look(vars.Cs, s, u, v);
      mesh.colors.push_back({float(c.x), float(c.y), float(c.z)});
    }
    if (vars.Os.given()) {
      const Vec3 o = look(vars.Os, s, u, v);
      mesh.opacities.push_back({float(o.x), float(o.y), float(o.z)});
    }
    uv.emplace_back(u, v);
    return index;
  }

  // A variable at (u, v) by its class: the surface's basis for vertex, bilinear across the span
  // for varying, the span's for uniform.
  Vec3 look(const PrimVar &var, const Surface::Point &s, double u, double v) const {
    const NuPatchArgs &a = surface.args;
    switch (var.storage) {
    case VarClass::Constant:
      return vecAt(var, 0);
    case VarClass::Uniform:
      return vecAt(var, s.vspan * (a.nu - a.uorder + 1) + s.uspan);
    case VarClass::Vertex: {
      Vec3 sum;
      for (int j = 0; j < a.vorder; ++j)
        for (int i = 0; i < a.uorder; ++i)
          sum = sum + vecAt(var, (s.vspan + j) * a.nu + s.uspan + i) * (s.nu[i] * s.nv[j]);
      return sum;
    }
    case VarClass::Varying:
    case VarClass::FaceVarying: {
      const int row = a.nu - a.uorder + 2;
      const auto fraction = [](double t, const RtFloat *k) {
        return k[1] > k[0] ? std::clamp((t - k[0]) / (k[1] - k[0]), 0.0, 1.0) : 0.0;
      };
      const double fu = fraction(u, a.uknot + s.uspan + a.uorder - 1);
      const double fv = fraction(v, a.vknot + s.vspan + a.vorder - 1);
      const int c = s.vspan * row + s.uspan;
      return (vecAt(var, c) * (1 - fu) + vecAt(var, c + 1) * fu) * (1 - fv) +
             (vecAt(var, c + row) * (1 - fu) + vecAt(var, c + row + 1) * fu) * fv;
    }
    }
    return {};
  }

  // The vertex where the trim's edge crosses from vertex a (kept) to b (cut away).
  uint32_t cut(uint32_t a, uint32_t b) {
    const auto key = std::make_pair(a, b);
    const auto found = cuts.find(key);
    if (found != cuts.end())
      return found->second;
    auto [ua, va] = uv[a];
    auto [ub, vb] = uv[b];
    for (int k = 0; k < 20; ++k) {
      const double um = 0.5 * (ua + ub), vm = 0.5 * (va + vb);
      if (trim->keeps(um, vm))
        ua = um, va = vm;
      else
        ub = um, vb = vm;
    }
    const uint32_t v = add(ua, va);
    cuts.emplace(key, v);
    return v;
  }

  void triangle(uint32_t a, uint32_t b, uint32_t c, const std::vector<char> &kept, uint32_t first) {
    const uint32_t t[3] = {a, b, c};
    int nkept = 0;
    for (uint32_t v : t)
      nkept += kept[v - first];
    if (nkept == 3) {
      mesh.addTriangle(a, b, c);
      return;
    }
    if (nkept == 0)
      return;
    // Rotate so that t[0] is the odd one out, keeping the winding.
    int odd = 0;
    for (int k = 0; k < 3; ++k)
      if ((kept[t[k] - first] != 0) == (nkept == 1))
        odd = k;
    const uint32_t p = t[odd], q = t[(odd + 1) % 3], r = t[(odd + 2) % 3];
    if (nkept == 1) {
      mesh.addTriangle(p, cut(p, q), cut(p, r));
    } else {
      const uint32_t pq = cut(q, p), pr = cut(r, p);
      mesh.addTriangle(pq, q, r);
      mesh.addTriangle(pq, r, pr);
    }
  }
};

// Removes the vertices from `first` on that no triangle uses (the grid points trimmed away).
void dropUnused(Mesh &mesh, uint32_t first) {
  std::vector<uint32_t> remap(mesh.positions.size() - first, UINT32_MAX);
  for (uint32_t &index : mesh.triangles)
    if (index >= first)
      remap[index - first] = 0;
  uint32_t next = first;
  for (uint32_t v = first; v < mesh.positions.size(); ++v) {
    if (remap[v - first] == UINT32_MAX)
      continue;
    remap[v - first] = next;
    mesh.positions[next] = mesh.positions[v];
    mesh.normals[next] = mesh.normals[v];
    if (!mesh.colors.empty())
      mesh.colors[next] = mesh.colors[v];
    if (!mesh.opacities.empty())
      mesh.opacities[next] = mesh.opacities[v];
    ++next;
  }
  for (uint32_t &index : mesh.triangles)
    if (index >= first)
      index = remap[index - first];
  mesh.positions.resize(next);
  mesh.normals.resize(next);
  if (!mesh.colors.empty())
    mesh.colors.resize(next);
  if (!mesh.opacities.empty())
    mesh.opacities.resize(next);
}

} // namespace

bool tessellateNuPatch(const NuPatchArgs &args, const PrimVars &vars, const TrimCurves *trims,
                       bool trimInside, const ViewSpace &view, Mesh &mesh) {
  if (!knotsValid(args.nu, args.uorder, args.uknot) || !knotsValid(args.nv, args.vorder, args.vknot))
    return false;
  const PrimVar &points = vars.Pw.given() ? vars.Pw : vars.P;
  if (!points.given() || (points.components != 3 && points.components != 4))
    return false;

  Trim trim;
  trim.cutInside = trimInside;
  if (trims && !trims->empty() && !flattenTrims(*trims, trim))
    return false;
  const bool trimmed = !trim.loops.empty();

  NuPatchArgs range = args;
  range.umin = std::max(args.umin, args.uknot[args.uorder - 1]);
  range.umax = std::min(args.umax, args.uknot[args.nu]);
  range.vmin = std::max(args.vmin, args.vknot[args.vorder - 1]);
  range.vmax = std::min(args.vmax, args.vknot[args.nv]);
  if (!(range.umin < range.umax) || !(range.vmin < range.vmax))
    return true; // an empty range: nothing to draw

  Surface surface{range, {}};
  const int npoints = args.nu * args.nv;
  surface.pw.resize(4 * static_cast<size_t>(npoints));
  double tolerance = 1e300;
  for (int i = 0; i < npoints; ++i) {
    const float *q = points.at(i);
    const double w = points.components == 4 ? q[3] : 1;
    surface.pw[4 * i] = q[0], surface.pw[4 * i + 1] = q[1], surface.pw[4 * i + 2] = q[2];
    surface.pw[4 * i + 3] = w;
    const Vec3 at = Vec3{q[0], q[1], q[2]} * (1 / (w != 0 ? w : 1));
    if (!view.behindEye(at))
      tolerance = std::min(tolerance, view.tolerance(at));
  }

  // The bend across a span, from second differences of points along a few lines across it.
  constexpr int kProbe = 6;
  const auto bend = [&](bool alongU, double a, double b) {
    double worst = 0;
    const double lo = alongU ? range.vmin : range.umin, hi = alongU ? range.vmax : range.umax;
    for (int line = 0; line <= kProbe; ++line) {
      const double across = lo + (hi - lo) * line / kProbe;
      Vec3 p[kProbe + 1];
      for (int k = 0; k <= kProbe; ++k) {
        const double t = a + (b - a) * k / kProbe;
        p[k] = (alongU ? surface.evaluate(t, across) : surface.evaluate(across, t)).p;
      }
      const double h = (b - a) / kProbe;
      for (int k = 1; k < kProbe; ++k)
        worst = std::max(worst, length(p[k - 1] - 2 * p[k] + p[k + 1]) / (h * h));
    }
    return worst;
  };
  // Steps within the budget. With trims, cells small enough that the trim's edge, a chord
  // across each cell it crosses, stays within the tolerance of the loop (bent on about the
  // loop's own scale), and that no loop slips between grid lines.
  const int uspans = args.nu - args.uorder + 1, vspans = args.nv - args.vorder + 1;
  const double budget = std::max(1.0, static_cast<double>(view.maxTriangles) / 2);
  const int cap = std::clamp(static_cast<int>(std::sqrt(budget / (double(uspans) * vspans))), 1,
                             trimmed ? kMaxStepsPerTrimmedSpan : kMaxStepsPerSpan);
  double ustep = 1e300, vstep = 1e300;
  if (trimmed) {
    double speedU = 0, speedV = 0;
    for (int j = 0; j <= kProbe; ++j)
      for (int i = 0; i <= kProbe; ++i) {
        const Surface::Point s = surface.evaluate(range.umin + (range.umax - range.umin) * i / kProbe,
                                                  range.vmin + (range.vmax - range.vmin) * j / kProbe);
        speedU = std::max(speedU, length(s.du));
        speedV = std::max(speedV, length(s.dv));
      }
    const double loopRadius = 0.5 * trim.smallest * std::max(std::min(speedU, speedV), 1e-12);
    const double cell = std::sqrt(8 * tolerance * loopRadius);
    ustep = std::min(trim.smallest / 4, cell / std::max(speedU, 1e-12));
    vstep = std::min(trim.smallest / 4, cell / std::max(speedV, 1e-12));
  }
  const std::vector<double> us =
      parameterSteps(args.nu, args.uorder, args.uknot, range.umin, range.umax, tolerance, ustep,
                     cap, [&](double a, double b) { return bend(true, a, b); });
  const std::vector<double> vs =
      parameterSteps(args.nv, args.vorder, args.vknot, range.vmin, range.vmax, tolerance, vstep,
                     cap, [&](double a, double b) { return bend(false, a, b); });

  mesh.normals.resize(mesh.positions.size());
  if (vars.Cs.given())
    mesh.colors.resize(mesh.positions.size());
  if (vars.Os.given())
    mesh.opacities.resize(mesh.positions.size());
  Builder builder{surface, vars, trimmed ? &trim : nullptr, mesh, {}, {}};
  const uint32_t first = static_cast<uint32_t>(mesh.positions.size());
  builder.uv.resize(first);
  std::vector<char> kept;
  for (double v : vs)
    for (double u : us) {
      builder.add(u, v);
      kept.push_back(!trimmed || trim.keeps(u, v));
    }
  const uint32_t row = static_cast<uint32_t>(us.size());
  for (uint32_t j = 0; j + 1 < vs.size(); ++j)
    for (uint32_t i = 0; i + 1 < row; ++i) {
      const uint32_t a = first + j * row + i;
      builder.triangle(a, a + 1, a + row + 1, kept, first);
      builder.triangle(a, a + row + 1, a + row, kept, first);
    }
  if (trimmed)
    dropUnused(mesh, first);
  return true;
}

} // namespace view
