#include <gtest/gtest.h>

#include "RibTestUtil.h"

using ribtest::ribOf;
using ribtest::tok;

namespace {

RtFloat ownFilter(RtFloat, RtFloat, RtFloat, RtFloat) { return 1.0f; }

void writeTextures(rib::RibWriter &rib) {
  rib.MakeTextureV(tok("wood.tif"), tok("wood.tx"), tok("periodic"), tok("periodic"), RiBoxFilter,
                   1, 1, 0, nullptr, nullptr);
  rib.MakeTextureV(tok("a.tif"), tok("a.tx"), tok("black"), tok("clamp"), ownFilter, 2.5f, 0.5f, 0,
                   nullptr, nullptr);
  rib.MakeLatLongEnvironmentV(tok("sky.tif"), tok("sky.env"), RiGaussianFilter, 2, 2, 0, nullptr,
                              nullptr);
  rib.MakeLatLongEnvironmentV(tok("sky.tif"), tok("sky.env"), nullptr, 2, 2, 0, nullptr, nullptr);
  rib.MakeCubeFaceEnvironmentV(tok("px"), tok("nx"), tok("py"), tok("ny"), tok("pz"), tok("nz"),
                               tok("cube.env"), 95, RiCatmullRomFilter, 4, 4, 0, nullptr, nullptr);
  rib.MakeShadowV(tok("depth.z"), tok("shadow.tx"), 0, nullptr, nullptr);
}

const char *const kTexturesText =
    "MakeTexture \"wood.tif\" \"wood.tx\" \"periodic\" \"periodic\" \"box\" 1 1\n"
    "MakeTexture \"a.tif\" \"a.tx\" \"black\" \"clamp\" \"\" 2.5 0.5\n"
    "MakeLatLongEnvironment \"sky.tif\" \"sky.env\" \"gaussian\" 2 2\n"
    "MakeLatLongEnvironment \"sky.tif\" \"sky.env\" \"\" 2 2\n"
    "MakeCubeFaceEnvironment \"px\" \"nx\" \"py\" \"ny\" \"pz\" \"nz\" \"cube.env\" 95 "
    "\"catmull-rom\" 4 4\n"
    "MakeShadow \"depth.z\" \"shadow.tx\"\n";

} // namespace

TEST(TextureRequests, WriteOneTextLineInEitherEncoding) {
  EXPECT_EQ(ribOf(writeTextures), kTexturesText);
  EXPECT_EQ(ribOf(writeTextures, true), kTexturesText);
}

TEST(TextureRequests, ParameterListsAreWrittenAndChecked) {
  // A texture's settings ("string compression") travel in its list: declared ones are written,
  // an undeclared one is reported and left out as in any other list.
  RtFloat value = 3.0f;
  RtString compression = tok("packbits");
  char undeclared[] = "no such parameter";
  ribtest::CollectedDiagnostics said;
  std::string out = ribOf([&](rib::RibWriter &rib) {
    rib.MakeTexture(tok("wood.tif"), tok("wood.tx"), tok("periodic"), tok("periodic"), RiBoxFilter,
                    1, 1, tok("string compression"), &compression, undeclared, &value, RI_NULL);
    rib.MakeShadow(tok("depth.z"), tok("shadow.tx"), tok("fov"), &value, RI_NULL);
    rib.MakeLatLongEnvironment(tok("sky.tif"), tok("sky.env"), nullptr, 2, 2, RI_NULL);
  });
  EXPECT_EQ(said.take(), "zizurezar error: undeclared parameter \"no such parameter\"\n");
  EXPECT_EQ(out, "MakeTexture \"wood.tif\" \"wood.tx\" \"periodic\" \"periodic\" \"box\" 1 1 "
                 "\"string compression\" [\"packbits\"]\n"
                 "MakeShadow \"depth.z\" \"shadow.tx\" \"fov\" [3]\n"
                 "MakeLatLongEnvironment \"sky.tif\" \"sky.env\" \"\" 2 2\n");
}
