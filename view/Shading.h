// Shading.h - lights and the matte look every surface gets, per vertex in camera space.
//
// A surface is either "constant" (its colour as it is) or lit as matte: Ci = Os Cs (Ka ambient +
// Kd diffuse) with the normal turned toward the eye. Lights are the standard four; another light
// shader is taken for the standard one whose parameters it has ("coneangle": a spot light; "to":
// a distant light; "from": a point light), else, like every area light, for a light at the
// origin of the space it was declared in that does not fall off, with its "intensity" and
// "lightcolor" when it has them.
#pragma once

#include <vector>

#include "Declarations.h"
#include "Matrix.h"

namespace view {

enum class LightKind { Ambient, Distant, Point, Spot, Other };

struct Light {
  LightKind kind = LightKind::Point;
  Color color;               // intensity times lightcolor
  Vec3 from, direction;      // camera space; direction: from "from" toward "to", unit
  double cosOuter = 0, cosInner = 0, beam = 2; // spotlight cone
};

/// The light a LightSource request makes, placed by `toCamera` (its current transformation).
Light makeLight(const char *shader, RtInt n, const RtToken tokens[], const RtPointer values[],
                const Declarations &declarations, const Mat4 &toCamera);

/// The light of a scene that has none: at the eye, looking where the camera looks.
Light eyeLight(bool perspective);

struct SurfaceLook {
  bool constant = false;
  double ka = 1, kd = 1;
};

/// The surface a Surface request sets: "constant" unlit, anything else matte with its Ka and Kd.
SurfaceLook makeSurface(const char *shader, RtInt n, const RtToken tokens[],
                        const RtPointer values[], const Declarations &declarations);

/// The colour of a point `p` with normal `normal` (camera space, any length and side), colour
/// `cs` and opacity `os`, seen from `eye` (the origin, or far along -z for orthographic views).
Color shade(const SurfaceLook &look, const std::vector<const Light *> &lights, Vec3 p, Vec3 normal,
            bool perspective, Color cs, Color os);

/// `normal` made unit and turned toward the eye seen from `p`.
Vec3 facingEye(Vec3 normal, Vec3 p, bool perspective);
/// shade() for a normal already unit and facing the eye.
Color shadeFacing(const SurfaceLook &look, const std::vector<const Light *> &lights, Vec3 p,
                  Vec3 unitNormal, Color cs, Color os);

/// The floats of the parameter named `name` (bare or inline-declared) with `components` per
/// element, or null.
const float *findFloats(const char *name, int components, RtInt n, const RtToken tokens[],
                        const RtPointer values[], const Declarations &declarations);

} // namespace view
