// The camera: frames fitted into pictures, screen windows, depth ranges, pixel sizes; and the
// transformations it is made of.
#include <gtest/gtest.h>

#include <cmath>

#include "view/Camera.h"

namespace {

TEST(Camera, FramesScreensAndDepths) {
  view::CameraOptions options;
  // Pixels twice as wide as tall: a 200x100 Format is a 4:1 frame, filling its own picture.
  options.xResolution = 200, options.yResolution = 100, options.pixelAspect = 2;
  view::Frame frame = view::frameOf(options, {});
  EXPECT_EQ(frame.viewportWidth, 200);
  EXPECT_EQ(frame.viewportHeight, 100);
  EXPECT_DOUBLE_EQ(frame.screen[1], 4);
  // A frame aspect of its own, in a picture of the viewer's size with square pixels: pillarboxed.
  options.frameAspect = 0.5;
  frame = view::frameOf(options, {300, 300});
  EXPECT_EQ(frame.viewportWidth, 150);
  EXPECT_EQ(frame.viewportX, 75);
  EXPECT_DOUBLE_EQ(frame.screen[3], 2);
  // A screen window given is kept as given.
  options.screenGiven = true;
  options.screen[0] = 0, options.screen[1] = 3;
  EXPECT_DOUBLE_EQ(view::frameOf(options, {}).screen[1], 3);

  // Depths: an infinite far plane comes in to what is drawn, the near one out toward it.
  options.perspective = true;
  double zNear, zFar;
  view::depthRange(options, 4, 10, zNear, zFar);
  EXPECT_GT(zFar, 10);
  EXPECT_LT(zFar, 10.5);
  EXPECT_GT(zNear, 3.5);
  EXPECT_LT(zNear, 4);
  options.hither = 1, options.yon = 100; // given: kept
  view::depthRange(options, 4, 10, zNear, zFar);
  EXPECT_EQ(zNear, 1);
  EXPECT_EQ(zFar, 100);
  view::depthRange(options, 1, 0, zNear, zFar); // nothing drawn
  EXPECT_LT(zNear, zFar);
}

TEST(Camera, PixelSizeGrowsWithDistanceAndShrinksWithScale) {
  view::CameraOptions options;
  options.perspective = true;
  options.fov = 90;
  options.xResolution = options.yResolution = 200;
  const view::Frame frame = view::frameOf(options, {});
  // At depth 10 the 200 pixels cover 20 units; an object scaled by 2 needs half as many units.
  const view::CameraViewSpace plain(options, frame, view::Mat4::translate(0, 0, 10));
  EXPECT_NEAR(plain.pixelSize({0, 0, 0}), 0.1, 1e-12);
  EXPECT_NEAR(plain.pixelSize({0, 0, 10}), 0.2, 1e-12);
  const view::CameraViewSpace scaled(options, frame,
                                     view::Mat4::scale(2, 2, 2) * view::Mat4::translate(0, 0, 10));
  EXPECT_NEAR(scaled.pixelSize({0, 0, 0}), 0.05, 1e-12);
  EXPECT_TRUE(plain.behindEye({0, 0, -11}));
  EXPECT_FALSE(plain.behindEye({0, 0, -9}));
  const view::Vec3 eye = plain.towardEye({0, 0, 0});
  EXPECT_NEAR(eye.z, -1, 1e-12);
}

TEST(Matrix, RotationsSkewsAndInverses) {
  // Rotate 90 about z takes x to y; a rotation keeps lengths and handedness.
  const view::Mat4 r = view::Mat4::rotate(90, 0, 0, 1);
  const view::Vec3 x = r.point({1, 0, 0});
  EXPECT_NEAR(x.x, 0, 1e-12);
  EXPECT_NEAR(x.y, 1, 1e-12);
  const view::Mat4 any = view::Mat4::rotate(33, 1, 2, 3);
  EXPECT_NEAR(view::length(any.vector({1, 2, 2})), 3, 1e-12);
  EXPECT_NEAR(any.determinant3(), 1, 1e-12);
  EXPECT_LT(view::Mat4::scale(1, 1, -1).determinant3(), 0);
  // Concatenation applies the later request first: translate, then scale.
  const view::Vec3 p =
      (view::Mat4::translate(1, 0, 0) * view::Mat4::scale(2, 2, 2)).point({0, 0, 0});
  EXPECT_NEAR(p.x, 2, 1e-12);
  // An inverse undoes, the Perspective request divides by depth.
  const view::Mat4 m = any * view::Mat4::translate(1, 2, 3) * view::Mat4::scale(2, 3, 4);
  const view::Vec3 back = m.inverse().point(m.point({0.5, -1, 2}));
  EXPECT_NEAR(back.x, 0.5, 1e-9);
  EXPECT_NEAR(back.z, 2, 1e-9);
  const view::Vec3 projected = view::Mat4::perspective(90).point({2, 1, 4});
  EXPECT_NEAR(projected.x, 0.5, 1e-12);
  // Skew 45 degrees of y toward x: a point on y moves along x as far as it is high.
  const view::Vec3 skewed = view::Mat4::skew(45, {0, 1, 0}, {1, 0, 0}).point({0, 1, 0});
  EXPECT_NEAR(skewed.x, 1, 1e-9);
  EXPECT_NEAR(skewed.y, 1, 1e-9);
}

} // namespace
