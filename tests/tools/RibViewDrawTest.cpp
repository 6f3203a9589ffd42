// rib-view's drawing without its reader: hand-made pictures drawn off-screen (no display) and
// written as PNG files, checked pixel by pixel after decoding them again.
#include <gtest/gtest.h>

#include <unistd.h>

#include <sstream>

#include "PngImage.h"
#include "ToolRunning.h"
#include "tools/rib-view/OffscreenSurface.h"
#include "tools/rib-view/PictureDraw.h"
#include "tools/rib-view/PngFile.h"

namespace {

// 40 x 30 pixels; the frame is the square in the middle (x 5 to 35), camera x and y from -1 to 1
// seen orthographically, depth from 1 to 10.
view::Picture squarePicture() {
  view::Picture picture;
  picture.width = 40;
  picture.height = 30;
  picture.viewportX = 5;
  picture.viewportWidth = 30;
  picture.viewportHeight = 30;
  const double n = 1, f = 10;
  const double projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2 / (f - n), 0,
                                 0, 0, -(f + n) / (f - n), 1};
  std::copy(projection, projection + 16, picture.projection);
  return picture;
}

void addRectangle(view::Picture &picture, float x0, float y0, float x1, float y1, float z,
                  float r, float g, float b) {
  const view::DrawVertex a{x0, y0, z, r, g, b, 1}, c{x1, y1, z, r, g, b, 1};
  view::DrawVertex bv = a, d = a;
  bv.x = x1;
  d.y = y1;
  picture.triangles.insert(picture.triangles.end(), {a, bv, c, a, c, d});
}

// The PNG pixel that camera point (x, y) falls on.
const uint8_t *pixelAt(const PngImage &image, double x, double y) {
  return image.at(5 + static_cast<int>((x + 1) / 2 * 30), 29 - static_cast<int>((y + 1) / 2 * 30));
}

std::string rgba(const uint8_t *p) {
  std::ostringstream text;
  text << int(p[0]) << ',' << int(p[1]) << ',' << int(p[2]) << ',' << int(p[3]);
  return text.str();
}

class RibViewDraw : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.dir().empty());
    unsetenv("DISPLAY"); // off-screen needs no display
  }

  // Draws and writes the picture; the decoded file.
  PngImage snapshot(const view::Picture &picture, bool wires, const std::string &name) {
    const std::string problem = surface_.prepare(picture.width, picture.height);
    EXPECT_EQ(problem, "");
    if (!problem.empty()) return PngImage();
    ribview::drawPicture(picture, {wires, 0, 0});
    EXPECT_EQ(ribview::writePng(folder_.path(name), picture.width, picture.height, surface_.read()),
              "");
    return readPng(folder_.path(name));
  }

  TempFolder folder_{"wobble-rib-view-draw"};
  ribview::OffscreenSurface surface_;
};

TEST_F(RibViewDraw, NearestSurfaceWinsAndAlphaMarksWhatIsCovered) {
  view::Picture picture = squarePicture();
  addRectangle(picture, -0.5f, -0.5f, 0.5f, 0.5f, 2, 0, 1, 0); // green, nearest, drawn first
  addRectangle(picture, -1, -1, 0, 1, 5, 1, 0, 0);             // red, behind it
  addRectangle(picture, -1, 0.5f, 1, 1, 8, 0, 0, 1);           // blue strip at the top, farthest
  picture.lines = {{-1, -0.9f, 1.5f, 1, 1, 1, 1}, {1, -0.9f, 1.5f, 1, 1, 1, 1}};
  const PngImage image = snapshot(picture, false, "a.png");
  ASSERT_EQ(image.width, 40);
  ASSERT_EQ(image.height, 30);
  EXPECT_TRUE(image.rgba8);
  EXPECT_EQ(rgba(pixelAt(image, 0, 0)), "0,255,0,255");
  EXPECT_EQ(rgba(pixelAt(image, -0.25, 0.25)), "0,255,0,255");
  EXPECT_EQ(rgba(pixelAt(image, -0.75, 0.75)), "255,0,0,255");
  EXPECT_EQ(rgba(pixelAt(image, 0.75, 0.75)), "0,0,255,255");
  EXPECT_EQ(rgba(pixelAt(image, 0.75, 0)), "0,0,0,0");
  EXPECT_EQ(rgba(pixelAt(image, 0.25, -0.9)), "255,255,255,255");
  // Outside the frame's square nothing is drawn.
  for (int y = 0; y < 30; ++y)
    for (int x : {0, 4, 35, 39}) EXPECT_EQ(rgba(image.at(x, y)), "0,0,0,0") << x << "," << y;

  // The same picture again, in a surface used for another size meanwhile: the same bytes.
  const std::string first = slurp(folder_.path("a.png"));
  view::Picture other = squarePicture();
  other.width = other.viewportWidth = 17;
  snapshot(other, false, "b.png");
  snapshot(picture, false, "c.png");
  EXPECT_TRUE(first == slurp(folder_.path("c.png")));

  // As wires, the middle of the red rectangle is empty.
  const PngImage wires = snapshot(picture, true, "d.png");
  EXPECT_EQ(rgba(pixelAt(wires, -0.75, 0)), "0,0,0,0");
  EXPECT_EQ(rgba(pixelAt(wires, 0.75, 0.75)), "0,0,0,0");
}

} // namespace
