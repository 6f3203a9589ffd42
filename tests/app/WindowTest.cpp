// The real demo program in a real X server (Xvfb) with real OpenGL (Mesa in software): its
// console lines, its window, what a frame shows, resizing, and closing it like a window manager.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "ChildProcess.h"
#include "XWindow.h"
#include "XvfbServer.h"

namespace {

using std::chrono::milliseconds;

// Generous bounds for a loaded machine; the waits end as soon as the condition holds.
constexpr milliseconds kWindowTimeout(30000);
constexpr milliseconds kFrameTimeout(30000);
constexpr milliseconds kExitTimeout(15000);

const char *const kBodyProgress = "blorp: initialing members...\n"
                                  "blorp: initialize nodes array with actual nodes...\n"
                                  "initializing springs...\n"
                                  "initializing faces...\n"
                                  "blorp has been created\n";

// Colours of the scene, 8 bits per channel, with a little room for rounding.
bool near(int value, int target) { return value >= target - 3 && value <= target + 3; }
bool isSphereGreen(Rgb c) { return near(c.r, 0) && near(c.g, 204) && near(c.b, 0); }
bool isFloorPurple(Rgb c) { return near(c.r, 128) && near(c.g, 0) && near(c.b, 128); }
bool isWallBlue(Rgb c) { return near(c.r, 0) && near(c.g, 77) && near(c.b, 128); }
bool isSpringWhite(Rgb c) { return c.r >= 250 && c.g >= 250 && c.b >= 250; }
bool isBackground(Rgb c) { return c.r <= 3 && c.g <= 3 && c.b <= 3; }

template <typename Test> int countPixels(const Frame &frame, Test test) {
  int count = 0;
  for (const Rgb &pixel : frame.pixels) count += test(pixel) ? 1 : 0;
  return count;
}

// Window pixel of a point of the view (-5 to 5 on both axes) in a window of the frame's size.
int pixelX(const Frame &frame, double x) {
  return static_cast<int>((x + 5.0) / 10.0 * frame.width);
}
int pixelY(const Frame &frame, double y) {
  return static_cast<int>((5.0 - y) / 10.0 * frame.height);
}

class DemoWindow : public ::testing::Test {
protected:
  void SetUp() override {
    if (!XvfbServer::available()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_FALSE(folder_.path().empty());
    std::string error;
    ASSERT_TRUE(server_.start(error)) << error;

    // The program writes its files into the current folder: run it in a fresh one.
    ChildProcess::Options options;
    options.argv = {WOBBLERAMA_PATH};
    options.env = {{"DISPLAY", server_.display()}};
    options.workingDirectory = folder_.path();
    options.stdoutPath = folder_.file("stdout.txt");
    options.stderrPath = folder_.file("stderr.txt");
    ASSERT_TRUE(demo_.start(options, error)) << error;

    x_ = std::make_unique<XConnection>(server_.display());
    ASSERT_TRUE(x_->ok()) << "cannot connect to " << server_.display();
    const std::vector<Window> windows = x_->waitForWindows("Wobblerama", kWindowTimeout);
    ASSERT_EQ(windows.size(), 1u) << "stderr: " << readFile(folder_.file("stderr.txt"));
    window_ = windows[0];
    // Without a window manager GLUT's "any position" puts the window one pixel off the
    // screen, where its pixels cannot be read: place it fully on screen, as a manager would.
    x_->move(window_, 8, 8);
  }

  // Waits until a frame satisfies `ready` (a frame has been drawn, a resize has arrived...).
  template <typename Ready> Frame waitForFrame(Ready ready) {
    const auto deadline = std::chrono::steady_clock::now() + kFrameTimeout;
    for (;;) {
      Frame frame = x_->capture(window_);
      if ((frame.width > 0 && ready(frame)) || std::chrono::steady_clock::now() >= deadline)
        return frame;
    }
  }

  // Centre of the upper sphere (1.5, 2): no spring ever reaches it without a kick.
  static bool upperSphereShown(const Frame &frame) {
    return frame.width > 0 && isSphereGreen(frame.at(pixelX(frame, 1.5), pixelY(frame, 2.0)));
  }

  // Closes the window as a window manager would and returns the exit status.
  int closeAndWait() {
    x_->requestClose(window_);
    if (!demo_.waitFor(kExitTimeout)) return -1;
    return demo_.status();
  }

  std::string stdoutText() const { return readFile(folder_.file("stdout.txt")); }

  TempFolder folder_;
  XvfbServer server_;
  ChildProcess demo_;
  std::unique_ptr<XConnection> x_;
  Window window_ = 0;
};

TEST_F(DemoWindow, OpensOneDoubleBufferedWindowTitledWobbleramaAtTheDefaultSize) {
  EXPECT_EQ(x_->title(window_), "Wobblerama");
  int width = 0, height = 0;
  ASSERT_TRUE(x_->size(window_, width, height));
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 300);

  bool rgba = false, doubleBuffered = false;
  ASSERT_TRUE(x_->glVisual(window_, rgba, doubleBuffered));
  EXPECT_TRUE(rgba);
  EXPECT_TRUE(doubleBuffered);

  // The title as the standard X tools see it.
  const std::string xprop = findInPath("xprop");
  ASSERT_FALSE(xprop.empty()) << "xprop (x11-utils) is not installed";
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(window_));
  ChildProcess tool;
  ChildProcess::Options options;
  options.argv = {xprop, "-display", server_.display(), "-id", id, "WM_NAME"};
  options.stdoutPath = folder_.file("xprop.txt");
  std::string error;
  ASSERT_TRUE(tool.start(options, error)) << error;
  ASSERT_TRUE(tool.waitFor(kExitTimeout));
  EXPECT_EQ(readFile(folder_.file("xprop.txt")), "WM_NAME(STRING) = \"Wobblerama\"\n");
}

TEST_F(DemoWindow, FrameShowsSpheresBoundsAndSprings) {
  const Frame frame = waitForFrame(upperSphereShown);
  ASSERT_TRUE(upperSphereShown(frame)) << "no frame with the green sphere arrived";

  // Two discs of radius 30 pixels, partly covered by the block and the planes.
  EXPECT_GT(countPixels(frame, isSphereGreen), 2000);
  // The springs: white lines.
  EXPECT_GT(countPixels(frame, isSpringWhite), 150);
  // The walls at x = -4 and 4, drawn over by the floor only near the bottom.
  EXPECT_GT(countPixels(frame, isWallBlue), 500);
  // The floor plane, seen turned, fills the bottom of the view; the block, left alone, never
  // comes down there left of x = -1.
  int floor = 0, patch = 0;
  for (int y = pixelY(frame, -4.5); y <= pixelY(frame, -4.8); ++y)
    for (int x = pixelX(frame, -3.3); x <= pixelX(frame, -1.5); ++x, ++patch)
      floor += isFloorPurple(frame.at(x, y)) ? 1 : 0;
  EXPECT_GT(floor, patch * 9 / 10) << floor << " of " << patch;
  // Above the upper sphere nothing is drawn: the clear colour (black) shows.
  EXPECT_TRUE(isBackground(frame.at(pixelX(frame, 0.0), pixelY(frame, 4.5))));
}

TEST_F(DemoWindow, ResizingStretchesThePicture) {
  ASSERT_TRUE(upperSphereShown(waitForFrame(upperSphereShown)));
  x_->resize(window_, 600, 300);
  // Twice as wide, same height: the sphere of radius 1 becomes an ellipse 120 by 60 pixels.
  const auto stretched = [](const Frame &frame) {
    return frame.width == 600 && upperSphereShown(frame) &&
           isSphereGreen(frame.at(pixelX(frame, 1.5 + 0.8), pixelY(frame, 2.0)));
  };
  const Frame frame = waitForFrame(stretched);
  ASSERT_TRUE(stretched(frame)) << "the picture did not follow the new window size";
  EXPECT_FALSE(isSphereGreen(frame.at(pixelX(frame, 1.5), pixelY(frame, 2.0 + 1.2))));
  EXPECT_FALSE(isSphereGreen(frame.at(pixelX(frame, 1.5 + 1.2), pixelY(frame, 2.0))));
}

TEST_F(DemoWindow, ClosingTheWindowEndsTheProgramWithStatusZero) {
  ASSERT_TRUE(upperSphereShown(waitForFrame(upperSphereShown)));
  const int status = closeAndWait();
  ASSERT_NE(status, -1) << "the program did not end after the window was closed";
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "stderr: " << readFile(folder_.file("stderr.txt"));
  // Exit flushed the console: the start-up lines, in order, and nothing else.
  EXPECT_EQ(stdoutText(), std::string(kBodyProgress) + "about to create the world...\n" +
                              kBodyProgress + "world has been created...\n");
  // The RIB output opened at start-up holds its header and nothing else.
  EXPECT_EQ(readFile(folder_.file("blorp6.rib")), "##RenderMan RIB-Structure 1.0\nversion 3.03\n");
}

} // namespace
