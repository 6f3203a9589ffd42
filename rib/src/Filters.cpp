// The five standard reconstruction filters (their RIB names are in StandardNames.cpp).
//
// Weights are computed in single precision throughout, so every caller gets the same bits
// whatever the platform's double-precision library does.
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
