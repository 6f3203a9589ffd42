#include "Curves.h"

#include <algorithm>
#include <cmath>

#include "Splines.h"

namespace view {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxStepsPerSegment = 64;

// Where one sample of a curve lies, for interpolating its variables by class: the curve, the
// control points and their weights (vertex class) and the segment ends (varying class).
struct CurvePlace {
  int curve = 0;
  int controls[4] = {};
  double weights[4] = {};
  int ncontrols = 0;
  int varyingA = 0, varyingB = 0; // absolute varying elements at the segment's ends
  double t = 0;                   // along the segment
};

// A variable's value at a sample, `var.components` floats into `out` (at most 3 used).
void sampleVar(const PrimVar &var, const CurvePlace &at, double out[3]) {
  const int n = std::min(var.components, 3);
  std::fill(out, out + 3, 0.0);
  switch (var.storage) {
  case VarClass::Constant:
  case VarClass::Uniform: {
    const float *v = var.at(var.storage == VarClass::Uniform ? at.curve : 0);
    std::copy(v, v + n, out);
    break;
  }
  case VarClass::Vertex:
    for (int k = 0; k < at.ncontrols; ++k)
      for (int c = 0; c < n; ++c)
        out[c] += at.weights[k] * var.at(at.controls[k])[c];
    break;
  case VarClass::Varying:
  case VarClass::FaceVarying:
    for (int c = 0; c < n; ++c)
      out[c] = var.at(at.varyingA)[c] * (1 - at.t) + var.at(at.varyingB)[c] * at.t;
    break;
  }
}

Vec3 sampleVec(const PrimVar &var, const CurvePlace &at) {
  double v[3];
  sampleVar(var, at, v);
  return {v[0], v[1], v[2]};
}

Color sampleColor(const PrimVar &var, const CurvePlace &at) {
  double v[3];
  sampleVar(var, at, v);
  return {float(v[0]), float(v[1]), float(v[2])};
}

// Any unit vector across `d`, for a ribbon whose tangent points at the eye.
Vec3 anyPerpendicular(Vec3 d) {
  const Vec3 axis = std::fabs(d.x) < 0.6 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  return normalized(cross(d, axis));
}

// One sample of a curve on its way to becoming two ribbon vertices.
struct Sample {
  Vec3 p, tangent, n;
  double width = 1;
  Color cs, os;
};

// Adds the ribbon through `samples`: two vertices each, across the tangent and the facing
// direction (N, or toward the eye), so that the triangles face that way.
void addRibbon(const std::vector<Sample> &samples, bool hasN, bool closedLoop,
               const ViewSpace &view, const PrimVars &vars, Mesh &mesh) {
  const uint32_t first = static_cast<uint32_t>(mesh.positions.size());
  Vec3 lastSide{1, 0, 0};
  for (const Sample &s : samples) {
    const Vec3 facing = hasN ? normalized(s.n) : view.towardEye(s.p);
    Vec3 side = normalized(cross(s.tangent, facing));
    if (length(side) == 0)
      side = length(s.tangent) > 0 ? anyPerpendicular(s.tangent) : lastSide;
    lastSide = side;
    const double half = 0.5 * std::max(s.width, view.pixelSize(s.p));
    mesh.addVertex(s.p - side * half);
    mesh.addVertex(s.p + side * half);
    mesh.normals.insert(mesh.normals.end(), {facing, facing});
    if (vars.Cs.given())
      mesh.colors.insert(mesh.colors.end(), {s.cs, s.cs});
    if (vars.Os.given())
      mesh.opacities.insert(mesh.opacities.end(), {s.os, s.os});
  }
  const uint32_t n = static_cast<uint32_t>(samples.size());
  const uint32_t quads = closedLoop ? n : n - 1;
  for (uint32_t i = 0; i < quads; ++i) {
    const uint32_t l0 = first + 2 * i, r0 = l0 + 1;
    const uint32_t l1 = first + 2 * ((i + 1) % n), r1 = l1 + 1;
    mesh.addTriangle(l0, r0, r1);
    mesh.addTriangle(l0, r1, l1);
  }
}

// Fills the vertex arrays the variables need up to the vertices already there, so that they
// stay one entry per vertex when this primitive adds to a mesh that had none.
void padArrays(const PrimVars &vars, Mesh &mesh) {
  mesh.normals.resize(mesh.positions.size());
  if (vars.Cs.given())
    mesh.colors.resize(mesh.positions.size());
  if (vars.Os.given())
    mesh.opacities.resize(mesh.positions.size());
}

} // namespace

bool tessellateCurves(const CurvesArgs &args, const PrimVars &vars, const ViewSpace &view,
                      Mesh &mesh) {
  if (!vars.P.given() || args.ncurves < 0 || (args.ncurves > 0 && !args.nvertices))
    return false;
  const int step = args.cubic ? args.step : 1;
  const int order = args.cubic ? 4 : 2;
  if (step < 1)
    return false;

  // Check every curve first, so that a bad one leaves nothing half made. Points past the last
  // whole segment are left over, as the counts of the variables have it.
  const auto segmentsOf = [&](int nv) {
    return args.periodic ? nv / step : nv < order ? 0 : (nv - order) / step + 1;
  };
  long totalSegments = 0;
  for (int c = 0; c < args.ncurves; ++c) {
    if (segmentsOf(args.nvertices[c]) < 1)
      return false;
    totalSegments += segmentsOf(args.nvertices[c]);
  }
  const int cap = static_cast<int>(std::clamp<long>(
      static_cast<long>(view.maxTriangles / 2) / std::max(totalSegments, 1L), 1, kMaxStepsPerSegment));

  padArrays(vars, mesh);
  const bool hasN = vars.N.given();
  int vertexBase = 0, varyingBase = 0;
  std::vector<Sample> samples;
  for (int c = 0; c < args.ncurves; ++c) {
    const int nv = args.nvertices[c];
    const int nsegs = segmentsOf(nv);
    const int nvarying = args.periodic ? nsegs : nsegs + 1;
    samples.clear();
    for (int s = 0; s < nsegs; ++s) {
      CurvePlace at;
      at.curve = c;
      at.ncontrols = order;
      Vec3 control[4];
      for (int k = 0; k < order; ++k) {
        at.controls[k] = vertexBase + (s * step + k) % nv;
        control[k] = vecAt(vars.P, at.controls[k]);
      }
      at.varyingA = varyingBase + s;
      at.varyingB = varyingBase + (s + 1) % nvarying;

      int steps = 1;
      if (args.cubic) {
        // P'' = [6t 2 0 0] basis P is linear in t: its largest length is at an end.
        double bend = 0, tolerance = 1e300;
        for (double t : {0.0, 1.0}) {
          Vec3 d2;
          for (int k = 0; k < 4; ++k)
            d2 = d2 + control[k] * (6 * t * args.basis[0][k] + 2 * args.basis[1][k]);
          bend = std::max(bend, length(d2));
        }
        for (const Vec3 &p : control)
          if (!view.behindEye(p))
            tolerance = std::min(tolerance, view.tolerance(p));
        steps = stepsForTolerance(bend, tolerance, cap);
      }
      const bool lastSegment = s == nsegs - 1;
      const int count = (lastSegment && !args.periodic) ? steps + 1 : steps;
      for (int i = 0; i < count; ++i) {
        at.t = double(i) / steps;
        double dweights[4] = {0, 0, 0, 0};
        if (args.cubic) {
          cubicWeights(args.basis, at.t, at.weights, dweights);
        } else {
          at.weights[0] = 1 - at.t;
          at.weights[1] = at.t;
          dweights[0] = -1;
          dweights[1] = 1;
        }
        Sample sample;
        for (int k = 0; k < order; ++k) {
          sample.p = sample.p + control[k] * at.weights[k];
          sample.tangent = sample.tangent + control[k] * dweights[k];
        }
        if (vars.width.given())
          sample.width = sampleVec(vars.width, at).x;
        else if (vars.constantwidth.given())
          sample.width = vars.constantwidth.values[0];
        if (hasN)
          sample.n = sampleVec(vars.N, at);
        if (vars.Cs.given())
          sample.cs = sampleColor(vars.Cs, at);
        if (vars.Os.given())
          sample.os = sampleColor(vars.Os, at);
        // A linear curve bends at its vertices: there the ribbon runs across both segments.
        if (!args.cubic && i == 0 && (s > 0 || args.periodic))
          sample.tangent = normalized(sample.tangent) +
                           normalized(control[0] - vecAt(vars.P, vertexBase + (s * step + nv - 1) % nv));
        samples.push_back(sample);
      }
    }
    addRibbon(samples, hasN, args.periodic, view, vars, mesh);
    vertexBase += nv;
    varyingBase += nvarying;
  }
  return true;
}

bool tessellatePoints(int npoints, const PrimVars &vars, const ViewSpace &view, Mesh &mesh) {
  if (!vars.P.given() || npoints < 0)
    return false;
  padArrays(vars, mesh);
  // Fewer sides for many points, so that the whole stays within the budget.
  const int maxSides = static_cast<int>(
      std::clamp<size_t>(view.maxTriangles / std::max<size_t>(npoints, 1), 3, 48));
  auto element = [](const PrimVar &var, int i) {
    return var.storage == VarClass::Constant || var.storage == VarClass::Uniform ? 0 : i;
  };
  size_t triangles = 0;
  for (int i = 0; i < npoints && triangles + maxSides <= view.maxTriangles; ++i) {
    const Vec3 c = vecAt(vars.P, i);
    if (view.behindEye(c))
      continue;
    double width = 1;
    if (vars.width.given())
      width = vars.width.at(element(vars.width, i))[0];
    else if (vars.constantwidth.given())
      width = vars.constantwidth.values[0];
    const double pixel = view.pixelSize(c);
    const double radius = 0.5 * std::max(width, pixel);
    // Sides whose chords stay within half a pixel of the circle.
    const double ratio = 1 - view.tolerance(c) / radius;
    int sides = ratio > -1 ? static_cast<int>(std::ceil(kPi / std::acos(ratio))) : 3;
    sides = std::clamp(sides, std::min(6, maxSides), maxSides);

    // Corners just outside the circle and chords' middles just inside, by the same amount.
    const double rim = 2 * radius / (1 + std::cos(kPi / sides));
    const Vec3 eye = view.towardEye(c);
    const Vec3 e1 = anyPerpendicular(eye), e2 = cross(eye, e1);
    const uint32_t centre = mesh.addVertex(c);
    for (int k = 0; k < sides; ++k) {
      const double a = 2 * kPi * k / sides;
      mesh.addVertex(c + e1 * (rim * std::cos(a)) + e2 * (rim * std::sin(a)));
      mesh.addTriangle(centre, centre + 1 + k, centre + 1 + (k + 1) % sides);
    }
    triangles += static_cast<size_t>(sides);
    mesh.normals.insert(mesh.normals.end(), sides + 1, eye);
    if (vars.Cs.given())
      mesh.colors.insert(mesh.colors.end(), sides + 1, colorAt(vars.Cs, element(vars.Cs, i)));
    if (vars.Os.given())
      mesh.opacities.insert(mesh.opacities.end(), sides + 1, colorAt(vars.Os, element(vars.Os, i)));
  }
  return true;
}

} // namespace view
