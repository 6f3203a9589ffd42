#include <gtest/gtest.h>

#include <cstdint>

#include "RibBytes.h"
#include "RibTestUtil.h"

using ribtest::ribOf;
using ribtest::tok;

namespace {

long numberOf(RtPointer handle) { return static_cast<long>(reinterpret_cast<intptr_t>(handle)); }

RtPointer handleOf(long number) {
  return reinterpret_cast<RtPointer>(static_cast<intptr_t>(number));
}

} // namespace

TEST(ShaderRequests, ShadersLightsSolidsAndObjectsWriteGoldenLines) {
  std::string out = ribOf([](rib::RibWriter &rib) {
    rib.Surface(tok("matte"), RI_NULL);
    rib.SurfaceV(tok("plastic"), 0, nullptr, nullptr);
    rib.Displacement(tok("bumpy"), RI_NULL);
    rib.Atmosphere(tok("fog"), RI_NULL);
    rib.Interior(tok("water"), RI_NULL);
    rib.Exterior(tok("air"), RI_NULL);
    rib.Imager(tok("background"), RI_NULL);
    RtLightHandle point = rib.LightSource(tok("pointlight"), RI_NULL);
    RtLightHandle area = rib.AreaLightSourceV(tok("arealight"), 0, nullptr, nullptr);
    RtLightHandle spot = rib.LightSourceV(tok("spotlight"), 0, nullptr, nullptr);
    rib.Illuminate(point, 1);
    rib.Illuminate(spot, 0);
    rib.Illuminate(area, static_cast<RtBoolean>(0x8001));
    rib.SolidBegin(tok("union"));
    rib.SolidBegin(tok("no such operation"));
    rib.SolidEnd();
    RtObjectHandle first = rib.ObjectBegin();
    rib.ObjectEnd();
    RtObjectHandle second = rib.ObjectBegin();
    rib.ObjectBegin();
    rib.ObjectInstance(second);
    rib.ObjectInstance(first);
  });
  EXPECT_EQ(out, "Surface \"matte\"\n"
                 "Surface \"plastic\"\n"
                 "Displacement \"bumpy\"\n"
                 "Atmosphere \"fog\"\n"
                 "Interior \"water\"\n"
                 "Exterior \"air\"\n"
                 "Imager \"background\"\n"
                 "LightSource \"pointlight\" 1\n"
                 "AreaLightSource \"arealight\" 2\n"
                 "LightSource \"spotlight\" 3\n"
                 "Illuminate 1 1\n"
                 "Illuminate 3 0\n"
                 "Illuminate 2 -32767\n"
                 "SolidBegin \"union\"\n"
                 "SolidBegin \"no such operation\"\n"
                 "SolidEnd\n"
                 "ObjectBegin 1\n"
                 "ObjectEnd\n"
                 "ObjectBegin 2\n"
                 "ObjectBegin 3\n"
                 "ObjectInstance 2\n"
                 "ObjectInstance 1\n");
}

TEST(ShaderRequests, ParametersFollowTheNameAndTheLightNumber) {
  RtFloat kd = 0.5f, intensity = 2.0f;
  RtColor lightColor = {1.0f, 0.5f, 0.25f};
  char kdToken[] = "Kd", intensityToken[] = "intensity";
  RtToken tokens[] = {kdToken};
  RtPointer values[] = {&kd};
  auto requests = [&](rib::RibWriter &rib) {
    rib.Surface(tok("plastic"), tok("Kd"), &kd, RI_NULL);
    rib.DisplacementV(tok("dented"), 1, tokens, values);
    rib.LightSource(tok("pointlight"), intensityToken, &intensity, tok("lightcolor"), lightColor,
                    RI_NULL);
  };
  EXPECT_EQ(ribOf(requests), "Surface \"plastic\" \"Kd\" [0.5]\n"
                             "Displacement \"dented\" \"Kd\" [0.5]\n"
                             "LightSource \"pointlight\" 1 \"intensity\" [2] "
                             "\"lightcolor\" [1 0.5 0.25]\n");
  using ribbytes::binaryFloats;
  EXPECT_EQ(ribOf(requests, true), "Surface \"plastic\" \"Kd\" " + binaryFloats({0.5f}) +
                                       "\nDisplacement \"dented\" \"Kd\" " + binaryFloats({0.5f}) +
                                       "\nLightSource \"pointlight\" 1 \"intensity\" " +
                                       binaryFloats({2.0f}) + " \"lightcolor\" " +
                                       binaryFloats({1.0f, 0.5f, 0.25f}) + "\n");
}

TEST(ShaderRequests, HandlesAreNumberedPerContextFromOne) {
  std::string pathA = ribtest::tempPath("handlesA"), pathB = ribtest::tempPath("handlesB");
  auto *a = new rib::RibWriter(pathA.c_str());
  auto *b = new rib::RibWriter(pathB.c_str());
  // Interleaved, so a shared counter would show.
  EXPECT_EQ(numberOf(a->LightSource(tok("pointlight"), RI_NULL)), 1);
  EXPECT_EQ(numberOf(b->AreaLightSource(tok("arealight"), RI_NULL)), 1);
  EXPECT_EQ(numberOf(a->ObjectBegin()), 1);
  EXPECT_EQ(numberOf(a->AreaLightSource(tok("arealight"), RI_NULL)), 2);
  EXPECT_EQ(numberOf(b->ObjectBegin()), 1);
  EXPECT_EQ(numberOf(b->ObjectBegin()), 2);
  EXPECT_EQ(numberOf(b->LightSourceV(tok("spotlight"), 0, nullptr, nullptr)), 2);
  a->Illuminate(handleOf(2), 1);
  b->ObjectInstance(handleOf(2));
  delete a;
  delete b;
  std::string header = ribtest::kHeader;
  EXPECT_EQ(ribtest::readFile(pathA), header + "LightSource \"pointlight\" 1\n"
                                               "ObjectBegin 1\n"
                                               "AreaLightSource \"arealight\" 2\n"
                                               "Illuminate 2 1\n\n");
  EXPECT_EQ(ribtest::readFile(pathB), header + "AreaLightSource \"arealight\" 1\n"
                                               "ObjectBegin 1\n"
                                               "ObjectBegin 2\n"
                                               "LightSource \"spotlight\" 2\n"
                                               "ObjectInstance 2\n\n");
  std::remove(pathA.c_str());
  std::remove(pathB.c_str());
}
