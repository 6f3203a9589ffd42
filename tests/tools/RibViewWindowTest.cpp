// rib-view's window in a private X server (Xvfb): it plays the pictures and stays on the last,
// obeys its keys, and shows the pictures of a pipe as they arrive.
#include <X11/keysym.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>

#include "ChildProcess.h"
#include "XWindow.h"
#include "XvfbServer.h"

namespace {

constexpr std::chrono::milliseconds kTimeout(30000);

// One full-frame square of the colour, seen orthographically, 64 x 48 pixels.
std::string picture(const char *colour) {
  return std::string("WorldBegin\nSurface \"constant\"\nColor [") + colour +
         "]\nPolygon \"P\" [-1 -1 1  -1 1 1  1 1 1  1 -1 1]\nWorldEnd\n";
}
const std::string kHead = "Format 64 48 1\nProjection \"orthographic\"\nScreenWindow -1 1 -1 1\n";

bool isColour(Rgb c, int r, int g, int b) { return c.r == r && c.g == g && c.b == b; }

class RibViewWindow : public ::testing::Test {
protected:
  void SetUp() override {
    if (!XvfbServer::available()) GTEST_SKIP() << "Xvfb is not installed";
    std::string error;
    ASSERT_TRUE(server_.start(error)) << error;
    x_ = std::make_unique<XConnection>(server_.display());
    ASSERT_TRUE(x_->ok());
    std::ofstream(folder_.file("three.rib")) << kHead << picture("1 0 0") << picture("0 1 0")
                                             << picture("0 0 1");
  }

  // Starts `argv` in the test's folder on the private display.
  void start(const std::vector<std::string> &argv) {
    ChildProcess::Options options;
    options.argv = argv;
    options.env = {{"DISPLAY", server_.display()}};
    options.workingDirectory = folder_.path();
    options.stderrPath = folder_.file("stderr.txt");
    std::string error;
    ASSERT_TRUE(view_.start(options, error)) << error;
  }

  // The window once it carries `title`; 0 when it never does.
  Window waitForTitle(const std::string &title) {
    const std::vector<Window> windows = x_->waitForWindows(title, kTimeout);
    if (windows.size() != 1) return 0;
    x_->move(windows[0], 8, 8); // fully on screen, where its pixels can be read
    return windows[0];
  }

  // The window's middle pixel once `ready` holds for it (bounded).
  template <typename Ready> Rgb middleWhen(Window window, Ready ready) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
    Rgb middle{};
    do {
      const Frame frame = x_->capture(window);
      if (frame.width > 0) middle = frame.at(frame.width / 2, frame.height / 2);
      if (frame.width > 0 && ready(middle)) break;
    } while (std::chrono::steady_clock::now() < deadline);
    return middle;
  }

  int exitStatus() {
    if (!view_.waitFor(kTimeout)) return -1;
    return WIFEXITED(view_.status()) ? WEXITSTATUS(view_.status()) : -1;
  }

  TempFolder folder_;
  XvfbServer server_;
  std::unique_ptr<XConnection> x_;
  ChildProcess view_;
};

TEST_F(RibViewWindow, PlaysToTheLastPictureAndObeysItsKeys) {
  start({RIB_VIEW_PATH, "three.rib"});
  const Window window = waitForTitle("three.rib - picture 3 of 3");
  ASSERT_NE(window, 0u) << "the last picture never showed";
  const auto blue = [](Rgb c) { return isColour(c, 0, 0, 255); };
  EXPECT_TRUE(blue(middleWhen(window, blue)));

  // Paused, back to the first picture, one step on: the second stays.
  x_->sendKey(window, XK_space);
  x_->sendKey(window, XK_Home);
  EXPECT_EQ(waitForTitle("three.rib - picture 1 of 3"), window);
  x_->sendKey(window, XK_Right);
  EXPECT_EQ(waitForTitle("three.rib - picture 2 of 3"), window);
  const auto green = [](Rgb c) { return isColour(c, 0, 255, 0); };
  EXPECT_TRUE(green(middleWhen(window, green)));
  // As wires the square's middle is empty.
  x_->sendKey(window, XK_l);
  const auto black = [](Rgb c) { return isColour(c, 0, 0, 0); };
  EXPECT_TRUE(black(middleWhen(window, black)));
  x_->sendKey(window, XK_q);
  EXPECT_EQ(exitStatus(), 0);
}

TEST_F(RibViewWindow, PicturesOfAPipeAppearAsTheyArrive) {
  // A request is complete when the next one begins: the first picture ends with the second's
  // WorldBegin, the rest of which comes only once the first has been seen.
  const std::string second = picture("0 1 0");
  std::ofstream(folder_.file("one.rib")) << kHead << picture("1 0 0") << "WorldBegin\n";
  std::ofstream(folder_.file("two.rib")) << second.substr(second.find('\n') + 1);
  start({"/bin/sh", "-c",
         "{ cat one.rib; while [ ! -e seen ]; do sleep 0.05; done; cat two.rib; } | '" RIB_VIEW_PATH
         "' -"});
  const Window window = waitForTitle("standard input - picture 1 of 1");
  ASSERT_NE(window, 0u) << "the first picture did not show while the pipe was open";
  const auto red = [](Rgb c) { return isColour(c, 255, 0, 0); };
  EXPECT_TRUE(red(middleWhen(window, red)));
  std::ofstream(folder_.file("seen")) << "";
  EXPECT_EQ(waitForTitle("standard input - picture 2 of 2"), window);
  const auto green = [](Rgb c) { return isColour(c, 0, 255, 0); };
  EXPECT_TRUE(green(middleWhen(window, green)));
  x_->requestClose(window);
  EXPECT_EQ(exitStatus(), 0);
}

} // namespace
