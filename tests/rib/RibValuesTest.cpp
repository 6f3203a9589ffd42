#include <gtest/gtest.h>

#include "RibTestUtil.h"

using ribtest::ribOf;

TEST(RibValues, AsciiArraysFollowTheirBracketRules) {
  RtFloat floats[] = {1.0f, 0.5f, 0.0f};
  RtInt ints[] = {1, -2, 3};
  char a[] = "a", quoted[] = "say \"hi\"\\now";
  RtToken texts[] = {a, quoted};
  EXPECT_EQ(ribOf([&](RibWriter &rib) {
              rib.writeFloats(floats, 3);
              rib.writeFloats(floats, 0);
              rib.writeInts(ints, 3);
              rib.writeInts(ints, 0);
              rib.writeStrings(texts, 2);
              rib.writeFloat(0.25f);
            }),
            "[1 0.5 0][][1 -2 3 ][][\"a\" \"say \\\"hi\\\"\\\\now\" ]0.25 ");
}

TEST(RibValues, BinaryFloatsAreBigEndianWithSizedHeaders) {
  RtFloat one[] = {1.0f};
  std::string out = ribOf([&](RibWriter &rib) {
    rib.writeFloats(one, 1);
    rib.writeFloat(-2.0f);
  }, true);
  EXPECT_EQ(out, std::string("\xC8\x01\x3F\x80\x00\x00\xA4\xC0\x00\x00\x00", 11));
  std::vector<RtFloat> many(300, 0.0f);
  std::string big = ribOf([&](RibWriter &rib) { rib.writeFloats(many.data(), 300); }, true);
  ASSERT_EQ(big.size(), 3u + 300 * 4);
  EXPECT_EQ(big.substr(0, 3), std::string("\xC9\x01\x2C", 3));
}

TEST(RibValues, FormattedTextIsLocaleFreeAndEscapesTexts) {
  EXPECT_EQ(ribOf([](RibWriter &rib) {
              rib.writeFormatted("Format %d %d %g\n", 640, 480, 1.0);
              rib.writeFormatted("NuPatch %f %ld \"%s\" 100%%\n", 0.5, 7L, "C:\\tex\\wood.tx");
            }),
            "Format 640 480 1\nNuPatch 0.500000 7 \"C:\\\\tex\\\\wood.tx\" 100%\n");
}
