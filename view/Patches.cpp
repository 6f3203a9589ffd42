#include "Patches.h"

#include <algorithm>
#include <cmath>

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

Vec3 controlPoint(const PrimVars &vars, const PatchMeshArgs &args, int i, int j) {
  const int index = i + j * args.nu;
  if (vars.P.given()) {
    const float *p = vars.P.at(index);
    return {p[0], p[1], p[2]};
  }
  if (vars.Pw.given()) {
    const float *p = vars.Pw.at(index);
    const double w = p[3] != 0 ? p[3] : 1;
    return {p[0] / w, p[1] / w, p[2] / w};
  }
  // A height field over the unit square.
  return {args.nu > 1 ? double(i) / (args.nu - 1) : 0, args.nv > 1 ? double(j) / (args.nv - 1) : 0,
          *vars.Pz.at(index)};
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
  // Varying values sit at the patches' corners.
  const int nuVarying = args.uPeriodic ? nuPatches : nuPatches + 1;
  const int nvVarying = args.vPeriodic ? nvPatches : nvPatches + 1;

  for (int pv = 0; pv < nvPatches; ++pv)
    for (int pu = 0; pu < nuPatches; ++pu) {
      int ci[4], cj[4];
      for (int k = 0; k < order; ++k) {
        ci[k] = (pu * ustep + k) % args.nu;
        cj[k] = (pv * vstep + k) % args.nv;
      }
      Vec3 g[4][4];
      double smallest = 1e300;
      for (int k = 0; k < order; ++k)
        for (int l = 0; l < order; ++l) {
          g[k][l] = controlPoint(vars, args, ci[k], cj[l]);
          smallest = std::min(smallest, view.pixelSize(g[k][l]));
        }
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
        double wu[4], dwu[4], wv[4], dwv[4];
        du.weights(u, wu, dwu);
        dv.weights(v, wv, dwv);
        Vec3 p, pu_, pv_;
        for (int k = 0; k < order; ++k)
          for (int l = 0; l < order; ++l) {
            p = p + g[k][l] * (wu[k] * wv[l]);
            pu_ = pu_ + g[k][l] * (dwu[k] * wv[l]);
            pv_ = pv_ + g[k][l] * (wu[k] * dwv[l]);
          }
        if (dpdu) *dpdu = pu_, *dpdv = pv_;
        return p;
      };
      const SurfaceFn surface = [&](double u, double v) { return evaluate(u, v, nullptr, nullptr); };
      const SurfaceFn swapped = [&](double v, double u) { return evaluate(u, v, nullptr, nullptr); };
      const double tolerance = std::max(0.5 * smallest, 1e-9);
      const int nu = order == 2 ? std::max(1, curveSteps(swapped, tolerance, 64))
                                : curveSteps(swapped, tolerance, 64);
      const int nv = curveSteps(surface, tolerance, 64);

      CornerElements elements;
      elements.uniform = pu + pv * nuPatches;
      for (int b = 0; b < 2; ++b)
        for (int a = 0; a < 2; ++a)
          elements.corners[a + 2 * b] = (pu + a) % nuVarying + ((pv + b) % nvVarying) * nuVarying;

      const uint32_t first = uint32_t(mesh.positions.size());
      for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
          const double u = double(i) / nu, v = double(j) / nv;
          Vec3 dpdu, dpdv;
          mesh.addVertex(evaluate(u, v, &dpdu, &dpdv));
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
        }
      const int row = nu + 1;
      for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
          const uint32_t a = first + j * row + i, b = a + 1, c = a + row, d = c + 1;
          mesh.addTriangle(a, b, c);
          mesh.addTriangle(b, d, c);
        }
    }
  return true;
}

} // namespace view
