// The compact encoding: every token binary, each in its smallest form, chosen by the "rib" option
// before RiBegin or by a context's own options. (Its round trips through the reader are in
// RibDispatchTest.cpp.)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "RibOptions.h"
#include "RibReadLog.h"
#include "RibReader.h"
#include "RibTestUtil.h"
#include "RibWriter.h"

using ribtest::bytes;
using ribtest::kHeader;
using ribtest::readFile;
using ribtest::tok;

namespace {

std::string compactOf(void (*requests)(RiContext &)) {
  const std::string path = ribtest::tempPath("compact");
  int32_t compact = 1;
  const rib::RibOption options[] = {{"compact", &compact}, {nullptr, nullptr}};
  {
    rib::RibWriter context(path.c_str(), options);
    requests(context);
  }
  std::string all = readFile(path);
  std::remove(path.c_str());
  return all;
}

TEST(CompactRib, EachTokenTakesItsSmallestForm) {
  const std::string written = compactOf([](RiContext &ri) {
    RtFloat kd = 0.5f;
    for (int i = 0; i < 3; ++i) ri.Sphere(1, -1, 1, 360, tok("Kd"), &kd, RI_NULL);
    ri.Translate(0.5f, -2, 0.25f);
    ri.Translate(0.1f, 100000, -0.0f);
    RtInt sides[] = {3, 300, 70000};
    ri.PointsPolygons(1, sides, sides, RI_NULL);
    // "binary" 0 on the open context: ASCII from here on.
    RtInt zero = 0;
    ri.Option(tok("rib"), tok("binary"), &zero, RI_NULL);
    ri.Translate(0.5f, -2, 0.25f);
  });
  // The short integer forms are unsigned: -1 goes as a single float.
  const std::string sphere = bytes("\x80\x01\xA4\xBF\x80\x00\x00\x80\x01\x81\x01\x68");
  const std::string half = bytes("\xC8\x01\x3F\x00\x00\x00");
  EXPECT_EQ(written,
            kHeader +
                // The request defined once, then referred to by its code; "Kd" in place
                // the first time, defined the second, referred to the third.
                bytes("\xCC\x00\x96Sphere\xA6\x00") + sphere + bytes("\x92Kd") + half +
                bytes("\xA6\x00") + sphere + bytes("\xCD\x00\x92Kd\xCF\x00") + half +
                bytes("\xA6\x00") + sphere + bytes("\xCF\x00") + half +
                // Fixed point where it holds the value exactly: 0.5 and 0.25 as 0.8.
                bytes("\xCC\x01\x99Translate\xA6\x01\x84\x80\xA4\xC0\x00\x00\x00\x84\x40") +
                // 0.1 has no exact fixed point; -0 keeps its sign as a single float.
                bytes("\xA6\x01\xA4\x3D\xCC\xCC\xCD\x82\x01\x86\xA0\xA4\x80\x00\x00\x00") +
                // Integer arrays between brackets, each integer in 1 to 4 bytes.
                bytes("\xCC\x02\x9EPointsPolygons\xA6\x02[\x80\x03][\x80\x03\x81\x01\x2C"
                      "\x82\x01\x11\x70]") +
                "Translate 0.5 -2 0.25 \n\n");
}

TEST(CompactRib, IntegerArraysReadBackWhateverTheirForms) {
  const std::string written = compactOf([](RiContext &ri) {
    RtInt ids[] = {0, 200, 40000, 70000, 20000000, -5, -2147483647 - 1};
    ri.Attribute(tok("user"), tok("uniform integer[7] ids"), ids, RI_NULL);
  });
  ribtest::ReadLog log;
  rib::RibReader(log).readMemory(written.data(), written.size());
  ASSERT_EQ(log.only('R').size(), 2u);
  EXPECT_EQ(log.only('R')[1].substr(log.only('R')[1].find("Attribute")),
            "Attribute | s:\"user\" s:\"uniform integer[7] ids\" "
            "I[0 200 40000 70000 20000000 -5 -2.14748365e+09]");
}

TEST(CompactRib, RibOptionBeforeRiBeginAndAfterBinaryChoosesTheEncoding) {
  static char format[] = "format", compact[] = "compact", binary[] = "binary";
  const std::string path = ribtest::tempPath("compactOption");
  char *compactText = compact;
  RiOption(tok("rib"), format, &compactText, RI_NULL);
  RiBegin(tok(path.c_str()));
  RiWorldBegin();
  RiEnd();
  // "binary" after "format" "compact" in one list: binary floats, requests in text.
  RtInt one = 1;
  RiOption(tok("rib"), format, &compactText, binary, &one, RI_NULL);
  EXPECT_EQ(rib::gRibCompact, 0);
  EXPECT_EQ(gRibBinary, 1);
  gRibBinary = 0;
  EXPECT_EQ(readFile(path), kHeader + bytes("\xCC\x00\x9AWorldBegin\xA6\x00"));
  std::remove(path.c_str());
}

} // namespace
