// ViewContext: pictures of scenes whose pixels can be worked out, the camera's defaults, looks,
// archives and procedurals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>

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
  viewtest::Viewed wide = view("FrameBegin 7\nFormat 200 100 1\nWorldBegin\nWorldEnd\nFrameEnd\n",
                               square);
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

  // Taller than wide: the screen window's height grows instead.
  viewtest::Viewed tall = view("Format 100 200 1\nWorldBegin\nWorldEnd\n");
  EXPECT_NEAR(tall.pictures[0].projection[0], 1, 1e-12);
  EXPECT_NEAR(tall.pictures[0].projection[5], 0.5, 1e-12);
}

TEST(ViewContext, SphereUnderPerspectiveCoversItsDisc) {
  // Radius 1 at distance 5, fov 40 over a square frame: a pixel is covered when its ray passes
  // within 1 of the centre.
  const int size = 120;
  const double t = std::tan(40 * kPi / 360);
  const viewtest::Viewed v = view("Format 120 120 1\nProjection \"perspective\" \"fov\" 40\n"
                                  "WorldBegin\nTranslate 0 0 5\nSphere 1 -1 1 360\nWorldEnd\n");
  ASSERT_EQ(v.problems, 0);
  const viewtest::Coverage c = rasterise(v.pictures.at(0));
  auto hit = [&](double x, double y) {
    const double dx = (2 * x / size - 1) * t, dy = (2 * y / size - 1) * t;
    // Distance from (0, 0, 5) to the ray along (dx, dy, 1).
    const double along = 5 / std::sqrt(dx * dx + dy * dy + 1);
    return 25 - along * along < 1;
  };
  EXPECT_EQ(wrongPixels(c, hit), 0);
  int covered = 0;
  for (char k : c.covered) covered += k;
  EXPECT_GT(covered, 1000); // the disc is about 40 pixels across
}

TEST(ViewContext, SquareDiskAndTorusCoverWhatTheyShould) {
  // Orthographic, screen [-2, 2]^2 over 100x100 pixels: 25 pixels per unit.
  const std::string camera = "Format 100 100 1\nScreenWindow -2 2 -2 2\nWorldBegin\n"
                             "Translate 0 0 5\n";
  auto unit = [](double pixel) { return pixel / 25 - 2; };

  const viewtest::Viewed square =
      view(camera + "Polygon \"P\" [0 0 0  1 0 0  1 1 0  0 1 0]\nWorldEnd\n");
  EXPECT_EQ(wrongPixels(rasterise(square.pictures.at(0)), [&](double x, double y) {
              return unit(x) > 0 && unit(x) < 1 && unit(y) > 0 && unit(y) < 1;
            }),
            0);

  // The same square as a bilinear patch, and as a bicubic one in the power basis (u and v
  // weigh the points 14 and 11).
  const viewtest::Viewed patches = view(
      camera + "Patch \"bilinear\" \"P\" [0 0 0  1 0 0  0 1 0  1 1 0]\nTranslate 0 -1.5 0\n"
               "Basis \"power\" 1 \"power\" 1\nPatch \"bicubic\" \"P\" [0 0 0  0 0 0  0 0 0  0 0 0  0 0 0  0 0 0  0 0 0  0 0 0"
               "  0 0 0  0 0 0  0 0 0  0 1 0  0 0 0  0 0 0  1 0 0  0 0 0]\n"
               "WorldEnd\n");
  ASSERT_EQ(patches.problems, 0);
  EXPECT_EQ(wrongPixels(rasterise(patches.pictures.at(0)), [&](double x, double y) {
              const double u = unit(x), v = unit(y);
              return u > 0 && u < 1 && ((v > 0 && v < 1) || (v > -1.5 && v < -0.5));
            }),
            0);

  const viewtest::Viewed disk = view(camera + "Disk 0 1.5 270\nWorldEnd\n");
  EXPECT_EQ(wrongPixels(rasterise(disk.pictures.at(0)), [&](double x, double y) {
              const double a = std::atan2(unit(y), unit(x));
              return std::hypot(unit(x), unit(y)) < 1.5 && (a >= 0 || a < -kPi / 2);
            }),
            0);

  // Seen from above (along its axis): a ring from 1.5 - 0.25 to 1.5 + 0.25.
  const viewtest::Viewed torus = view(camera + "Torus 1.5 0.25 0 360 360\nWorldEnd\n");
  EXPECT_EQ(wrongPixels(rasterise(torus.pictures.at(0)), [&](double x, double y) {
              const double r = std::hypot(unit(x), unit(y));
              return r > 1.25 && r < 1.75;
            }),
            0);
}

TEST(ViewContext, GeneralPolygonHoleStaysEmpty) {
  // A non-convex outer loop (an L) with a square hole in its corner.
  const viewtest::Viewed v =
      view("Format 100 100 1\nScreenWindow -2 2 -2 2\nWorldBegin\nTranslate 0 0 5\n"
           "GeneralPolygon [6 4] \"P\" [-1.6 -1.6 0  1.6 -1.6 0  1.6 0 0  0 0 0  0 1.6 0  -1.6 1.6 0"
           "  -1.2 -1.2 0  -1.2 -0.4 0  -0.4 -0.4 0  -0.4 -1.2 0]\nWorldEnd\n");
  ASSERT_EQ(v.problems, 0);
  EXPECT_EQ(wrongPixels(rasterise(v.pictures.at(0)), [](double x, double y) {
              const double u = x / 25 - 2, w = y / 25 - 2;
              const bool outer = u > -1.6 && u < 1.6 && w > -1.6 && w < 1.6 && (u < 0 || w < 0);
              const bool hole = u > -1.2 && u < -0.4 && w > -1.2 && w < -0.4;
              return outer && !hole;
            }),
            0);
}

TEST(ViewContext, LooksLightsAndSides) {
  const std::string quad = "Polygon \"P\" [-1 -1 0  -1 1 0  1 1 0  1 -1 0]\n";
  // Constant: the colour as given, opacity as alpha.
  viewtest::Viewed constant = view("WorldBegin\nSurface \"constant\"\nColor [0.2 0.4 0.6]\n"
                                   "Opacity [0.5 0.5 0.5]\n" + quad + "WorldEnd\n");
  const view::DrawVertex &c = constant.pictures.at(0).triangles.at(0);
  EXPECT_NEAR(c.r, 0.1, 1e-6);
  EXPECT_NEAR(c.b, 0.3, 1e-6);
  EXPECT_NEAR(c.a, 0.5, 1e-6);

  // Matte under a distant light shining along +z onto a quad facing the eye: Kd times Cs.
  viewtest::Viewed lit = view("WorldBegin\nLightSource \"distantlight\" 1 \"intensity\" 0.5\n"
                              "Surface \"matte\" \"Kd\" 0.8\nColor [1 0.5 0]\n" + quad +
                              "Illuminate 1 0\n" + quad + "WorldEnd\n");
  const view::Picture &l = lit.pictures.at(0);
  ASSERT_EQ(l.triangles.size(), 12u);
  EXPECT_NEAR(l.triangles[0].r, 0.4, 1e-5);
  EXPECT_NEAR(l.triangles[0].g, 0.2, 1e-5);
  EXPECT_NEAR(l.triangles[6].r, 0, 1e-6); // its light turned off

  // A point light falls off with the square of the distance; a spot light lights its cone only.
  viewtest::Viewed point = view("WorldBegin\nLightSource \"pointlight\" 1 \"intensity\" 8 "
                                "\"from\" [0 0 -2]\n" + quad + "WorldEnd\n");
  EXPECT_NEAR(point.pictures.at(0).triangles.at(0).r, 8 / 6.0 * (2 / std::sqrt(6.0)), 1e-5);
  viewtest::Viewed spot = view("WorldBegin\nLightSource \"spotlight\" 1 \"from\" [0 0 -1] "
                               "\"to\" [1 1 0] \"coneangle\" 0.2\n" + quad + "WorldEnd\n");
  const view::Picture &sp = spot.pictures.at(0);
  for (const view::DrawVertex &v : sp.triangles)
    EXPECT_EQ(v.r > 0, v.x == 1 && v.y == 1) << v.x << " " << v.y;

  // Colours per face and per face corner.
  viewtest::Viewed faces = view("WorldBegin\nSurface \"constant\"\n"
                                "PointsPolygons [3 3] [0 1 2 0 2 3] \"P\" [0 0 1 1 0 1 1 1 1 0 1 1]"
                                " \"uniform color Cs\" [1 0 0 0 1 0]\n"
                                "PointsPolygons [3 3] [0 1 2 0 2 3] \"P\" [0 0 1 1 0 1 1 1 1 0 1 1]"
                                " \"facevarying color Cs\" [0 0 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1]\n"
                                "WorldEnd\n");
  ASSERT_EQ(faces.problems, 0);
  const view::Picture &f = faces.pictures.at(0);
  ASSERT_EQ(f.triangles.size(), 12u);
  EXPECT_EQ(f.triangles[0].r, 1);
  EXPECT_EQ(f.triangles[3].g, 1);
  EXPECT_EQ(f.triangles[3].r, 0);
  EXPECT_EQ(f.triangles[8].b, 0); // third corner of the first face
  EXPECT_EQ(f.triangles[9].b, 1); // the second face's own corners

  // No light at all: lit from the eye, so it shows.
  viewtest::Viewed dark = view("WorldBegin\n" + quad + "WorldEnd\n");
  EXPECT_GT(dark.pictures.at(0).triangles.at(0).r, 0.9);

  // One-sided: the quad's clockwise-from-the-eye side faces the eye; turned around, it is gone.
  viewtest::Viewed front = view("WorldBegin\nSides 1\n" + quad + "WorldEnd\n");
  viewtest::Viewed back = view("WorldBegin\nSides 1\nReverseOrientation\n" + quad + "WorldEnd\n");
  viewtest::Viewed mirrored = view("WorldBegin\nSides 1\nScale 1 1 -1\n" + quad + "WorldEnd\n");
  EXPECT_EQ(front.pictures.at(0).triangles.size(), 6u);
  EXPECT_EQ(back.pictures.at(0).triangles.size(), 0u);
  EXPECT_EQ(mirrored.pictures.at(0).triangles.size(), 0u);

  // A one-sided sphere shows its near half, through a mirroring camera too; turned inside out,
  // its far half.
  for (const char *camera : {"", "Scale 1 1 -1\n"}) {
    for (const char *inside : {"", "ReverseOrientation\n"}) {
      const std::string scene = std::string(camera) + "Translate 0 0 5\nWorldBegin\nSides 1\n" +
                                inside + (camera[0] ? "Translate 0 0 -10\n" : "") +
                                "Sphere 1 -1 1 360\nWorldEnd\n";
      const viewtest::Viewed viewed = view(scene);
      const view::Picture &p = viewed.pictures.at(0);
      ASSERT_GT(p.triangles.size(), 100u) << scene;
      // Triangles across the silhouette may go either way: each is judged by its middle.
      for (size_t t = 0; t < p.triangles.size(); t += 3) {
        const double z = (p.triangles[t].z + p.triangles[t + 1].z + p.triangles[t + 2].z) / 3;
        ASSERT_TRUE(inside[0] ? z > 4.9 : z < 5.1) << scene;
      }
    }
  }
}

TEST(ViewContext, ObjectsMotionAndArchives) {
  // An instance drawn twice; a motion block's first sample only.
  viewtest::Viewed objects = view("WorldBegin\nObjectBegin 1\nPolygon \"P\" [0 0 0 1 0 0 1 1 0]\n"
                                  "ObjectEnd\nObjectInstance 1\nTranslate 2 0 0\nObjectInstance 1\n"
                                  "MotionBegin [0 1]\nTranslate 0 0 1\nTranslate 0 0 100\n"
                                  "MotionEnd\nObjectInstance 1\nWorldEnd\n");
  const view::Picture &o = objects.pictures.at(0);
  ASSERT_EQ(o.triangles.size(), 9u);
  EXPECT_NEAR(o.triangles[3].x, 2, 1e-6);
  EXPECT_NEAR(o.triangles[6].z, 1, 1e-6);

  // Archives: found beside the file that names them; one that includes itself is read once.
  char folder[] = "/tmp/viewtestXXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  const std::string dir = folder;
  std::ofstream(dir + "/part.rib") << "Polygon \"P\" [0 0 0 1 0 0 1 1 0]\nReadArchive \"part.rib\"\n";
  std::ofstream(dir + "/scene.rib") << "WorldBegin\nReadArchive \"part.rib\"\n"
                                       "Procedural \"DelayedReadArchive\" [\"part.rib\"] [0 1 0 1 0 1]\n"
                                       "ReadArchive \"missing.rib\"\nWorldEnd\n";
  Said said;
  view::ViewContext context({}, [&](view::Picture &&p) { objects.pictures.push_back(p); });
  context.setInputName(dir + "/scene.rib");
  const int problems = rib::readRib((dir + "/scene.rib").c_str(), context);
  EXPECT_EQ(problems, 3);
  EXPECT_EQ(objects.pictures.back().triangles.size(), 6u);
  EXPECT_NE(said.text.find("part.rib:2: ReadArchive: \"part.rib\" includes itself; it is not read "
                           "again\n"),
            std::string::npos)
      << said.text;
  EXPECT_NE(said.text.find("scene.rib:4: ReadArchive: cannot find \"missing.rib\"\n"),
            std::string::npos)
      << said.text;
  for (const char *name : {"/part.rib", "/scene.rib"}) std::remove((dir + name).c_str());
  rmdir(folder);
}

TEST(ViewContext, BlocksSpacesAndNotes) {
  Said said;
  // A frame's options end with it; a coordinate system named in one place is found in another;
  // an unknown handle or space is one problem; what cannot be drawn is a note.
  viewtest::Viewed v = view(
      "FrameBegin 3\nFormat 100 50 1\nWorldBegin\nWorldEnd\nFrameEnd\n"
      "Projection \"fisheye\"\nWorldBegin\nTranslate 0 0 5\nCoordinateSystem \"here\"\n"
      "Translate 10 0 0\nCoordSysTransform \"here\"\nPolygon \"P\" [0 0 0 1 0 0 1 1 0]\n"
      "CoordSysTransform \"nowhere\"\nObjectInstance 9\nGeometry \"cow\"\n"
      "AttributeBegin\nSides 1\nAttributeEnd\nAttributeEnd\nPolygon \"P\" [0 0 0 1 0 0 1 1 0]\n"
      "WorldEnd\n");
  ASSERT_EQ(v.pictures.size(), 2u);
  EXPECT_EQ(v.pictures[0].width, 100);
  EXPECT_EQ(v.pictures[0].frameNumber, 3);
  EXPECT_EQ(v.pictures[1].width, 640);
  EXPECT_FALSE(v.pictures[1].hasFrameNumber);
  const view::Picture &p = v.pictures[1];
  ASSERT_EQ(p.triangles.size(), 6u); // still two-sided after the stray AttributeEnd
  EXPECT_NEAR(p.triangles[1].x, 1, 1e-6);
  EXPECT_NEAR(p.triangles[1].z, 5, 1e-6);
  EXPECT_EQ(v.problems, 3);
  EXPECT_NE(said.text.find("scene.rib:6: note: Projection \"fisheye\" is drawn as \"orthographic\""),
            std::string::npos)
      << said.text;
  EXPECT_NE(said.text.find("scene.rib:13: CoordSysTransform: no coordinate system \"nowhere\""),
            std::string::npos);
  EXPECT_NE(said.text.find("scene.rib:15: note: Geometry \"cow\" is not drawn"), std::string::npos)
      << said.text;
}

TEST(ViewContext, LevelOfDetailDrawsOneRepresentation) {
  // The bound covers 50 by 50 pixels: the middle range of three holds its area.
  viewtest::Viewed v = view(
      "Format 100 100 1\nScreenWindow -2 2 -2 2\nWorldBegin\nTranslate 0 0 5\n"
      "Surface \"constant\"\nDetail [-1 1 -1 1 -1 1]\n"
      "DetailRange [0 0 100 200]\nColor [0 0 1]\nSphere 1 -1 1 360\n"
      "DetailRange [100 200 4000 5000]\nColor [0 1 0]\nSphere 1 -1 1 360\n"
      "DetailRange [4000 5000 1e38 1e38]\nColor [1 0 0]\nSphere 1 -1 1 360\nWorldEnd\n");
  const view::Picture &p = v.pictures.at(0);
  ASSERT_FALSE(p.triangles.empty());
  for (const view::DrawVertex &vertex : p.triangles) ASSERT_EQ(vertex.g, 1);
}

TEST(ViewContext, ArchivesThatCannotBeReadAreProblemsOfTheirRequest) {
  // An archive found from the working folder; a broken one (gzip cut short) is one problem of the
  // request that names it, and what was read before it is drawn.
  char folder[] = "/tmp/viewarchXXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  const std::string dir = folder;
  std::ofstream(dir + "/broken.rib.gz") << std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8);
  std::ofstream(dir + "/near.rib") << "Polygon \"P\" [0 0 0 1 0 0 1 1 0]\n";
  char here[4096];
  ASSERT_TRUE(getcwd(here, sizeof here));
  ASSERT_EQ(chdir(folder), 0);
  Said said;
  viewtest::Viewed v = view("WorldBegin\nReadArchive \"near.rib\"\nReadArchive \"broken.rib.gz\"\n"
                            "WorldEnd\n",
                            {}, "/nowhere/scene.rib");
  ASSERT_EQ(chdir(here), 0);
  EXPECT_EQ(v.problems, 1) << said.text;
  EXPECT_EQ(v.pictures.at(0).triangles.size(), 3u);
  EXPECT_NE(said.text.find("broken.rib.gz:1: gzip input is truncated\n/nowhere/scene.rib:3: "
                           "ReadArchive: \"broken.rib.gz\" has 1 problem\n"),
            std::string::npos)
      << said.text;
  for (const char *name : {"/broken.rib.gz", "/near.rib"}) std::remove((dir + name).c_str());
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

} // namespace
