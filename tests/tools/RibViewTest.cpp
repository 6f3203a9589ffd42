// rib-view as a program, headless (DISPLAY unset, no X server): its snapshots are the same PNG for
// every encoding of a scene, name their files by FrameBegin numbers, show the simulator's
// recording in the window's colours, and run nothing a RIB file asks to run; bad arguments, bad
// inputs and outputs end with one line and their exit status. The window is RibViewWindowTest's.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "PngImage.h"
#include "ToolRunning.h"

namespace {

std::string firstLine(const std::string &text) { return text.substr(0, text.find('\n')); }

// A scene with a known picture: a red square in front of a blue one, 40 x 30 pixels.
const char *const kSquares = "Format 40 30 1\n"
                             "Projection \"orthographic\"\n"
                             "WorldBegin\n"
                             "Surface \"constant\"\n"
                             "Color [1 0 0]\n"
                             "Polygon \"P\" [-0.5 -0.5 1  -0.5 0.5 1  0.5 0.5 1  0.5 -0.5 1]\n"
                             "Color [0 0 1]\n"
                             "Polygon \"P\" [-1 -1 2  -1 1 2  1 1 2  1 -1 2]\n"
                             "WorldEnd\n";

class RibView : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_FALSE(folder_.dir().empty()); }

  std::string path(const std::string &name) const { return folder_.path(name); }

  // Runs a shell command line in the test's folder without a display; "out" and "err" receive
  // standard output and error.
  ToolRun shell(const std::string &line) {
    return runCaptured("cd '" + folder_.dir() + "' && { unset DISPLAY; " + line + " ; }",
                       path("out"), path("err"));
  }

  ToolRun view(const std::vector<std::string> &args, const std::string &input = "/dev/null") {
    return shell(quotedCommand(RIB_VIEW_PATH, args) + " <'" + input + "'");
  }

  // The files of the test's folder other than the runs' own.
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder_.dir()))
      names.insert(entry.path().filename().string());
    names.erase("out");
    names.erase("err");
    return names;
  }

private:
  TempFolder folder_{"wobble-rib-view"};
};

TEST_F(RibView, EveryEncodingGivesTheSamePictureByteForByte) {
  spill(path("scene.rib"), kSquares);
  ToolRun run = view({"--snapshot", "ascii.png", "scene.rib"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out + run.err, "");
  const PngImage image = readPng(path("ascii.png"));
  ASSERT_EQ(image.width, 40);
  ASSERT_EQ(image.height, 30);
  EXPECT_TRUE(image.rgba8);
  // The frame is the square in the middle; the red square covers its middle half.
  EXPECT_EQ(std::vector<int>(image.at(20, 15), image.at(20, 15) + 4),
            (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(std::vector<int>(image.at(8, 3), image.at(8, 3) + 4),
            (std::vector<int>{0, 0, 255, 255}));

  const std::string ascii = slurp(path("ascii.png"));
  ASSERT_EQ(shell("'" RIB_CAT_PATH "' --binary -o binary.rib scene.rib && '" RIB_CAT_PATH
                  "' --compact -o compact.rib scene.rib && '" RIB_CAT_PATH
                  "' -o gzip.rib.gz scene.rib")
                .exitStatus,
            0);
  for (const char *input : {"binary.rib", "compact.rib", "gzip.rib.gz"}) {
    SCOPED_TRACE(input);
    run = view({"--snapshot", "again.png", input});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(slurp(path("again.png")) == ascii);
  }
  // Several inputs, standard input among them, as one stream: the third picture is the first again.
  run = view({"--frame", "3", "--snapshot=again.png", "binary.rib", "-", "compact.rib"},
             path("gzip.rib.gz"));
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_TRUE(slurp(path("again.png")) == ascii);
}

TEST_F(RibView, APatternWritesEveryPictureNamedByItsFrameNumber) {
  const std::string world = std::string(kSquares).substr(std::string(kSquares).find("World"));
  spill(path("frames.rib"), "Format 8 8 1\nFrameBegin 7\n" + world + "FrameEnd\nFrameBegin 12\n" +
                                world + "FrameEnd\n" + world);
  std::filesystem::create_directory(path("thumbs"));
  ToolRun run = view({"--snapshot", "thumbs/f%03d.png", "frames.rib"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  std::set<std::string> written;
  for (const auto &entry : std::filesystem::directory_iterator(path("thumbs")))
    written.insert(entry.path().filename().string());
  // The third picture has no FrameBegin: its position names it.
  EXPECT_EQ(written, (std::set<std::string>{"f003.png", "f007.png", "f012.png"}));
  EXPECT_EQ(readPng(path("thumbs/f012.png")).width, 8);
  // With --frame, only that picture, still named by its frame number.
  run = view({"--frame", "2", "--snapshot", "one%d.png", "frames.rib"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(files(), (std::set<std::string>{"frames.rib", "one12.png", "thumbs"}));
}

TEST_F(RibView, EachFailureSaysWhatInOneLineAndExitsWithItsStatus) {
  spill(path("scene.rib"), kSquares);
  struct Bad {
    std::vector<std::string> args;
    std::string line;
    bool usage;
  };
  const Bad cases[] = {
      {{}, "rib-view: no file to view", true},
      {{"--fast", "scene.rib"}, "rib-view: unknown option '--fast'", true},
      {{"--frame", "0", "scene.rib"}, "rib-view: --frame '0' is not a picture number (1, 2, ...)",
       true},
      {{"--snapshot", "f%d-%d.png", "scene.rib"},
       "rib-view: --snapshot file name 'f%d-%d.png' has more than one frame-number conversion",
       true},
      {{"--snapshot", "a.png", "missing.rib"},
       "rib-view: cannot read 'missing.rib': No such file or directory", false},
      {{"--snapshot", "scene.rib", "scene.rib"}, "rib-view: output 'scene.rib' is also an input",
       true},
      {{"--frame", "2", "--snapshot", "a.png", "scene.rib"},
       "rib-view: there is no picture 2: the input has 1 picture", false},
      {{"--snapshot", "a.png", "-"}, "rib-view: the input has no picture (no WorldEnd)", false},
      {{"scene.rib"},
       "rib-view: no display for a window (DISPLAY is not set); --snapshot OUT.png draws without "
       "one",
       false},
  };
  for (const Bad &bad : cases) {
    SCOPED_TRACE(bad.line);
    const ToolRun run = view(bad.args);
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(firstLine(run.err), bad.line);
    EXPECT_EQ(run.err.substr(run.err.find('\n') + 1, 7), bad.usage ? "usage: " : "");
    EXPECT_EQ(files(), std::set<std::string>{"scene.rib"});
    EXPECT_EQ(slurp(path("scene.rib")), kSquares);
  }

  // Problems in the input: reported as rib-check reports them, the picture drawn all the same.
  spill(path("broken.rib"), std::string(kSquares).insert(std::string(kSquares).find("WorldEnd"),
                                                          "Sphere 1 -1 1 \"x\"\n"));
  const ToolRun broken = view({"--snapshot", "a.png", "broken.rib"});
  EXPECT_EQ(broken.exitStatus, 1);
  EXPECT_EQ(broken.err, "broken.rib:9: Sphere: argument 4 must be a number, not a string\n");
  EXPECT_EQ(readPng(path("a.png")).width, 40);
}

TEST_F(RibView, ProgramsNamedByTheInputAreNeverRun) {
  spill(path("maker.sh"), "#!/bin/sh\ntouch '" + path("ran") + "'\n");
  chmod(path("maker.sh").c_str(), 0755);
  spill(path("procedural.rib"), "Format 20 20 1\nWorldBegin\n"
                                "Procedural \"RunProgram\" [\"./maker.sh\" \"\"] [-1 1 -1 1 2 3]\n"
                                "Procedural \"DynamicLoad\" [\"./maker.so\" \"\"] [-1 1 -1 1 2 3]\n"
                                "WorldEnd\n");
  const ToolRun run = view({"--snapshot", "a.png", "procedural.rib"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(path("ran")));
  // A note says why, one line each.
  EXPECT_EQ(run.err, "procedural.rib:3: note: Procedural \"RunProgram\" \"./maker.sh\" is not run (a "
                     "previewer runs no program its input names); its bound is drawn as wires\n"
                     "procedural.rib:4: note: Procedural \"DynamicLoad\" \"./maker.so\" is not "
                     "loaded (a previewer runs no code its input names); its bound is drawn as "
                     "wires\n");
}

// The window's colours (tests/app/WindowTest.cpp), 8 bits a channel, with a little room.
bool near(int value, int target) { return value >= target - 3 && value <= target + 3; }
bool isSphereGreen(const uint8_t *c) { return near(c[0], 0) && near(c[1], 204) && near(c[2], 0); }
bool isFloorPurple(const uint8_t *c) { return near(c[0], 128) && near(c[1], 0) && near(c[2], 128); }

// Pixel of a point of the view (-5 to 5 on both axes), as the window test finds it.
int pixelX(const PngImage &image, double x) { return static_cast<int>((x + 5.0) / 10.0 * image.width); }
int pixelY(const PngImage &image, double y) { return static_cast<int>((5.0 - y) / 10.0 * image.height); }

TEST_F(RibView, TheRecordingLooksLikeTheWindow) {
  ASSERT_EQ(shell("'" WOBBLERAMA_SIM_PATH "' --steps 30 --every 30 --rib rec.rib >/dev/null")
                .exitStatus,
            0);
  const ToolRun run = view({"--snapshot", "rec.png", "rec.rib"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const PngImage image = readPng(path("rec.png"));
  ASSERT_EQ(image.width, 300);
  ASSERT_EQ(image.height, 300);
  // The upper sphere's centre.
  EXPECT_TRUE(isSphereGreen(image.at(pixelX(image, 1.5), pixelY(image, 2.0))));
  // The floor fills the bottom of the view left of the block. The window paints the floor over
  // the left wall's lower corner; with depth, the wall is in front of it left of x = -3.
  int floor = 0, patch = 0;
  for (int y = pixelY(image, -4.5); y <= pixelY(image, -4.8); ++y)
    for (int x = pixelX(image, -2.9); x <= pixelX(image, -1.5); ++x, ++patch)
      floor += isFloorPurple(image.at(x, y)) ? 1 : 0;
  EXPECT_GT(floor, patch * 9 / 10) << floor << " of " << patch;
  // Above the upper sphere nothing is drawn.
  const uint8_t *empty = image.at(pixelX(image, 0.0), pixelY(image, 4.5));
  EXPECT_EQ(std::vector<int>(empty, empty + 4), (std::vector<int>{0, 0, 0, 0}));
}

} // namespace
