// SceneLook: how the scene looks, for every picture made of it.
//
// The window's OpenGL drawing (render/) and the RIB recording (tools/sim/)
// both read these values, so the two pictures agree: the view volume, the
// colours, the bounds' corners and reference lines, the 15-degree turn of the
// body and its bounds, and the width of a line. Plain values only: no GL, no
// simulation types, so anything may include it.
//
//     const look::Quad wall = look::wallQuad(4.0);   // corners of the wall x = 4
//     glColor3f(look::kWallColor.r, look::kWallColor.g, look::kWallColor.b);
#pragma once

namespace look {

struct Rgb {
  float r, g, b;
};

// A point of the scene, in the body's (turned) frame unless said otherwise.
struct ScenePoint {
  double x, y, z;
};

struct Quad {
  ScenePoint corners[4];
};

struct Segment {
  ScenePoint from, to;
};

// ---- View --------------------------------------------------------------

// The fixed orthographic view shows -kViewHalfSize..kViewHalfSize on every
// axis of the world, the near and far planes included.
constexpr float kViewHalfSize = 5.0f;

// ---- Colours -----------------------------------------------------------

constexpr Rgb kSphereColor = {0.0f, 0.8f, 0.0f};
constexpr Rgb kWallColor = {0.0f, 0.3f, 0.5f};
constexpr Rgb kFloorColor = {0.5f, 0.0f, 0.5f};
constexpr Rgb kReferenceLineColor = {1.0f, 0.0f, 0.0f};
constexpr Rgb kSpringColor = {1.0f, 1.0f, 1.0f};

// ---- The body's turn ---------------------------------------------------

// The body, its bounds and springs are seen turned by this many degrees about
// kBodyTurnAxis (right-handed); the spheres are not turned.
constexpr float kBodyTurnDegrees = 15.0f;
constexpr float kBodyTurnAxis[3] = {1.0f, 1.0f, 0.0f};

// ---- Bounds ------------------------------------------------------------

// The walls and floor reach this far along their plane, far beyond the view;
// whatever shows of them is cut by the view volume.
constexpr float kPlaneExtent = 100.0f;

// The wall x = `x`, corners in drawing order.
constexpr Quad wallQuad(double x) {
  const double e = kPlaneExtent;
  return {{{x, -e, -e}, {x, e, -e}, {x, e, e}, {x, -e, e}}};
}

// The floor y = `y`, corners in drawing order.
constexpr Quad floorQuad(double y) {
  const double e = kPlaneExtent;
  return {{{-e, y, -e}, {e, y, -e}, {e, y, e}, {-e, y, e}}};
}

// The red reference lines through z = 0: along each wall (the wall at
// `wallMaxX` first), then along the floor.
struct ReferenceLines {
  Segment lines[3];
};

constexpr ReferenceLines referenceLines(double wallMinX, double wallMaxX, double floorY) {
  const double e = kPlaneExtent;
  return {{{{wallMaxX, -e, 0}, {wallMaxX, e, 0}},
           {{wallMinX, -e, 0}, {wallMinX, e, 0}},
           {{-e, floorY, 0}, {e, floorY, 0}}}};
}

// ---- Lines -------------------------------------------------------------

// Springs and reference lines are one pixel wide in the window; a picture of
// the 300-pixel view of 10 units draws them this wide, in world units.
constexpr float kLineWidth = 0.03f;

} // namespace look
