#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RibBytes.h"
#include "RibTestUtil.h"

using ribtest::ribOf;
using ribtest::tok;

namespace {

RtFloat ownFilter(RtFloat, RtFloat, RtFloat, RtFloat) { return 1.0f; }

// Every option request of a context once; the C procedures make the same calls.
void writeOptions(rib::RibWriter &rib) {
  RtFloat fov = 45.0f;
  RtInt jitter = 1;
  RtInt bucket[2] = {16, 32};
  RtFloat nRGB[3] = {1, 1, 1};
  rib.Format(640, 480, 1);
  rib.FrameAspectRatio(4.0f / 3.0f);
  rib.ScreenWindow(-1, 1, -0.75f, 0.75f);
  rib.CropWindow(0, 0.5f, 0.25f, 1);
  rib.Projection(tok("perspective"), tok("fov"), &fov, RI_NULL);
  rib.Clipping(0.1f, 10000);
  rib.DepthOfField(2.8f, 50, 100);
  rib.Shutter(0, 1);
  rib.PixelVariance(0.01f);
  rib.PixelSamples(2.5f, 2);
  rib.PixelFilter(RiCatmullRomFilter, 4, 4);
  rib.Exposure(1, 2.2f);
  rib.Quantize(tok("rgba"), 255, 0, 255, 0.5f);
  rib.Display(tok("out.tif"), tok("file"), tok("rgba"), RI_NULL);
  rib.Hider(tok("hidden"), tok("jitter"), &jitter, RI_NULL);
  rib.ColorSamples(1, nRGB, nRGB);
  rib.RelativeDetail(0.5f);
  rib.Option(tok("limits"), tok("bucketsize"), bucket, RI_NULL);
}

const char *const kOptionsText = "Format 640 480 1\n"
                                 "FrameAspectRatio 1.33333\n"
                                 "ScreenWindow -1 1 -0.75 0.75\n"
                                 "CropWindow 0 0.5 0.25 1\n"
                                 "Projection \"perspective\" \"fov\" [45]\n"
                                 "Clipping 0.1 10000\n"
                                 "DepthOfField 2.8 50 100\n"
                                 "Shutter 0 1\n"
                                 "PixelVariance 0.01\n"
                                 "PixelSamples 2.5 2\n"
                                 "PixelFilter \"catmull-rom\" 4 4\n"
                                 "Exposure 1 2.2\n"
                                 "Quantize \"rgba\" 255 0 255 0.5\n"
                                 "Display \"out.tif\" \"file\" \"rgba\"\n"
                                 "Hider \"hidden\" \"jitter\" [1 ]\n"
                                 "RelativeDetail 0.5\n"
                                 "Option \"limits\" \"bucketsize\" [16 32 ]\n";

// What the C procedures write between RiBegin and RiEnd.
std::string ribOfProcedures(const std::function<void()> &procedures) {
  std::string path = ribtest::tempPath("procedures");
  RiBegin(tok(path.c_str()));
  procedures();
  RiEnd();
  std::string all = ribtest::readFile(path);
  std::remove(path.c_str());
  std::string header = ribtest::kHeader;
  if (all.compare(0, header.size(), header) != 0 || all.empty()) return "<malformed: " + all + ">";
  return all.substr(header.size(), all.size() - header.size() - 1);
}

// Restores the library's own options after a test that changes them.
struct RibOptionGuard {
  ~RibOptionGuard() {
    gRibBinary = 0;
    gRibCompression = 0;
  }
};

} // namespace

TEST(OptionRequests, EveryRequestWritesItsLine) { EXPECT_EQ(ribOf(writeOptions), kOptionsText); }

TEST(OptionRequests, FloatsStayTextInBinaryOutsideParameterLists) {
  std::string expected = kOptionsText;
  std::string fovText = "\"fov\" [45]";
  expected.replace(expected.find(fovText), fovText.size(),
                   "\"fov\" " + ribbytes::binaryFloats({45.0f}));
  EXPECT_EQ(ribOf(writeOptions, true), expected);
}

TEST(OptionRequests, PixelFilterNamesTheStandardFiltersOnly) {
  EXPECT_EQ(ribOf([](rib::RibWriter &rib) {
              rib.PixelFilter(RiGaussianFilter, 2, 2);
              rib.PixelFilter(RiBoxFilter, 1, 1);
              rib.PixelFilter(RiTriangleFilter, 2, 3);
              rib.PixelFilter(RiSincFilter, 4, 4);
              rib.PixelFilter(ownFilter, 2, 2);
              rib.PixelFilter(nullptr, 2, 2);
            }),
            "PixelFilter \"gaussian\" 2 2\n"
            "PixelFilter \"box\" 1 1\n"
            "PixelFilter \"triangle\" 2 3\n"
            "PixelFilter \"sinc\" 4 4\n"
            "PixelFilter \"\" 2 2\n"
            "PixelFilter \"\" 2 2\n");
}

TEST(OptionRequests, DisplayProjectionHiderAndOptionTakeCountedLists) {
  RtInt origin[2] = {10, 20};
  RtFloat fov = 30;
  RtToken displayTokens[] = {tok("origin")};
  RtPointer displayValues[] = {origin};
  RtToken fovTokens[] = {tok("fov")};
  RtPointer fovValues[] = {&fov};
  ribtest::CollectedDiagnostics said;
  std::string out = ribOf([&](rib::RibWriter &rib) {
    rib.DisplayV(tok("out.tif"), tok("framebuffer"), tok("rgb"), 1, displayTokens, displayValues);
    rib.ProjectionV(tok("orthographic"), 0, nullptr, nullptr);
    rib.HiderV(tok("hidden"), 0, nullptr, nullptr);
    rib.OptionV(tok("user"), 1, fovTokens, fovValues);
    rib.Option(tok("user"), tok("undeclared thing"), &fov, tok("uniform float fuzz"), &fov,
               RI_NULL);
  });
  EXPECT_EQ(out, "Display \"out.tif\" \"framebuffer\" \"rgb\" \"origin\" [10 20 ]\n"
                 "Projection \"orthographic\"\n"
                 "Hider \"hidden\"\n"
                 "Option \"user\" \"fov\" [30]\n"
                 "Option \"user\" \"uniform float fuzz\" [30]\n");
  EXPECT_EQ(said.take(), "zizurezar error: undeclared parameter \"undeclared thing\"\n");
}

TEST(OptionRequests, ContextRibOptionSetsOnlyItsOwnEncoding) {
  RibOptionGuard guard;
  RtInt on = 1, off = 0;
  RtToken binaryText = tok("binary");
  RtColor color = {1, 0, 0};
  RtToken formatTokens[] = {tok("format")};
  RtPointer formatValues[] = {&binaryText};
  std::string out = ribOf([&](rib::RibWriter &rib) {
    rib.OptionV(tok("rib"), 1, formatTokens, formatValues); // "format" is for RiBegin only
    rib.Color(color);
    rib.Option(tok("RIB"), tok("binary"), &on, RI_NULL);
    rib.Color(color);
    rib.Option(tok("rib"), tok("binary"), &off, RI_NULL);
    rib.Color(color);
    rib.Option(tok("Rib"), RI_NULL); // not the library's option: written like any other
  });
  EXPECT_EQ(out, "Color [1 0 0]\nColor " + ribbytes::binaryFloats({1, 0, 0}) +
                     "\nColor [1 0 0]\nOption \"Rib\"\n");
  EXPECT_EQ(gRibBinary, 0) << "a context's own option leaves the process-wide flag alone";
}

TEST(OptionRequests, ProceduresForwardToTheCurrentContext) {
  std::string out = ribOfProcedures([] {
    RtFloat fov = 45.0f;
    RtInt jitter = 1;
    RtInt bucket[2] = {16, 32};
    RtFloat nRGB[3] = {1, 1, 1};
    RiFormat(640, 480, 1);
    RiFrameAspectRatio(4.0f / 3.0f);
    RiScreenWindow(-1, 1, -0.75f, 0.75f);
    RiCropWindow(0, 0.5f, 0.25f, 1);
    RiProjection(tok("perspective"), tok("fov"), &fov, RI_NULL);
    RiClipping(0.1f, 10000);
    RiDepthOfField(2.8f, 50, 100);
    RiShutter(0, 1);
    RiPixelVariance(0.01f);
    RiPixelSamples(2.5f, 2);
    RiPixelFilter(RiCatmullRomFilter, 4, 4);
    RiExposure(1, 2.2f);
    RiQuantize(tok("rgba"), 255, 0, 255, 0.5f);
    RiDisplay(tok("out.tif"), tok("file"), tok("rgba"), RI_NULL);
    RiHider(tok("hidden"), tok("jitter"), &jitter, RI_NULL);
    RiColorSamples(1, nRGB, nRGB);
    RiRelativeDetail(0.5f);
    RiOption(tok("limits"), tok("bucketsize"), bucket, RI_NULL);
    RtToken tokens[] = {tok("fov")};
    RtPointer values[] = {&fov};
    RiProjectionV(tok("perspective"), 1, tokens, values);
    RiDisplayV(tok("out.tif"), tok("file"), tok("rgb"), 0, nullptr, nullptr);
    RiHiderV(tok("hidden"), 0, nullptr, nullptr);
    RiOptionV(tok("user"), 1, tokens, values);
  });
  EXPECT_EQ(out, std::string(kOptionsText) + "Projection \"perspective\" \"fov\" [45]\n"
                                             "Display \"out.tif\" \"file\" \"rgb\"\n"
                                             "Hider \"hidden\"\n"
                                             "Option \"user\" \"fov\" [45]\n");
}

TEST(OptionRequests, RibOptionBeforeRiBeginChoosesTheEncodingOfLaterContexts) {
  RibOptionGuard guard;
  RtToken binaryText = tok("binary"), asciiText = tok("ascii"), gzipText = tok("gzip");
  RtColor color = {0, 0.5f, 1};
  ASSERT_EQ(RiCurrentContext, nullptr);

  RiOption(tok("rib"), tok("format"), &binaryText, RI_NULL); // no context needed
  EXPECT_EQ(gRibBinary, 1);
  std::string binaryRun = ribOfProcedures([&] {
    RiOption(tok("rib"), tok("format"), &asciiText, RI_NULL); // too late for this context
    RiCurrentContext->Color(color);
  });
  EXPECT_EQ(binaryRun, "Color " + ribbytes::binaryFloats({0, 0.5f, 1}) + "\n");
  EXPECT_EQ(gRibBinary, 0);
  EXPECT_EQ(ribOfProcedures([&] { RiCurrentContext->Color(color); }), "Color [0 0.5 1]\n");

  RtInt on = 1;
  RtToken tokens[] = {tok("binary"), tok("compression"), tok("unknown")};
  RtPointer values[] = {&on, &gzipText, &on};
  RiOptionV(tok("RIB"), 3, tokens, values);
  EXPECT_EQ(gRibBinary, 1);
  EXPECT_EQ(gRibCompression, 1);
  RiOption(tok("rib"), tok("compression"), &asciiText, RI_NULL);
  EXPECT_EQ(gRibCompression, 0);
}

TEST(OptionRequests, RibOptionWithoutValueIsReportedAndIgnored) {
  RibOptionGuard guard;
  RtToken noText = nullptr;
  gRibBinary = 1;
  ribtest::CollectedDiagnostics said;
  RiOption(tok("rib"), tok("format"), &noText, tok("binary"), nullptr, RI_NULL);
  EXPECT_EQ(said.take(), "zizurezar error: rib option \"format\" has no text value; ignored\n"
                         "zizurezar error: rib option \"binary\" has no integer value; ignored\n");
  EXPECT_EQ(gRibBinary, 1);
}

TEST(OptionRequestsDeathTest, ProceduresBeforeRiBeginEndTheProcessNamingThemselves) {
  struct Procedure {
    const char *name;
    std::function<void()> call;
  };
  RtFloat matrix[3] = {1, 1, 1};
  const Procedure procedures[] = {
      {"RiFormat", [] { RiFormat(640, 480, 1); }},
      {"RiFrameAspectRatio", [] { RiFrameAspectRatio(1); }},
      {"RiScreenWindow", [] { RiScreenWindow(-1, 1, -1, 1); }},
      {"RiCropWindow", [] { RiCropWindow(0, 1, 0, 1); }},
      {"RiProjection", [] { RiProjection(tok("perspective"), RI_NULL); }},
      {"RiProjectionV", [] { RiProjectionV(tok("perspective"), 0, nullptr, nullptr); }},
      {"RiClipping", [] { RiClipping(0.1f, 100); }},
      {"RiDepthOfField", [] { RiDepthOfField(2.8f, 50, 100); }},
      {"RiShutter", [] { RiShutter(0, 1); }},
      {"RiPixelVariance", [] { RiPixelVariance(0.01f); }},
      {"RiPixelSamples", [] { RiPixelSamples(2, 2); }},
      {"RiPixelFilter", [] { RiPixelFilter(RiBoxFilter, 1, 1); }},
      {"RiExposure", [] { RiExposure(1, 1); }},
      {"RiQuantize", [] { RiQuantize(tok("rgba"), 255, 0, 255, 0.5f); }},
      {"RiDisplay", [] { RiDisplay(tok("out.tif"), tok("file"), tok("rgba"), RI_NULL); }},
      {"RiDisplayV",
       [] { RiDisplayV(tok("out.tif"), tok("file"), tok("rgba"), 0, nullptr, nullptr); }},
      {"RiHider", [] { RiHider(tok("hidden"), RI_NULL); }},
      {"RiHiderV", [] { RiHiderV(tok("hidden"), 0, nullptr, nullptr); }},
      {"RiColorSamples", [&] { RiColorSamples(1, matrix, matrix); }},
      {"RiRelativeDetail", [] { RiRelativeDetail(1); }},
      {"RiOption", [] { RiOption(tok("limits"), RI_NULL); }},
      {"RiOptionV", [] { RiOptionV(tok("limits"), 0, nullptr, nullptr); }},
  };
  ASSERT_EQ(RiCurrentContext, nullptr);
  for (const Procedure &procedure : procedures) {
    std::string report =
        std::string("SEVERE ERROR: RiBegin not called\n    --> ") + procedure.name + "\n";
    EXPECT_EXIT(procedure.call(), testing::ExitedWithCode(255), testing::Eq(report))
        << procedure.name;
  }
}
