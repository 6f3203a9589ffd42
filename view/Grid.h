// Grid.h - what the parametric tessellators share: a surface P(u, v) cut into a grid of
// triangles wound by dP/du x dP/dv, the steps that keep it within a tolerance, and primitive
// variables given per corner, per face or once.
#pragma once

#include <functional>

#include "Mesh.h"
#include "PrimVars.h"
#include "ViewSpace.h"

namespace view {

using SurfaceFn = std::function<Vec3(double u, double v)>;

/// Where a grid's values come from: the element of a uniform variable, and the elements of the
/// four corners (u0v0, u1v0, u0v1, u1v1) of a varying or vertex one.
struct CornerElements {
  int uniform = 0;
  int corners[4] = {0, 1, 2, 3};
};

/// The tolerance for a surface: half the smallest pixel over a few samples of it.
double surfaceTolerance(const SurfaceFn &surface, const ViewSpace &view);

/// Segments for an arc of `radius` sweeping `radians` within `tolerance`, from 1 to `most`.
int arcSteps(double radius, double radians, double tolerance, int most = 256);

/// Segments for the curve v -> surface(u, v), u at a few places, within `tolerance`.
int curveSteps(const SurfaceFn &surface, double tolerance, int most = 256);

/// Adds the (nu + 1) by (nv + 1) grid over u, v in [0, 1] and its triangles, with the surface's
/// normals; returns its first vertex. Cs, Os and N of `vars` are interpolated over the corners
/// `elements` names (the quadrics' vertex values are their corners, as varying ones are).
uint32_t addGrid(const SurfaceFn &surface, int nu, int nv, const PrimVars &vars,
                 const CornerElements &elements, Mesh &mesh);

/// The value of a variable at (u, v) of a grid whose corners `elements` names (3 floats).
Vec3 cornerValue(const PrimVar &var, const CornerElements &elements, double u, double v);

} // namespace view
