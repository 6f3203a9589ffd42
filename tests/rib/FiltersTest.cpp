#include <gtest/gtest.h>

#include <cmath>

#include "StandardNames.h"

using namespace rib;

namespace {

RtFloat ownFilter(RtFloat, RtFloat, RtFloat, RtFloat) { return 1.0f; }

} // namespace

TEST(Filters, BoxIsStrictlyInsideOnBothAxes) {
  EXPECT_EQ(RiBoxFilter(0, 0, 2, 4), 1.0f);
  EXPECT_EQ(RiBoxFilter(1, 0, 2, 4), 0.0f) << "on the x edge";
  EXPECT_EQ(RiBoxFilter(-1, 0, 2, 4), 0.0f);
  EXPECT_EQ(RiBoxFilter(0, 2, 2, 4), 0.0f) << "on the y edge";
  EXPECT_EQ(RiBoxFilter(std::nextafter(1.0f, 0.0f), std::nextafter(-2.0f, 0.0f), 2, 4), 1.0f);
  EXPECT_EQ(RiBoxFilter(0.5f, 3, 2, 4), 0.0f);
}

TEST(Filters, TriangleIsAPyramidNeverNegative) {
  EXPECT_EQ(RiTriangleFilter(0, 0, 4, 4), 1.0f);
  EXPECT_EQ(RiTriangleFilter(1, 0, 4, 4), 0.5f);
  EXPECT_EQ(RiTriangleFilter(0, -1.5f, 4, 4), 0.25f);
  EXPECT_EQ(RiTriangleFilter(1, 1, 4, 4), 0.5f) << "the lower tent, not the product of both";
  EXPECT_EQ(RiTriangleFilter(1, 1.5f, 4, 4), 0.25f);
  EXPECT_EQ(RiTriangleFilter(2, 0, 4, 4), 0.0f);
  EXPECT_EQ(RiTriangleFilter(3, 0, 4, 4), 0.0f) << "beyond the half-width";
  EXPECT_EQ(RiTriangleFilter(0, -10, 4, 4), 0.0f);
}

TEST(Filters, CatmullRomIsRadialWithFixedSupport) {
  EXPECT_EQ(RiCatmullRomFilter(0, 0, 4, 4), 2.0f);
  EXPECT_EQ(RiCatmullRomFilter(1, 0, 4, 4), 0.0f);
  EXPECT_EQ(RiCatmullRomFilter(1.5f, 0, 4, 4), -0.125f);
  EXPECT_EQ(RiCatmullRomFilter(0, -1.5f, 1, 1), -0.125f) << "widths do not scale it";
  EXPECT_EQ(RiCatmullRomFilter(0.5f, 0, 4, 4), 1.125f);
  EXPECT_EQ(RiCatmullRomFilter(2, 0, 4, 4), 0.0f);
  EXPECT_LT(RiCatmullRomFilter(0.6f, 0.8f + 0.2f, 8, 8), 0.0f) << "negative between r = 1 and 2";
  EXPECT_EQ(RiCatmullRomFilter(1.5f, 1.5f, 100, 100), 0.0f) << "r squared 4.5";
  EXPECT_EQ(RiCatmullRomFilter(2.0f, 0.01f, 100, 100), 0.0f);
}

TEST(Filters, SincIsRadialWithFixedSupport) {
  EXPECT_EQ(RiSincFilter(0, 0, 4, 4), 1.0f);
  EXPECT_EQ(RiSincFilter(0.00005f, 0, 4, 4), 1.0f) << "the limit near the centre";
  EXPECT_FLOAT_EQ(RiSincFilter(0.5f, 0, 4, 4), static_cast<float>(2.0 / M_PI));
  EXPECT_FLOAT_EQ(RiSincFilter(0.3f, 0.4f, 1, 1), static_cast<float>(2.0 / M_PI));
  EXPECT_NEAR(RiSincFilter(1, 0, 4, 4), 0.0f, 1e-6f);
  EXPECT_EQ(RiSincFilter(2.001f, 0, 100, 100), 0.0f) << "beyond r = 2 whatever the widths";
  EXPECT_EQ(RiSincFilter(1.5f, 1.5f, 100, 100), 0.0f);
  // Pi is the single 3.1415927f: the weight at r = 0.5 is exactly 1 / (pi / 2) in floats.
  EXPECT_EQ(RiSincFilter(0.5f, 0, 4, 4), 1.0f / (3.1415927f * 0.5f));
}

TEST(Filters, GaussianFallsToEMinusTwoAtTheBoxEdge) {
  EXPECT_EQ(RiGaussianFilter(0, 0, 2, 2), 1.0f);
  EXPECT_FLOAT_EQ(RiGaussianFilter(1, 0, 2, 2), std::exp(-2.0f));
  EXPECT_FLOAT_EQ(RiGaussianFilter(0, 2, 2, 4), std::exp(-2.0f));
  EXPECT_FLOAT_EQ(RiGaussianFilter(1, 2, 2, 4), std::exp(-4.0f));
  float far = RiGaussianFilter(3, 0, 2, 2);
  EXPECT_GT(far, 0.0f) << "never cut to zero";
  EXPECT_FLOAT_EQ(far, std::exp(-18.0f));
}

TEST(Filters, LaterFiltersHaveTheirShapeWithinTheWidths) {
  // Disk: the ellipse of the widths, strict on its edge like the box.
  EXPECT_EQ(RiDiskFilter(0.9f, 0, 2, 4), 1.0f);
  EXPECT_EQ(RiDiskFilter(1, 0, 2, 4), 0.0f);
  EXPECT_EQ(RiDiskFilter(0.6f, 1.6f, 2, 4), 0.0f);
  // Bessel: the jinc, 1 at the centre, 0 at its first zero (r = 1.2197) and outside the ellipse.
  EXPECT_EQ(RiBesselFilter(0, 0, 4, 4), 1.0f);
  EXPECT_NEAR(RiBesselFilter(1.2196699f, 0, 4, 4), 0.0f, 1e-5f);
  EXPECT_LT(RiBesselFilter(1.6f, 0, 4, 4), 0.0f);
  EXPECT_EQ(RiBesselFilter(2, 0, 4, 4), 0.0f);
  // Mitchell (B = C = 1/3), separable: (8/9)^2 at the centre, 0 at the half-width.
  EXPECT_FLOAT_EQ(RiMitchellFilter(0, 0, 4, 4), 64.0f / 81.0f);
  EXPECT_EQ(RiMitchellFilter(2, 0, 4, 4), 0.0f);
  EXPECT_LT(RiMitchellFilter(1.5f, 0, 4, 4), 0.0f);
  EXPECT_STREQ(filterName(RiBesselFilter), "bessel");
  EXPECT_STREQ(filterName(RiDiskFilter), "disk");
  EXPECT_STREQ(filterName(RiMitchellFilter), "mitchell");
}

TEST(Filters, NamesGoByIdentity) {
  EXPECT_STREQ(filterName(RiGaussianFilter), "gaussian");
  EXPECT_STREQ(filterName(RiBoxFilter), "box");
  EXPECT_STREQ(filterName(RiTriangleFilter), "triangle");
  EXPECT_STREQ(filterName(RiCatmullRomFilter), "catmull-rom");
  EXPECT_STREQ(filterName(RiSincFilter), "sinc");
  EXPECT_STREQ(filterName(ownFilter), "");
  EXPECT_STREQ(filterName(nullptr), "");
}
