// ViewContext: pictures whose pixels can be worked out, the camera's defaults, archives,
// procedurals and numbers that are not finite.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

#include "Diagnostics.h"
#include "Raster.h"

namespace {

using viewtest::rasterise;
using viewtest::view;
using viewtest::wrongPixels;

// Collects what the reader reports.
struct Said {
  std::string text;
  rib::DiagnosticTarget previous;
  Said() : previous(rib::setDiagnosticSink(receive, this)) {}
  ~Said() { rib::setDiagnosticSink(previous.sink, previous.user); }
  static void receive(void *user, rib::DiagnosticKind, const char *text, size_t length) {
    static_cast<Said *>(user)->text.append(text, length);
  }
};

const double kPi = 3.14159265358979323846;

TEST(ViewContext, CameraDefaultsAndFitting) {
  // No options: 640x480, orthographic, screen window [-4/3, 4/3] x [-1, 1].
  viewtest::Viewed plain = view("WorldBegin\nWorldEnd\nWorldBegin\nWorldEnd\n");
  ASSERT_EQ(plain.pictures.size(), 2u);
  const view::Picture &p = plain.pictures[0];
  EXPECT_EQ(p.number, 1);
  EXPECT_EQ(plain.pictures[1].number, 2);
  EXPECT_EQ(p.width, 640);
  EXPECT_EQ(p.height, 480);
  EXPECT_EQ(p.viewportWidth, 640);
  EXPECT_NEAR(p.projection[0], 0.75, 1e-12);
  EXPECT_NEAR(p.projection[5], 1, 1e-12);
  EXPECT_EQ(p.projection[11], 0); // no perspective divide

  // A 2:1 frame in a square picture: letterboxed, centred; the frame number is kept.
  view::ViewOptions square;
  square.width = square.height = 300;
  viewtest::Viewed wide =
      view("FrameBegin 7\nFormat 200 100 1\nWorldBegin\nWorldEnd\nFrameEnd\n", square);
  ASSERT_EQ(wide.pictures.size(), 1u);
  const view::Picture &w = wide.pictures[0];
  EXPECT_EQ(w.width, 300);
  EXPECT_EQ(w.viewportWidth, 300);
  EXPECT_EQ(w.viewportHeight, 150);
  EXPECT_EQ(w.viewportY, 75);
  EXPECT_TRUE(w.hasFrameNumber);
  EXPECT_EQ(w.frameNumber, 7);
  EXPECT_NEAR(w.projection[0], 0.5, 1e-12); // screen [-2, 2] x [-1, 1]

  // Clipping is the depth range; with an infinite far plane, what is drawn fits in it.
  viewtest::Viewed clipped =
      view("Projection \"perspective\"\nClipping 1 10\nWorldBegin\nWorldEnd\n");
  EXPECT_NEAR(clipped.pictures[0].projection[10], 11.0 / 9, 1e-12);
  EXPECT_NEAR(clipped.pictures[0].projection[14], -20.0 / 9, 1e-12);
  EXPECT_EQ(clipped.pictures[0].projection[11], 1);
  viewtest::Viewed deep = view("Projection \"perspective\"\nWorldBegin\nTranslate 0 0 1000\n"
                               "Sphere 1 -1 1 360\nTranslate 0 0 -999.5\nSphere 0.1 -0.1 0.1 360\n"
                               "WorldEnd\n");
  const view::Picture &d = deep.pictures.at(0);
  for (const view::DrawVertex &v : d.triangles) {
    const double z = d.projection[10] * v.z + d.projection[14], w = v.z;
    ASSERT_GT(z / w, -1);
    ASSERT_LT(z / w, 1);
  }
}

// Scenes whose covered pixels can be worked out, each against its prediction; pixels within one
// of the predicted edge may go either way.
TEST(ViewContext, CoverageMatchesPredictedPixels) {
  // Orthographic, screen [-2, 2]^2 over 100x100 pixels: 25 pixels per unit.
  const std::string ortho =
      "Format 100 100 1\nScreenWindow -2 2 -2 2\nWorldBegin\nTranslate 0 0 5\n";
  auto unit = [](double pixel) { return pixel / 25 - 2; };
  // Radius 1 at distance 5, fov 40 over 120 square pixels: covered when the pixel's ray passes
  // within 1 of the centre.
  const double t = std::tan(40 * kPi / 360);
  const struct {
    const char *name;
    std::string rib;
    std::function<bool(double, double)> hit;
  } cases[] = {
      {"sphere",
       "Format 120 120 1\nProjection \"perspective\" \"fov\" 40\nWorldBegin\nTranslate 0 0 5\n"
       "Sphere 1 -1 1 360\n",
       [&](double x, double y) {
         const double dx = (2 * x / 120 - 1) * t, dy = (2 * y / 120 - 1) * t;
         const double along = 5 / std::sqrt(dx * dx + dy * dy + 1);
         return 25 - along * along < 1;
       }},
      {"square", ortho + "Polygon \"P\" [0 0 0  1 0 0  1 1 0  0 1 0]\n",
       [&](double x, double y) {
         return unit(x) > 0 && unit(x) < 1 && unit(y) > 0 && unit(y) < 1;
       }},
      {"disk", ortho + "Disk 0 1.5 270\n",
       [&](double x, double y) {
         const double a = std::atan2(unit(y), unit(x));
         return std::hypot(unit(x), unit(y)) < 1.5 && (a >= 0 || a < -kPi / 2);
       }},
      // Seen from above (along its axis): a ring from 1.5 - 0.25 to 1.5 + 0.25.
      {"torus", ortho + "Torus 1.5 0.25 0 360 360\n",
       [&](double x, double y) {
         const double r = std::hypot(unit(x), unit(y));
         return r > 1.25 && r < 1.75;
       }},
      // A non-convex outer loop (an L) with a square hole in its corner.
      {"general polygon",
       ortho + "GeneralPolygon [6 4] \"P\" [-1.6 -1.6 0  1.6 -1.6 0  1.6 0 0  0 0 0  0 1.6 0"
               "  -1.6 1.6 0  -1.2 -1.2 0  -1.2 -0.4 0  -0.4 -0.4 0  -0.4 -1.2 0]\n",
       [&](double x, double y) {
         const double u = unit(x), w = unit(y);
         const bool outer = u > -1.6 && u < 1.6 && w > -1.6 && w < 1.6 && (u < 0 || w < 0);
         const bool hole = u > -1.2 && u < -0.4 && w > -1.2 && w < -0.4;
         return outer && !hole;
       }},
  };
  for (const auto &c : cases) {
    const viewtest::Viewed v = view(c.rib + "WorldEnd\n");
    ASSERT_EQ(v.problems, 0) << c.name;
    EXPECT_EQ(wrongPixels(rasterise(v.pictures.at(0)), c.hit), 0) << c.name;
  }
}

TEST(ViewContext, ArchiveThatIncludesItselfIsReadOnce) {
  // Archives are found beside the file that names them.
  char folder[] = "/tmp/viewtestXXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  const std::string dir = folder;
  std::ofstream(dir + "/part.rib")
      << "Polygon \"P\" [0 0 0 1 0 0 1 1 0]\nReadArchive \"part.rib\"\n";
  std::ofstream(dir + "/scene.rib")
      << "WorldBegin\nTranslate 0 0 5\nReadArchive \"part.rib\"\n"
         "Procedural \"DelayedReadArchive\" [\"part.rib\"] [0 1 0 1 0 1]\n"
         "ReadArchive \"missing.rib\"\nWorldEnd\n";
  Said said;
  std::vector<view::Picture> pictures;
  view::ViewContext context({}, [&](view::Picture &&p) { pictures.push_back(p); });
  context.setInputName(dir + "/scene.rib");
  const int problems = rib::readRib((dir + "/scene.rib").c_str(), context);
  EXPECT_EQ(problems, 3);
  EXPECT_EQ(pictures.back().triangles.size(), 6u);
  EXPECT_NE(said.text.find("part.rib:2: ReadArchive: \"part.rib\" includes itself; it is not read "
                           "again\n"),
            std::string::npos)
      << said.text;
  EXPECT_NE(said.text.find("scene.rib:5: ReadArchive: cannot find \"missing.rib\"\n"),
            std::string::npos)
      << said.text;
  for (const char *name : {"/part.rib", "/scene.rib"}) std::remove((dir + name).c_str());
  rmdir(folder);
}

TEST(ViewContext, RunProgramRunsNothingAndShowsItsBound) {
  const std::string marker = "/tmp/view_runprogram_" + std::to_string(getpid());
  Said said;
  viewtest::Viewed v = view("WorldBegin\nProcedural \"RunProgram\" [\"touch " + marker +
                            "\" \"\"] [-1 1 -1 1 -1 1]\nProcedural \"DynamicLoad\" [\"" + marker +
                            ".so\" \"\"] [0 1 0 1 0 1]\nWorldEnd\n");
  EXPECT_EQ(v.problems, 0);
  EXPECT_NE(access(marker.c_str(), F_OK), 0);
  EXPECT_EQ(v.pictures.at(0).lines.size(), 2u * 2 * 12); // two boxes of twelve edges
  EXPECT_NE(said.text.find("scene.rib:2: note: Procedural \"RunProgram\""), std::string::npos)
      << said.text;
  EXPECT_NE(said.text.find("scene.rib:3: note: Procedural \"DynamicLoad\""), std::string::npos);
}

TEST(ViewContext, NumbersThatAreNotFiniteAreLeftOut) {
  // Binary RIB can hold infinities and NaNs: nothing breaks, the camera keeps its sense.
  std::vector<view::Picture> pictures;
  Said said;
  view::ViewContext scene({}, [&](view::Picture &&p) { pictures.push_back(p); });
  const float nan = std::nanf(""), inf = INFINITY;
  scene.Format(100, 100, inf);
  scene.ScreenWindow(nan, 1, -1, 1);
  scene.Clipping(nan, 10);
  scene.WorldBegin();
  scene.Translate(0, 0, 5);
  scene.Sphere(inf, -1, 1, 360, RI_NULL);
  scene.Torus(1, nan, 0, 360, 360, RI_NULL);
  RtInt counts[] = {4};
  RtFloat points[] = {0, 0, 0, nan, 0, 0, 1, 1, 0, 0, 1, 0};
  scene.GeneralPolygon(1, counts, "P", points, RI_NULL);
  scene.Disk(0, 1, 360, RI_NULL);
  scene.WorldEnd();
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0].viewportWidth, 100);
  EXPECT_NEAR(pictures[0].projection[0], 1, 1e-12); // the default window of a square frame
  for (double m : pictures[0].projection) EXPECT_TRUE(std::isfinite(m));
  EXPECT_NE(said.text.find("ScreenWindow: nan 1 -1 1 is no window"), std::string::npos)
      << said.text;
}

} // namespace
