// RIB read back into a context: every request the library writes reads back into the same bytes,
// ASCII and binary, and requests that do not fit what their operation reads are reported on
// their line and left out while the rest is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "RibDispatch.h"
#include "RibReader.h"
#include "RibTestUtil.h"

using ribtest::readFile;
using ribtest::tok;

namespace {

struct Problems : rib::RibProblemSink {
  void problem(rib::RibPosition where, std::string_view message) override {
    lines.push_back(std::to_string(where.line) + ": " + std::string(message));
  }
  void note(rib::RibPosition where, std::string_view message) override {
    lines.push_back(std::to_string(where.line) + ": note: " + std::string(message));
  }
  std::vector<std::string> lines;
};

struct ReadBack {
  std::string written;
  std::vector<std::string> problems;
};

// `input` read through a dispatch into a new context with these settings; what it wrote (the
// header included) and the problems reported, in order.
ReadBack readBack(const std::string &input, bool binary = false, int precision = 6,
                  bool compact = false) {
  const std::string path = ribtest::tempPath("readBack");
  int32_t binaryFlag = binary, digits = precision, compactFlag = compact;
  const rib::RibOption options[] = {{"binary", &binaryFlag},
                                    {"precision", &digits},
                                    {"compact", &compactFlag},
                                    {nullptr, nullptr}};
  ReadBack result;
  {
    rib::RibWriter context(path.c_str(), options);
    Problems problems;
    rib::RibDispatch dispatch(context, problems);
    rib::RibReader(dispatch).readMemory(input.data(), input.size());
    dispatch.endInput();
    result.problems = problems.lines;
  }
  result.written = readFile(path);
  std::remove(path.c_str());
  return result;
}

// Writes `scene` on a new context and returns the whole file.
template <class Scene> std::string written(Scene scene, bool binary, int precision) {
  const std::string path = ribtest::tempPath("written");
  int32_t binaryFlag = binary, digits = precision;
  const rib::RibOption options[] = {
      {"binary", &binaryFlag}, {"precision", &digits}, {nullptr, nullptr}};
  {
    rib::RibWriter context(path.c_str(), options);
    scene(context);
  }
  std::string text = readFile(path);
  std::remove(path.c_str());
  return text;
}

// One call of every request that has a RIB form, with parameters of every storage class.
void everyRequest(RiContext &ri) {
  RtFloat one = 1, kd = 0.5f, fov = 40, times[2] = {0, 1};
  RtInt four = 4;
  RtColor color = {1, 0.5f, 0.25f};
  RtBound bound = {-1, 1, -2, 2, -3, 3};
  RtMatrix matrix = {{1, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 3, 0}, {0.125f, 0.25f, 0.5f, 1}};
  RtBasis copy;
  std::copy(&RiCatmullRomBasis[0][0], &RiCatmullRomBasis[0][0] + 16, &copy[0][0]);
  RtPoint grid[28];
  for (int i = 0; i < 28; ++i) {
    grid[i][0] = static_cast<RtFloat>(i % 7) / 3;
    grid[i][1] = static_cast<RtFloat>(i / 7) * 0.3f;
    grid[i][2] = 0.1f * i;
  }
  RtFloat corners[12] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1, 1.1f, 1.2f};
  RtFloat hpoints[36];
  for (int i = 0; i < 36; ++i) hpoints[i] = i % 4 == 3 ? 1 : 0.25f * i;
  RtFloat knots[6] = {0, 0, 0, 1, 1, 1};
  RtPoint p1 = {0, 1, 0}, p2 = {1, 0, 1};
  RtString name = tok("thing"), archive[] = {tok("part.rib")}, program[] = {tok("gen"), tok("a b")};
  RtInt nvertices[] = {4, 3}, indices[] = {0, 1, 2, 3, 4, 5, 6}, mesh[] = {0, 1, 2, 2, 1, 3};
  RtInt triangles[] = {3, 3}, nloops[] = {2}, curveSizes[] = {7}, quad[] = {4};
  RtInt square[] = {0, 1, 2, 3}, oneCurve[] = {1}, order[] = {3}, three[] = {3};
  RtToken tags[] = {tok("crease"), tok("interpolateboundary")};
  RtInt nargs[] = {2, 1, 0, 0}, intargs[] = {0, 1}, code[] = {1001, 0}, leaf[] = {1000, 0};
  RtFloat crease[] = {2.5f}, sixteen[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  RtFloat trim[3] = {0, 0.5f, 1}, range0[] = {0}, range1[] = {1};

  ri.ArchiveRecord(tok("structure"), tok("Scene %s"), "every request");
  ri.Declare(tok("Kq"), tok("varying color"));
  ri.Format(640, 480, 1);
  ri.FrameAspectRatio(1.5f);
  ri.ScreenWindow(-1, 1, -0.75f, 0.75f);
  ri.CropWindow(0, 1, 0, 0.5f);
  ri.Projection(tok("perspective"), RI_FOV, &fov, RI_NULL);
  ri.Clipping(0.1f, 100);
  ri.DepthOfField(8, 0.05f, 10);
  ri.Shutter(0, 1);
  ri.PixelVariance(0.01f);
  ri.PixelSamples(2, 2.5f);
  ri.PixelFilter(RiCatmullRomFilter, 4, 4);
  ri.Exposure(1, 2.2f);
  ri.Quantize(tok("rgba"), 255, 0, 255, 0.5f);
  ri.Display(tok("out.tif"), tok("file"), tok("rgba"), RI_NULL);
  ri.Hider(tok("hidden"), RI_NULL);
  ri.ColorSamples(3, sixteen, sixteen); // writes nothing
  ri.RelativeDetail(1);
  ri.Option(tok("limits"), tok("integer bucketsamples"), &four, RI_NULL);
  ri.FrameBegin(1);
  ri.WorldBegin();
  RtLightHandle light = ri.LightSource(tok("pointlight"), RI_INTENSITY, &kd, RI_NULL);
  ri.AreaLightSource(tok("arealight"), RI_NULL);
  ri.Illuminate(light, 0);
  ri.AttributeBegin();
  ri.Color(color);
  ri.Opacity(color);
  ri.TextureCoordinates(0, 0, 1, 0, 0, 1, 1, 1);
  ri.ShadingRate(0.5f);
  ri.ShadingInterpolation(tok("smooth"));
  ri.Matte(1);
  ri.Bound(bound);
  ri.Detail(bound);
  ri.DetailRange(0, 1, 10, 20);
  ri.GeometricApproximation(tok("flatness"), 0.5f);
  ri.GeometricRepresentation(tok("primitive"));
  ri.Sides(2);
  ri.Orientation(tok("rh"));
  ri.ReverseOrientation();
  ri.Attribute(tok("identifier"), tok("uniform string name"), &name, RI_NULL);
  ri.TransformBegin();
  ri.Identity();
  ri.ConcatTransform(matrix);
  ri.Transform(matrix);
  ri.Perspective(45);
  ri.Translate(1, 2.5f, -3);
  ri.Rotate(45, 0, 1, 0);
  ri.Scale(1, 2, 3);
  ri.Skew(30, 0, 1, 0, 1, 0, 0);
  ri.CoordinateSystem(tok("lamp"));
  ri.CoordSysTransform(tok("lamp"));
  ri.TransformEnd();
  ri.MotionBeginV(2, times);
  ri.Translate(0, 0, 0);
  ri.Translate(1, 0, 0);
  ri.MotionEnd();
  ri.Surface(tok("plastic"), RI_KD, &kd, RI_NULL);
  ri.Displacement(tok("bumpy"), RI_NULL);
  ri.Atmosphere(tok("fog"), RI_NULL);
  ri.Interior(tok("water"), RI_NULL);
  ri.Exterior(tok("air"), RI_NULL);
  ri.Imager(tok("background"), RI_NULL);
  ri.Cone(1.5f, 0.5f, 360, RI_NULL);
  ri.Cylinder(1, -1, 1, 270, RI_NULL);
  ri.Disk(0, 1, 360, RI_NULL);
  ri.Hyperboloid(p1, p2, 360, RI_NULL);
  ri.Paraboloid(1, 0, 2, 360, RI_NULL);
  ri.Sphere(1, -1, 1, 360, tok("Kq"), corners, RI_NULL);
  ri.Torus(1, 0.25f, 0, 360, 360, RI_NULL);
  ri.Polygon(4, RI_P, grid, RI_NULL);
  ri.GeneralPolygon(2, nvertices, RI_P, grid, RI_NULL);
  ri.PointsPolygons(2, triangles, mesh, RI_P, grid, RI_NULL);
  ri.PointsGeneralPolygons(1, nloops, nvertices, indices, RI_P, grid, tok("uniform float u"), &one,
                           RI_NULL);
  ri.Basis(copy, 3, RiBezierBasis, 3);
  ri.Patch(tok("bilinear"), RI_P, grid, RI_NULL);
  ri.PatchMesh(tok("bicubic"), 7, tok("nonperiodic"), 4, tok("nonperiodic"), RI_P, grid, RI_NULL);
  ri.NuPatch(3, 3, knots, 0, 1, 3, 3, knots, 0, 1, RI_PW, hpoints, RI_NULL);
  ri.TrimCurve(1, oneCurve, order, knots, range0, range1, three, trim, trim, trim);
  ri.Curves(tok("cubic"), 1, curveSizes, tok("nonperiodic"), RI_P, grid, tok("constantwidth"), &kd,
            RI_NULL);
  ri.Points(3, RI_P, grid, RI_NULL);
  ri.SubdivisionMesh(tok("catmull-clark"), 1, quad, square, 2, tags, nargs, intargs, crease, RI_P,
                     grid, RI_NULL);
  ri.BlobbyV(1, 2, leaf, 1, &kd, 0, nullptr, 0, nullptr, nullptr);
  ri.Blobby(1, 2, code, 16, sixteen, 0, nullptr, tok("Kq"), color, RI_NULL);
  ri.Procedural(archive, bound, RiProcDelayedReadArchive, nullptr);
  ri.Procedural(program, bound, RiProcRunProgram, nullptr);
  ri.Procedural(program, bound, RiProcDynamicLoad, nullptr);
  ri.Geometry(tok("teapot"), RI_NULL);
  ri.AttributeEnd();
  ri.SolidBegin(tok("union"));
  ri.Sphere(1, -1, 1, 360, RI_NULL);
  ri.SolidEnd();
  RtObjectHandle object = ri.ObjectBegin();
  ri.Disk(0, 1, 360, RI_NULL);
  ri.ObjectEnd();
  ri.ObjectInstance(object);
  ri.WorldEnd();
  ri.FrameEnd();
  ri.MakeTexture(tok("in.tif"), tok("in.tx"), tok("periodic"), tok("clamp"), RiGaussianFilter, 2, 2,
                 RI_NULL);
  ri.MakeLatLongEnvironment(tok("sky.tif"), tok("sky.tx"), RiBoxFilter, 1, 1, RI_NULL);
  ri.MakeCubeFaceEnvironment(tok("px"), tok("nx"), tok("py"), tok("ny"), tok("pz"), tok("nz"),
                             tok("cube.tx"), 90, RiSincFilter, 2, 2, RI_NULL);
  ri.MakeShadow(tok("depth.z"), tok("shadow.tx"), RI_NULL);
  ri.ReadArchive(tok("other.rib"), nullptr, RI_NULL);
  ri.ErrorHandler(RiErrorAbort);
}

TEST(RibDispatch, EveryRequestReadsBackIntoTheSameBytes) {
  for (const bool binary : {false, true}) {
    for (const int precision : {6, 9}) {
      SCOPED_TRACE((binary ? "binary, " : "ASCII, ") + std::to_string(precision) + " digits");
      const std::string original = written(everyRequest, binary, precision);
      ASSERT_GT(original.size(), 2000u);
      std::string said;
      ReadBack back;
      said = ribtest::stderrOf([&] { back = readBack(original, binary, precision); });
      EXPECT_EQ(back.problems, std::vector<std::string>());
      EXPECT_EQ(said, "");
      EXPECT_TRUE(back.written == original) << back.written;
    }
  }
}

TEST(RibDispatch, AsciiGoesThroughCompactAndBackByteForByte) {
  const std::string golden = readFile(WOBBLE_SOURCE_DIR "/examples/simple_scene.rib.golden");
  for (const int precision : {6, 9}) {
    SCOPED_TRACE(std::to_string(precision) + " digits");
    // The golden file was written with 6 digits.
    std::vector<std::string> originals = {written(everyRequest, false, precision)};
    if (precision == 6) originals.push_back(golden);
    for (const std::string &original : originals) {
      std::string said;
      ReadBack compact, back;
      said = ribtest::stderrOf([&] {
        compact = readBack(original, false, precision, true);
        back = readBack(compact.written, false, precision);
      });
      EXPECT_EQ(compact.problems, std::vector<std::string>());
      EXPECT_EQ(back.problems, std::vector<std::string>());
      EXPECT_EQ(said, "");
      EXPECT_TRUE(back.written == original) << back.written;
    }
  }
}

TEST(RibDispatch, ProblemsAreReportedOnTheirLineAndTheRequestLeftOut) {
  const std::string input = "FrameBegin 1\n"
                            "Spheer 1 -1 1 360\n"
                            "Sphere 1 -1 1 \"360\"\n"
                            "Format 640 480\n"
                            "Surface \"plastic\" \"Kq\" [1]\n"
                            "Declare \"Kq\" \"uniform color\"\n"
                            "Surface \"plastic\" \"Kq\" [1 0 0] \"Kd\" \"high\"\n"
                            "Polygon \"P\" [0 0 0 1 0 0 1 1]\n"
                            "PointsPolygons [3 3] [0 1 2 2 1] \"P\" [0 0 0 1 0 0 0 1 0 1 1 0]\n"
                            "Curves \"linear\" [2] \"nonperiodic\" \"P\" [0 0 0 1 1 1]\n"
                            "  \"constantwidth\" [1 2]\n"
                            "PatchMesh \"bicubic\" 4 \"nonperiodic\" 4 \"sideways\"\n"
                            "Illuminate 7 1\n"
                            "PixelFilter \"lanczos\" 2 2\n"
                            "Option \"rib\" \"string format\" [\"binary\"]\n"
                            "AttributeBegin\n"
                            "TransformBegin\n"
                            "AttributeEnd\n"
                            "MotionEnd\n"
                            "Color [1 0 0]\n"
                            "WorldBegin\n";
  const ReadBack back = readBack(input);
  const std::vector<std::string> expected = {
      "2: note: unknown request \"Spheer\" is passed on as read",
      "3: Sphere: argument 4 must be a number, not a string",
      "4: Format takes 3 arguments, not 2",
      "5: note: Surface: parameter \"Kq\" is not declared; its values are kept as given",
      "7: Surface: parameter \"Kd\" is declared uniform float, its value is a string",
      "8: Polygon: parameter \"P\" holds no whole number of vertices",
      "9: PointsPolygons: vertices holds 5 values where nvertices gives 6",
      "11: Curves: parameter \"constantwidth\" has 2 values where 1 is expected",
      "12: PatchMesh: vwrap must be \"periodic\" or \"nonperiodic\", not \"sideways\"",
      "13: Illuminate: no light source numbered 7",
      "14: PixelFilter: unknown filter \"lanczos\"",
      "17: TransformBegin is not ended before the AttributeEnd of line 18",
      "19: MotionEnd without MotionBegin",
      "1: FrameBegin is never ended",
      "21: WorldBegin is never ended",
  };
  EXPECT_EQ(back.problems, expected);
  // Everything else is written, the header once, requests no table knows and the library's own
  // option as read; the library itself had nothing to report.
  EXPECT_EQ(back.written, std::string(ribtest::kHeader) + "FrameBegin 1\n"
                                                          "Spheer 1 -1 1 360\n"
                                                          "Surface \"plastic\" \"Kq\" [1 ]\n"
                                                          "Declare \"Kq\" \"uniform color\"\n"
                                                          "Option \"rib\" \"string format\" "
                                                          "[\"binary\"]\n"
                                                          "AttributeBegin\n"
                                                          "TransformBegin\n"
                                                          "AttributeEnd\n"
                                                          "Color [1 0 0]\n"
                                                          "WorldBegin\n"
                                                          "\n");
}

TEST(RibDispatch, ArraysThatDisagreeNameTheArrayThatGivesTheirLength) {
  const std::string input = "PointsGeneralPolygons [2] [4] [0 1 2 3]\n"
                            "PointsGeneralPolygons [1] [-3] []\n"
                            "PointsPolygons [3] [0 -1 2]\n"
                            "NuPatch 4 4 [0 0 0 0 1 1 1] 0 1 2 2 [0 0 1 1] 0 1\n"
                            "Curves \"linear\" [2 -1] \"nonperiodic\"\n"
                            "GeneralPolygon [-3]\n"
                            "TrimCurve [1] [2] [0 0 1 1] [0] [1] [-2] [0 1] [0 1] [1 1]\n"
                            "TrimCurve [1] [2] [0 0 1] [0] [1] [2] [0 1] [0 1] [1 1]\n"
                            "SubdivisionMesh \"loop\" [3] [0 1 2] [\"crease\"] [2 0] [0] []\n"
                            "SubdivisionMesh \"loop\" [3] [0 1 2] [] [1 1] [] []\n"
                            "SubdivisionMesh \"loop\" [3] [0 1 2] [\"crease\"] [-1 0] [] []\n"
                            "PointsPolygons [3] [0 1 2] \"P\" [0 0 0 1 0 0 1 1 0]\n";
  const ReadBack back = readBack(input);
  const std::vector<std::string> expected = {
      "1: PointsGeneralPolygons: nvertices holds 1 value where nloops gives 2",
      "2: PointsGeneralPolygons: nvertices holds a negative count",
      "3: PointsPolygons: vertices holds a negative index",
      "4: NuPatch: uknot holds 7 values where nu + uorder gives 8",
      "5: Curves: nvertices holds a negative count",
      "6: GeneralPolygon: nvertices holds a negative count",
      "7: TrimCurve: order or n holds a negative count",
      "8: TrimCurve: knot holds 3 values where order + n gives 4",
      "9: SubdivisionMesh: intargs holds 1 value where nargs gives 2",
      "10: SubdivisionMesh: nargs holds 2 values where tags gives 0",
      "11: SubdivisionMesh: nargs holds a negative count",
  };
  EXPECT_EQ(back.problems, expected);
  EXPECT_EQ(back.written, std::string(ribtest::kHeader) +
                              "PointsPolygons[3 ] [0 1 2 ]  \"P\" [0 0 0 1 0 0 1 1 0]\n\n");
}

TEST(RibDispatch, EachInputDeclaresItsOwnNamesAndNumbersItsOwnLights) {
  Problems problems;
  rib::RibWriter context("/dev/null");
  rib::RibDispatch dispatch(context, problems);
  for (const std::string input :
       {"Declare \"Kz\" \"float\"\nLightSource \"spot\" 3\nSurface \"s\" \"Kz\" [1]\n",
        "Surface \"s\" \"Kz\" [1]\nIlluminate 3 1\nLightSource \"spot\" 1\nIlluminate 1 0\n"}) {
    rib::RibReader(dispatch).readMemory(input.data(), input.size());
    dispatch.endInput();
  }
  // The light numbered 3 by the first input keeps its number; the name it declared does not.
  EXPECT_EQ(
      problems.lines,
      std::vector<std::string>{
          "1: note: Surface: parameter \"Kz\" is not declared; its values are kept as given"});
}

} // namespace

namespace {

TEST(RibDispatch, HostileNestingCostsLinearTimeAndHoldsOneEntryPerRun) {
  // Unmatched Ends once searched every open block (100,000 of each took seconds), and every open
  // Begin was held on its own. Now an End finds its kind counted, and Begins of one kind in a
  // row are one run, reported once with their number.
  const int n = 100000;
  std::string input;
  for (int i = 0; i < n; ++i) input += "AttributeBegin\n";
  for (int i = 0; i < n; ++i) input += "TransformEnd\n";
  std::vector<std::string> problems = readBack(input).problems;
  ASSERT_EQ(problems.size(), static_cast<size_t>(n + 1));
  EXPECT_EQ(problems[0], std::to_string(n + 1) + ": TransformEnd without TransformBegin");
  EXPECT_EQ(problems[n - 1], std::to_string(2 * n) + ": TransformEnd without TransformBegin");
  EXPECT_EQ(problems[n], "1: AttributeBegin is never ended (and 99999 more after it)");

  const ReadBack nested = readBack("AttributeBegin\nAttributeBegin\nTransformBegin\nColor [1 0 0]\n"
                                   "TransformBegin\nAttributeEnd\nAttributeEnd\nAttributeEnd\n");
  EXPECT_EQ(nested.problems,
            (std::vector<std::string>{
                "3: TransformBegin is not ended before the AttributeEnd of line 6 (and 1 more "
                "after it)",
                "8: AttributeEnd without AttributeBegin"}));
  EXPECT_EQ(nested.written, std::string(ribtest::kHeader) +
                                "AttributeBegin\nAttributeBegin\nTransformBegin\nColor [1 0 0]\n"
                                "TransformBegin\nAttributeEnd\nAttributeEnd\n\n");
}

} // namespace

namespace {

TEST(RibDispatch, CurvesAndBlobbiesCarryOneUniformValuePerCurveAndPerPrimitive) {
  // Uniform values were counted per segment and per leaf: the writer read 6 values from a
  // caller's array of 2 (past its end), and the reader refused what renderers read.
  const std::vector<RtFloat> P(24, 0.5f), w = {1, 2}, blobbyW = {3};
  RtInt nvertices[] = {4, 4}, code[] = {1000, 0, 1000, 1};
  RtFloat flt[] = {0.5f, 0.25f};
  const std::string written = ribtest::ribOf([&](rib::RibWriter &r) {
    RtToken curveTokens[] = {tok("P"), tok("uniform float w")};
    RtPointer curveValues[] = {const_cast<RtFloat *>(P.data()), const_cast<RtFloat *>(w.data())};
    r.CurvesV(tok("linear"), 2, nvertices, tok("nonperiodic"), 2, curveTokens, curveValues);
    RtToken blobbyTokens[] = {tok("uniform float w")};
    RtPointer blobbyValues[] = {const_cast<RtFloat *>(blobbyW.data())};
    r.BlobbyV(2, 4, code, 2, flt, 0, nullptr, 1, blobbyTokens, blobbyValues);
  });
  std::string p;
  for (int i = 0; i < 24; ++i) p += i ? " 0.5" : "0.5";
  EXPECT_EQ(written, "Curves \"linear\"[4 4 ] \"nonperiodic\"  \"P\" [" + p +
                         "] \"uniform float w\" [1 2]\n"
                         "Blobby 2 [1000 0 1000 1 ] [0.5 0.25] []\n \"uniform float w\" [3]\n\n");
  const ReadBack back = readBack(written);
  EXPECT_EQ(back.problems, std::vector<std::string>());
  EXPECT_EQ(back.written, std::string(ribtest::kHeader) + written + "\n");
}

} // namespace
