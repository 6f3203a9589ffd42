#include <gtest/gtest.h>

#include <utility>

#include "RibBytes.h"
#include "RibTestUtil.h"

using ribbytes::binaryFloat;
using ribbytes::binaryFloats;
using ribtest::ribOf;
using ribtest::tok;

namespace {

// Every request of the family once, in a plausible order.
void writeBlockScene(rib::RibWriter &rib) {
  RtColor color = {1.0f, 0.5f, 0.0f};
  RtColor opacity = {0.25f, 0.25f, 0.25f};
  RtBound bound = {-1, 1, -2, 2, -3, 3};
  RtMatrix matrix;
  for (int i = 0; i < 16; ++i) matrix[i / 4][i % 4] = static_cast<float>(i);
  RtFloat times[] = {0.0f, 0.5f};

  rib.FrameBegin(3);
  rib.WorldBegin();
  rib.AttributeBegin();
  rib.Color(color);
  rib.Opacity(opacity);
  rib.TextureCoordinates(0, 0, 1, 0, 0, 1, 1, 1);
  rib.ShadingRate(0.5f);
  rib.ShadingInterpolation(tok("smooth"));
  rib.Matte(1);
  rib.Bound(bound);
  rib.Detail(bound);
  rib.DetailRange(0, 1, 10, 100);
  rib.GeometricApproximation(tok("flatness"), 0.5f);
  rib.GeometricRepresentation(tok("lines"));
  rib.Sides(2);
  rib.Orientation(tok("lh"));
  rib.ReverseOrientation();
  rib.AttributeEnd();
  rib.Identity();
  rib.ConcatTransform(matrix);
  rib.Transform(matrix);
  rib.Perspective(45);
  rib.Translate(1, 2, 3);
  rib.Rotate(90, 0, 1, 0);
  rib.Scale(1, 2.5f, 3);
  rib.Skew(45, 0, 1, 0, 1, 0, 0);
  rib.CoordinateSystem(tok("cam"));
  rib.CoordSysTransform(tok("cam"));
  rib.TransformBegin();
  rib.TransformEnd();
  rib.MotionBeginV(2, times);
  rib.MotionEnd();
  rib.WorldEnd();
  rib.FrameEnd();
}

// The lines whose numbers stay text in both encodings, between the float-array requests.
const char *const kTextHead = "FrameBegin 3\nWorldBegin\nAttributeBegin\n";
const char *const kTextAttributes = "TextureCoordinates [ 0 0 1 0 0 1 1 1 ]\n"
                                    "ShadingRate 0.5\n"
                                    "ShadingInterpolation \"smooth\"\n"
                                    "Matte 1\n";
const char *const kTextDetail = "DetailRange 0 1 10 100\n"
                                "GeometricApproximation \"flatness\" 0.5\n"
                                "GeometricRepresentation \"lines\"\n"
                                "Sides 2\n"
                                "Orientation \"lh\"\n"
                                "ReverseOrientation\n"
                                "AttributeEnd\n"
                                "Identity\n";
const char *const kTextTransforms = "Scale 1 2.5 3\n"
                                    "Skew 45   0 1 0   1 0 0\n"
                                    "CoordinateSystem \"cam\"\n"
                                    "CoordSysTransform \"cam\"\n"
                                    "TransformBegin\n"
                                    "TransformEnd\n";
const char *const kTextTail = "MotionEnd\nWorldEnd\nFrameEnd\n";

// MotionBegin with the times 0, 1, ..., N-1 passed as variadic doubles.
template <size_t... I> void motionBeginCounting(rib::RibWriter &rib, std::index_sequence<I...>) {
  rib.MotionBegin(static_cast<RtInt>(sizeof...(I)), static_cast<double>(I)...);
}

} // namespace

TEST(BlockRequests, AsciiSceneMatchesGoldenText) {
  std::string expected = std::string(kTextHead) + "Color [1 0.5 0]\nOpacity [0.25 0.25 0.25]\n" +
                         kTextAttributes + "Bound [-1 1 -2 2 -3 3]\nDetail [-1 1 -2 2 -3 3]\n" +
                         kTextDetail +
                         "ConcatTransform [0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15]\n"
                         "Transform [0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15]\n"
                         "Perspective 45\n"
                         "Translate 1 2 3 \n"
                         "Rotate 90 0 1 0 \n" +
                         kTextTransforms + "MotionBegin [0 0.5]\n" + kTextTail;
  EXPECT_EQ(ribOf(writeBlockScene), expected);
}

TEST(BlockRequests, BinaryEncodesOnlyArraysTranslateAndRotate) {
  std::string matrix = binaryFloats({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
  std::string bound = binaryFloats({-1, 1, -2, 2, -3, 3});
  std::string expected =
      std::string(kTextHead) + "Color " + binaryFloats({1, 0.5f, 0}) + "\nOpacity " +
      binaryFloats({0.25f, 0.25f, 0.25f}) + "\n" + kTextAttributes + "Bound " + bound +
      "\nDetail " + bound + "\n" + kTextDetail + "ConcatTransform " + matrix + "\nTransform " +
      matrix + "\nPerspective 45\nTranslate " + binaryFloat(1) + binaryFloat(2) + binaryFloat(3) +
      "\nRotate " + binaryFloat(90) + binaryFloat(0) + binaryFloat(1) + binaryFloat(0) + "\n" +
      kTextTransforms + "MotionBegin " + binaryFloats({0, 0.5f}) + "\n" + kTextTail;
  EXPECT_EQ(ribOf(writeBlockScene, true), expected);
}

TEST(BlockRequests, FormattedNumbersKeepCFormsAndSignExtendBooleans) {
  EXPECT_EQ(ribOf([](rib::RibWriter &rib) {
              rib.Matte(static_cast<RtBoolean>(0x8000));
              rib.Matte(-1);
              rib.FrameBegin(-7);
              rib.ShadingRate(1e-7f);
              rib.Perspective(123456789.0f);
              rib.Scale(0.1f, -0.0f, 1.0f / 3.0f);
            }),
            "Matte -32768\nMatte -1\nFrameBegin -7\nShadingRate 1e-07\nPerspective 1.23457e+08\n"
            "Scale 0.1 -0 0.333333\n");
}

TEST(BlockRequests, MotionTimesAreAllWrittenHoweverMany) {
  EXPECT_EQ(ribOf([](rib::RibWriter &rib) {
              rib.MotionBegin(3, 0.0, 0.25, 1.0);
              rib.MotionBegin(0);
            }),
            "MotionBegin [0 0.25 1]\nMotionBegin []\n");

  // More times than the stack array holds: each one still reaches the line, none is lost.
  std::string out =
      ribOf([](rib::RibWriter &rib) { motionBeginCounting(rib, std::make_index_sequence<150>()); });
  std::string expected = "MotionBegin [0";
  for (int i = 1; i < 150; ++i) expected += " " + std::to_string(i);
  EXPECT_EQ(out, expected + "]\n");
}

TEST(BlockRequests, AttributeWritesNameAndDeclaredParameters) {
  RtFloat sphere = 0.5f;
  RtInt jitter = 1;
  char sphereToken[] = "sphere", jitterToken[] = "jitter";
  RtToken tokens[] = {sphereToken, jitterToken};
  RtPointer values[] = {&sphere, &jitter};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.Attribute(tok("displacementbound"), tok("sphere"), &sphere, RI_NULL);
              rib.AttributeV(tok("misc"), 2, tokens, values);
              rib.Attribute(tok("identifier"), RI_NULL);
            }),
            "Attribute \"displacementbound\" \"sphere\" [0.5]\n"
            "Attribute \"misc\" \"sphere\" [0.5] \"jitter\" [1 ]\n"
            "Attribute \"identifier\"\n");
}

TEST(BlockRequests, WorldEndFlushesAndTransformPointsWritesNothing) {
  std::string path = ribtest::tempPath("worldEnd");
  auto *rib = new rib::RibWriter(path.c_str());
  RtPoint points[2] = {{1, 2, 3}, {4, 5, 6}};
  rib->WorldBegin();
  EXPECT_EQ(rib->TransformPoints(tok("object"), tok("world"), 2, points), nullptr);
  EXPECT_EQ(ribtest::readFile(path).find("WorldBegin"), std::string::npos)
      << "only WorldEnd flushes";
  rib->WorldEnd();
  EXPECT_EQ(ribtest::readFile(path), std::string(ribtest::kHeader) + "WorldBegin\nWorldEnd\n");
  EXPECT_EQ(points[1][2], 6.0f);
  delete rib;
  std::remove(path.c_str());
}
