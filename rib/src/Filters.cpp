// The standard reconstruction filters (their RIB names are in StandardNames.cpp).
//
// Weights are computed in single precision throughout, so every caller gets the same bits
// whatever the platform's double-precision library does.
#include <math.h> // j1

#include <cmath>

#include "rib/ri.h"

namespace {

// Pi rounded to the nearest single, as the sinc weights are defined with it.
constexpr float kPiSingle = 3.1415927f;

} // namespace

RtFloat RiGaussianFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
  // Scaled so that the edge of the box along an axis lies at distance 1: weight e^-2 there.
  float xs = x / (xwidth / 2.0f);
  float ys = y / (ywidth / 2.0f);
  return std::exp(-2.0f * (xs * xs + ys * ys));
}

RtFloat RiBoxFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
  // Strict on both sides: a sample exactly on the edge belongs to neither box.
  return std::fabs(x) < xwidth / 2.0f && std::fabs(y) < ywidth / 2.0f ? 1.0f : 0.0f;
}

RtFloat RiTriangleFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
  // A pyramid: the lower of the two tents, never negative.
  float tx = 1.0f - std::fabs(x) / (xwidth / 2.0f);
  float ty = 1.0f - std::fabs(y) / (ywidth / 2.0f);
  float lower = tx < ty ? tx : ty;
  return lower < 0.0f ? 0.0f : lower;
}

RtFloat RiCatmullRomFilter(RtFloat x, RtFloat y, RtFloat, RtFloat) {
  // Radial with a fixed support of radius 2; the widths do not scale it.
  float r2 = x * x + y * y;
  if (r2 > 4.0f) return 0.0f;
  float r = std::sqrt(r2);
  float r3 = r2 * r;
  if (r < 1.0f) return 3.0f * r3 - 5.0f * r2 + 2.0f;
  return -r3 + 5.0f * r2 - 8.0f * r + 4.0f;
}

RtFloat RiSincFilter(RtFloat x, RtFloat y, RtFloat, RtFloat) {
  // Radial with a fixed support of radius 2; near the centre the limit 1 avoids 0/0.
  float r = std::sqrt(x * x + y * y);
  if (r > 2.0f) return 0.0f;
  if (r < 0.0001f) return 1.0f;
  float angle = kPiSingle * r;
  return std::sin(angle) / angle;
}

namespace {

// x / (w / 2) and y / (h / 2): the edge of the width's box along an axis lies at 1.
float ellipseRadius2(float x, float y, float xwidth, float ywidth) {
  const float xs = x / (xwidth / 2.0f), ys = y / (ywidth / 2.0f);
  return xs * xs + ys * ys;
}

// The cubic of Mitchell and Netravali with B = C = 1/3, over |t| < 2.
float mitchell1D(float t) {
  constexpr float B = 1.0f / 3.0f, C = 1.0f / 3.0f;
  t = std::fabs(t);
  const float t2 = t * t, t3 = t2 * t;
  if (t < 1.0f)
    return ((12 - 9 * B - 6 * C) * t3 + (-18 + 12 * B + 6 * C) * t2 + (6 - 2 * B)) / 6.0f;
  if (t < 2.0f)
    return ((-B - 6 * C) * t3 + (6 * B + 30 * C) * t2 + (-12 * B - 48 * C) * t + (8 * B + 24 * C)) /
           6.0f;
  return 0.0f;
}

} // namespace

RtFloat RiBesselFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
  // The radial jinc 2 J1(pi r) / (pi r), cut to the ellipse of the widths; 1 at the centre.
  if (ellipseRadius2(x, y, xwidth, ywidth) >= 1.0f) return 0.0f;
  const float r = std::sqrt(x * x + y * y);
  if (r < 0.0001f) return 1.0f;
  const float angle = kPiSingle * r;
  return 2.0f * static_cast<float>(j1(static_cast<double>(angle))) / angle;
}

RtFloat RiDiskFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
  // 1 strictly inside the ellipse of the widths, as the box is strict on its edges.
  return ellipseRadius2(x, y, xwidth, ywidth) < 1.0f ? 1.0f : 0.0f;
}

RtFloat RiMitchellFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth) {
  // Separable: the cubic's support of 2 on each side spans half the width.
  return mitchell1D(x / (xwidth / 4.0f)) * mitchell1D(y / (ywidth / 4.0f));
}
