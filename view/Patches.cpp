#include "Patches.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "Grid.h"

namespace view {
namespace {

// One direction of a patch: its number of control points (2 or 4) and their weights at t.
struct Direction {
  int order = 2;
  const RtFloat (*basis)[4] = nullptr;

  void weights(double t, double w[4], double dw[4]) const {
    if (order == 2) {
      w[0] = 1 - t, w[1] = t, dw[0] = -1, dw[1] = 1;
      return;
    }
    const double T[4] = {t * t * t, t * t, t, 1}, dT[4] = {3 * t * t, 2 * t, 1, 0};
    for (int k = 0; k < 4; ++k) {
      w[k] = dw[k] = 0;
      for (int r = 0; r < 4; ++r) w[k] += T[r] * basis[r][k], dw[k] += dT[r] * basis[r][k];
    }
  }
};

// How many patches a direction holds and which control point starts each.
int patchCount(bool bicubic, int count, bool periodic, int step) {
  if (bicubic) return periodic ? count / step : (count - 4) / step + 1;
  return periodic ? count : count - 1;
}

// A control point in homogeneous form: (x w, y w, z w) and w, as Pw gives it (w = 1 for P, Pz).
Vec3 controlPoint(const PrimVars &vars, const PatchMeshArgs &args, int i, int j, double &w) {
  const int index = i + j * args.nu;
  w = 1;
  if (vars.P.given()) {
    const float *p = vars.P.at(index);
    return {p[0], p[1], p[2]};
  }
  if (vars.Pw.given()) {
    const float *p = vars.Pw.at(index);
    w = p[3];
    return {p[0], p[1], p[2]};
  }
  // A height field over the unit square.
  return {args.nu > 1 ? double(i) / (args.nu - 1) : 0, args.nv > 1 ? double(j) / (args.nv - 1) : 0,
          *vars.Pz.at(index)};
}

// Triangles between two polylines running the same way, `outer` on the right of `inner`: each
// step advances the one that is behind, so that the strip closes without cracks.
void zip(const std::vector<uint32_t> &outer, const std::vector<uint32_t> &inner, Mesh &mesh) {
  size_t i = 0, j = 0;
  const double m = double(outer.size() - 1), n = double(inner.size() - 1);
  while (i + 1 < outer.size() || j + 1 < inner.size()) {
    const bool advanceOuter =
        j + 1 >= inner.size() || (i + 1 < outer.size() && (i + 1) / m <= (j + 1) / n);
    if (advanceOuter) {
      mesh.addTriangle(outer[i], outer[i + 1], inner[j]);
      ++i;
    } else {
      mesh.addTriangle(outer[i], inner[j + 1], inner[j]);
      ++j;
    }
  }
}

// A patch whose sides are cut into `sides` (v = 0, u = 1, v = 1, u = 0) steps and whose inside
// is an nu by nv grid (both at least 2): the ring of side points is zipped to the inside grid's
// outer ring, going round counter-clockwise in (u, v).
template <class AddAt>
void addStitched(AddAt &addAt, int nu, int nv, std::array<int, 4> sides, Mesh &mesh) {
  std::vector<uint32_t> inner(size_t(nu - 1) * (nv - 1));
  for (int j = 1; j < nv; ++j)
    for (int i = 1; i < nu; ++i)
      inner[size_t(j - 1) * (nu - 1) + (i - 1)] = addAt(double(i) / nu, double(j) / nv);
  auto at = [&](int i, int j) { return inner[size_t(j - 1) * (nu - 1) + (i - 1)]; };
  for (int j = 1; j + 1 < nv; ++j)
    for (int i = 1; i + 1 < nu; ++i) {
      mesh.addTriangle(at(i, j), at(i + 1, j), at(i, j + 1));
      mesh.addTriangle(at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
    }
  const uint32_t corners[4] = {addAt(0, 0), addAt(1, 0), addAt(1, 1), addAt(0, 1)};
  for (int side = 0; side < 4; ++side) {
    std::vector<uint32_t> outer{corners[side]}, ring;
    const int steps = sides[size_t(side)];
    for (int k = 1; k < steps; ++k) {
      const double t = double(k) / steps;
      const double u[4] = {t, 1, 1 - t, 0}, v[4] = {0, t, 1, 1 - t};
      outer.push_back(addAt(u[side], v[side]));
    }
    outer.push_back(corners[(side + 1) % 4]);
    // The inside grid's side, the same way round.
    if (side == 0)
      for (int i = 1; i < nu; ++i) ring.push_back(at(i, 1));
    else if (side == 1)
      for (int j = 1; j < nv; ++j) ring.push_back(at(nu - 1, j));
    else if (side == 2)
      for (int i = nu - 1; i >= 1; --i) ring.push_back(at(i, nv - 1));
    else
      for (int j = nv - 1; j >= 1; --j) ring.push_back(at(1, j));
    zip(outer, ring, mesh);
  }
}

} // namespace

bool tessellatePatchMesh(const PatchMeshArgs &args, const PrimVars &vars, const ViewSpace &view,
                         Mesh &mesh) {
  if (!vars.P.given() && !vars.Pw.given() && !vars.Pz.given()) return false;
  const int ustep = args.bicubic ? std::max(args.ustep, 1) : 1;
  const int vstep = args.bicubic ? std::max(args.vstep, 1) : 1;
  const int nuPatches = patchCount(args.bicubic, args.nu, args.uPeriodic, ustep);
  const int nvPatches = patchCount(args.bicubic, args.nv, args.vPeriodic, vstep);
  if (nuPatches <= 0 || nvPatches <= 0 || (args.bicubic && (!args.ubasis || !args.vbasis)))
    return false;
  Direction du, dv;
  du.order = dv.order = args.bicubic ? 4 : 2;
  du.basis = args.ubasis, dv.basis = args.vbasis;
  const int order = du.order;
  const bool rational = !vars.P.given() && vars.Pw.given();
  // Varying values sit at the patches' corners.
  const int nuVarying = args.uPeriodic ? nuPatches : nuPatches + 1;
  const int nvVarying = args.vPeriodic ? nvPatches : nvPatches + 1;

  // One patch's control points, and its surface and derivatives at (u, v).
  struct Patch {
    int ci[4], cj[4];
    Vec3 g[4][4]; // homogeneous
    double w[4][4];
    double smallest = 1e300; // the smallest pixel over its control points
  };
  auto gather = [&](int pu, int pv, Patch &patch) {
    for (int k = 0; k < order; ++k) {
      patch.ci[k] = (pu * ustep + k) % args.nu;
      patch.cj[k] = (pv * vstep + k) % args.nv;
    }
    patch.smallest = 1e300;
    for (int k = 0; k < order; ++k)
      for (int l = 0; l < order; ++l) {
        patch.g[k][l] = controlPoint(vars, args, patch.ci[k], patch.cj[l], patch.w[k][l]);
        const double w = patch.w[k][l] != 0 ? patch.w[k][l] : 1;
        const Vec3 at = patch.g[k][l] * (1 / w);
        if (!view.behindEye(at)) patch.smallest = std::min(patch.smallest, view.pixelSize(at));
      }
  };
  auto evaluateAt = [&](const Patch &patch, double u, double v, Vec3 *dpdu, Vec3 *dpdv) {
    double wu[4], dwu[4], wv[4], dwv[4];
    du.weights(u, wu, dwu);
    dv.weights(v, wv, dwv);
    // The rational surface N / W and its derivatives (N' - P W') / W.
    Vec3 n, nu_, nv_;
    double w = 0, wu_ = 0, wv_ = 0;
    for (int k = 0; k < order; ++k)
      for (int l = 0; l < order; ++l) {
        n = n + patch.g[k][l] * (wu[k] * wv[l]);
        nu_ = nu_ + patch.g[k][l] * (dwu[k] * wv[l]);
        nv_ = nv_ + patch.g[k][l] * (wu[k] * dwv[l]);
        w += patch.w[k][l] * wu[k] * wv[l];
        wu_ += patch.w[k][l] * dwu[k] * wv[l];
        wv_ += patch.w[k][l] * wu[k] * dwv[l];
      }
    // Only Pw is rational: a basis whose weights do not sum to one (the power basis) must not
    // divide plain points by that sum.
    if (!rational) w = 1, wu_ = wv_ = 0;
    if (w == 0) w = 1;
    const Vec3 p = n * (1 / w);
    if (dpdu) *dpdu = (nu_ - p * wu_) * (1 / w), *dpdv = (nv_ - p * wv_) * (1 / w);
    return p;
  };

  // One count of steps for the whole mesh, the largest any patch needs, so that neighbouring
  // patches meet at the same points (no cracks); fewer when the mesh would pass its budget.
  int nu = 1, nv = 1;
  Patch patch;
  for (int pv = 0; pv < nvPatches; ++pv)
    for (int pu = 0; pu < nuPatches; ++pu) {
      gather(pu, pv, patch);
      const SurfaceFn along = [&](double v, double u) {
        return evaluateAt(patch, u, v, nullptr, nullptr);
      };
      const SurfaceFn across = [&](double u, double v) {
        return evaluateAt(patch, u, v, nullptr, nullptr);
      };
      if (patch.smallest == 1e300) continue; // wholly behind the eye
      const double tolerance = std::max(0.5 * patch.smallest, 1e-9);
      nu = std::max(nu, curveSteps(along, tolerance, 64));
      nv = std::max(nv, curveSteps(across, tolerance, 64));
    }
  const double patches = double(nuPatches) * nvPatches;
  while (patches * nu * nv * 2 > double(view.maxTriangles) && (nu > 1 || nv > 1))
    (nu >= nv ? nu : nv) = std::max(1, (nu >= nv ? nu : nv) / 2);

  // Steps for one side of a patch (0: v = 0, 1: u = 1, 2: v = 1, 3: u = 0) from its curve and
  // the pixels along it alone.
  auto edgeSteps = [&](const Patch &at, int side) {
    auto point = [&](double t) {
      const double u = side == 1 ? 1 : side == 3 ? 0 : t, v = side == 0 ? 0 : side == 2 ? 1 : t;
      return evaluateAt(at, u, v, nullptr, nullptr);
    };
    double smallest = 1e300;
    for (int k = 0; k <= 4; ++k)
      if (!view.behindEye(point(k / 4.0)))
        smallest = std::min(smallest, view.pixelSize(point(k / 4.0)));
    if (smallest == 1e300) return 1;
    const SurfaceFn curve = [&](double, double t) { return point(t); };
    return std::min(curveSteps(curve, std::max(0.5 * smallest, 1e-9), 64), 64);
  };
  mesh.positions.reserve(mesh.positions.size() + size_t(patches) * (nu + 1) * (nv + 1));
  for (int pv = 0; pv < nvPatches; ++pv)
    for (int pu = 0; pu < nuPatches; ++pu) {
      gather(pu, pv, patch);
      const int *ci = patch.ci, *cj = patch.cj;
      // A vertex-class variable follows the basis, as P does.
      auto throughBasis = [&](const PrimVar &var, const double wu[4], const double wv[4]) {
        Vec3 sum;
        for (int k = 0; k < order; ++k)
          for (int l = 0; l < order; ++l) {
            const float *f = var.at(ci[k] + cj[l] * args.nu);
            sum = sum + Vec3{f[0], f[1], f[2]} * (wu[k] * wv[l]);
          }
        return sum;
      };
      auto evaluate = [&](double u, double v, Vec3 *dpdu, Vec3 *dpdv) {
        return evaluateAt(patch, u, v, dpdu, dpdv);
      };

      CornerElements elements;
      elements.uniform = pu + pv * nuPatches;
      for (int b = 0; b < 2; ++b)
        for (int a = 0; a < 2; ++a)
          elements.corners[a + 2 * b] = (pu + a) % nuVarying + ((pv + b) % nvVarying) * nuVarying;

      auto addAt = [&](double u, double v) {
        Vec3 dpdu, dpdv;
        const uint32_t index = mesh.addVertex(evaluate(u, v, &dpdu, &dpdv));
        double wu[4], dwu[4], wv[4], dwv[4];
        du.weights(u, wu, dwu);
        dv.weights(v, wv, dwv);
        auto value = [&](const PrimVar &var) {
          return var.storage == VarClass::Vertex ? throughBasis(var, wu, wv)
                                                 : cornerValue(var, elements, u, v);
        };
        if (vars.N.given()) {
          mesh.normals.push_back(value(vars.N));
        } else {
          Vec3 n = cross(dpdu, dpdv);
          // At a collapsed edge (a pole) the normal of a point just inside stands in.
          if (length(n) < 1e-12) {
            const double eu = u < 0.5 ? 1e-4 : -1e-4, ev = v < 0.5 ? 1e-4 : -1e-4;
            evaluate(u + eu, v + ev, &dpdu, &dpdv);
            n = cross(dpdu, dpdv);
          }
          mesh.normals.push_back(n);
        }
        if (vars.Cs.given()) {
          const Vec3 c = value(vars.Cs);
          mesh.colors.push_back({float(c.x), float(c.y), float(c.z)});
        }
        if (vars.Os.given()) {
          const Vec3 o = value(vars.Os);
          mesh.opacities.push_back({float(o.x), float(o.y), float(o.z)});
        }
        return index;
      };

      // The mesh's own outer edges are cut as their curves need, whatever the patch beside
      // them (another request's) needs inside: both cut a shared edge at the same points.
      const int bottom = !args.vPeriodic && pv == 0 ? edgeSteps(patch, 0) : nu;
      const int right = !args.uPeriodic && pu == nuPatches - 1 ? edgeSteps(patch, 1) : nv;
      const int top = !args.vPeriodic && pv == nvPatches - 1 ? edgeSteps(patch, 2) : nu;
      const int left = !args.uPeriodic && pu == 0 ? edgeSteps(patch, 3) : nv;
      if (bottom == nu && top == nu && left == nv && right == nv) {
        const uint32_t first = uint32_t(mesh.positions.size());
        for (int j = 0; j <= nv; ++j)
          for (int i = 0; i <= nu; ++i) addAt(double(i) / nu, double(j) / nv);
        mesh.addGridTriangles(first, nu, nv);
        continue;
      }
      addStitched(addAt, std::max(nu, 2), std::max(nv, 2), {bottom, right, top, left}, mesh);
    }
  return true;
}

} // namespace view
