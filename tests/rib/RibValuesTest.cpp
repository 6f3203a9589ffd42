#include <cstdint>
#include <gtest/gtest.h>

#include "RibTestUtil.h"

using ribtest::ribOf;

TEST(RibValues, AsciiArraysFollowTheirBracketRules) {
  RtFloat floats[] = {1.0f, 0.5f, 0.0f};
  RtInt ints[] = {1, -2, INT32_MIN};
  char a[] = "a", quoted[] = "say \"hi\"\\now";
  RtToken texts[] = {a, quoted};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.encoder.writeFloats(floats, 3);
              rib.encoder.writeFloats(floats, 0);
              rib.encoder.writeInts(ints, 3);
              rib.encoder.writeInts(ints, 0);
              rib.encoder.writeStrings(texts, 2);
              rib.encoder.writeFloat(0.25f);
            }),
            "[1 0.5 0][][1 -2 -2147483648 ][][\"a\" \"say \\\"hi\\\"\\\\now\" ]0.25 ");
}

TEST(RibValues, BinaryFloatsAreBigEndianWithSizedHeaders) {
  RtFloat one[] = {1.0f};
  std::string out = ribOf(
      [&](rib::RibWriter &rib) {
        rib.encoder.writeFloats(one, 1);
        rib.encoder.writeFloat(-2.0f);
      },
      true);
  EXPECT_EQ(out, std::string("\xC8\x01\x3F\x80\x00\x00\xA4\xC0\x00\x00\x00", 11));
  std::vector<RtFloat> many(300, 0.0f);
  std::string big =
      ribOf([&](rib::RibWriter &rib) { rib.encoder.writeFloats(many.data(), 300); }, true);
  ASSERT_EQ(big.size(), 3u + 300 * 4);
  EXPECT_EQ(big.substr(0, 3), std::string("\xC9\x01\x2C", 3));
}

TEST(RibValues, FixedArgumentsAreTextInBothEncodings) {
  auto requests = [](rib::RibWriter &rib) {
    rib.Format(640, 480, 1.0f);
    rib.Illuminate(reinterpret_cast<RtLightHandle>(7), RI_TRUE);
    rib.ObjectInstance(reinterpret_cast<RtObjectHandle>(static_cast<intptr_t>(-12345678901234)));
    rib.PixelFilter(RiCatmullRomFilter, 2, 2);
    rib.MakeShadow(ribtest::tok("C:\\tex\\wood \"1\".z"), ribtest::tok("s.tx"), RI_NULL);
  };
  const std::string text = "Format 640 480 1\nIlluminate 7 1\nObjectInstance "
                           "-12345678901234\nPixelFilter \"catmull-rom\" 2 2\n"
                           "MakeShadow \"C:\\\\tex\\\\wood \\\"1\\\".z\" \"s.tx\"\n";
  EXPECT_EQ(ribOf(requests), text);
  EXPECT_EQ(ribOf(requests, true), text);
}
