#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ParamDecl.h"
#include "PrimitiveCounts.h"
#include "RibTestUtil.h"

using namespace rib;

using ribtest::bytes;
using ribtest::ribOf;
using ribtest::stderrOf;
using ribtest::tok;

namespace {

RtFloat kHalf[] = {0.5f};
RtFloat kPoints[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
RtInt kOne[] = {1};
RtToken kTexts[] = {tok("a.tx"), tok("C:\\tex\\wood.tx")};

TEST(ParamList, AsciiValuesFollowTheDeclarations) {
  RtToken tokens[] = {tok("Ka"), tok("verbose"), tok("texturename"), tok("uniform string[2] maps"),
                      tok("lightcolor")};
  RtFloat color[] = {1, 0.25f, 0};
  RtPointer values[] = {kHalf, kOne, kTexts, kTexts, color};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.encoder.writeRaw("Surface");
              rib.encoder.writeParamList("plastic", 0, 5, tokens, values);
              rib.encoder.writeRaw("Display");
              rib.encoder.writeParamList("out.tif", 3, 0, tokens, values);
            }),
            "Surface \"plastic\" \"Ka\" [0.5] \"verbose\" [1 ] \"texturename\" [\"a.tx\"]"
            " \"uniform string[2] maps\" [\"a.tx\" \"C:\\\\tex\\\\wood.tx\"]"
            " \"lightcolor\" [1 0.25 0]\n"
            "Display \"out.tif\" 3\n");
}

TEST(ParamList, PairArraysStopAtTheNullToken) {
  rib::RiParamPair pairs[] = {{tok("Kd"), kHalf}, {nullptr, nullptr}, {tok("Ks"), kHalf}};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.encoder.writeParamPairs("matte", 0, pairs);
              rib.encoder.writePrimParamPairs(rib::PrimitiveCounts{4, 4, 1}, pairs);
              rib.encoder.writeParamPairs(nullptr, 0, nullptr);
            }),
            " \"matte\" \"Kd\" [0.5]\n \"Kd\" [0.5]\n\n");
}

TEST(ParamList, PrimitiveCountsFollowTheClass) {
  RtFloat st[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  RtFloat widths[] = {0.1f, 0.2f, 0.3f, 0.4f};
  RtToken tokens[] = {tok("P"), tok("st"), tok("constantwidth"), tok("uniform float facet"),
                      tok("varying float width")};
  RtPointer values[] = {kPoints, st, kHalf, widths, widths};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.encoder.writePrimParamList(rib::PrimitiveCounts{4, 2, 1}, 5, tokens, values);
            }),
            " \"P\" [0 0 0 1 0 0 1 1 0 0 1 0] \"st\" [0 0 1 0]"
            " \"constantwidth\" [0.5] \"uniform float facet\" [0.1]"
            " \"varying float width\" [0.1 0.2]\n");
}

TEST(ParamList, BinaryFloatsKeepTokensAsText) {
  RtToken tokens[] = {tok("fov"), tok("verbose")};
  RtPointer values[] = {kHalf, kOne};
  std::string rib = ribOf(
      [&](rib::RibWriter &r) {
        r.encoder.writeRaw("Projection");
        r.encoder.writeParamList("perspective", 0, 2, tokens, values);
      },
      true);
  EXPECT_EQ(rib, bytes("Projection \"perspective\" \"fov\" \xC8\x01\x3F\x00\x00\x00"
                       " \"verbose\" [1 ]\n"));
}

TEST(ParamList, UnwritableParametersAreReportedAndLeftOut) {
  parseDeclaration(gDeclTable, "oddType", "banana", nullptr, false);
  RtToken tokens[] = {
      tok("Ka"), tok("undeclaredThing"), tok("mpoint mp"), tok("oddType"), tok("Kd"), nullptr};
  RtPointer values[] = {kHalf, kHalf, kHalf, kHalf, nullptr, kHalf};
  std::string rib;
  std::string err = stderrOf([&] {
    rib =
        ribOf([&](rib::RibWriter &r) { r.encoder.writeParamList(nullptr, 0, 6, tokens, values); });
  });
  EXPECT_EQ(rib, " \"Ka\" [0.5]\n");
  EXPECT_EQ(
      err,
      "zizurezar error: undeclared parameter \"undeclaredThing\"\n"
      "zizurezar error: parameter \"mpoint mp\" has a type with no written form; it is left out\n"
      "zizurezar error: parameter \"oddType\" has a type with no written form; it is left out\n"
      "zizurezar error: parameter \"Kd\" has no values; it is left out\n"
      "zizurezar error: parameter without a token; it is left out\n");
}

TEST(ParamList, ZeroAndNegativeCountsWriteEmptyArrays) {
  RtToken tokens[] = {tok("P"), tok("negativeSize")};
  parseDeclaration(gDeclTable, "negativeSize", "float[-3]", nullptr, false);
  RtPointer values[] = {nullptr, nullptr};
  std::string err = stderrOf([&] {
    EXPECT_EQ(ribOf([&](rib::RibWriter &r) {
                r.encoder.writePrimParamList(rib::PrimitiveCounts{0, 0, 0}, 2, tokens, values);
              }),
              " \"P\" [] \"negativeSize\" []\n");
  });
  EXPECT_EQ(err, "");
}

TEST(ParamList, LargeArraysSpanManyChunks) {
  std::vector<RtFloat> points(3 * 20000);
  for (size_t i = 0; i < points.size(); ++i) points[i] = static_cast<RtFloat>(i) * 0.25f;
  RtToken tokens[] = {tok("P")};
  RtPointer values[] = {points.data()};
  std::string expected = " \"P\" [";
  char text[32];
  for (size_t i = 0; i < points.size(); ++i) {
    snprintf(text, sizeof text, i ? " %g" : "%g", static_cast<double>(points[i]));
    expected += text;
  }
  expected += "]\n";
  EXPECT_EQ(ribOf([&](rib::RibWriter &r) {
              r.encoder.writePrimParamList(rib::PrimitiveCounts{20000, 0, 0}, 1, tokens, values);
            }),
            expected);
  std::string binary = ribOf(
      [&](rib::RibWriter &r) {
        r.encoder.writePrimParamList(rib::PrimitiveCounts{20000, 0, 0}, 1, tokens, values);
      },
      true);
  ASSERT_EQ(binary.size(), 5 + 3 + 60000u * 4 + 1);
  EXPECT_EQ(binary.substr(0, 8), bytes(" \"P\" \xC9\xEA\x60"));
  EXPECT_EQ(binary.substr(binary.size() - 5), bytes("\x46\x6A\x5F\x00\n")); // 59999 / 4
}

TEST(ParamList, HugeBinaryArraysAreExact) {
  // Beyond a megabyte of floats, plus a tail that is not a multiple of four.
  const int points = 100003;
  std::vector<RtFloat> values(3 * points);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<RtFloat>(i) * -1.5f + 0.125f;
  RtToken tokens[] = {tok("P")};
  RtPointer pointers[] = {values.data()};
  std::string expected = " \"P\" ";
  expected += bytes("\xCA\x04\x93\xE9"); // 300009 values
  for (RtFloat v : values) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int shift = 24; shift >= 0; shift -= 8) expected += static_cast<char>(bits >> shift);
  }
  expected += "\n";
  std::string written = ribOf(
      [&](rib::RibWriter &r) {
        r.encoder.writeRaw("Points");
        r.encoder.writePrimParamList(rib::PrimitiveCounts{points, points, 1}, 1, tokens, pointers);
      },
      true);
  EXPECT_TRUE(written == "Points" + expected)
      << "sizes " << written.size() << " " << expected.size() + 6;
}

// A list-gathering call with 512 pairs, spelled out by the preprocessor.
#define KA tok("Ka"), static_cast<RtPointer>(kHalf)
#define KA8 KA, KA, KA, KA, KA, KA, KA, KA
#define KA64 KA8, KA8, KA8, KA8, KA8, KA8, KA8, KA8
#define KA512 KA64, KA64, KA64, KA64, KA64, KA64, KA64, KA64

TEST(ParamList, GatheringStopsAt512PairsAndSaysSo) {
  std::string rib;
  std::string err = stderrOf([&] {
    rib = ribOf([](rib::RibWriter &r) {
      r.ReadArchive(tok("full.rib"), nullptr, KA512, RI_NULL);
      r.ReadArchive(tok("over.rib"), nullptr, KA512, tok("Kd"), kHalf, RI_NULL);
    });
  });
  std::string params;
  for (int i = 0; i < 512; ++i) params += " \"Ka\" [0.5]";
  EXPECT_EQ(rib,
            "ReadArchive \"full.rib\"" + params + "\nReadArchive \"over.rib\"" + params + "\n");
  EXPECT_EQ(err, "zizurezar error: ReadArchive takes at most 512 parameters; the rest of the list "
                 "is ignored\n");
}

} // namespace
