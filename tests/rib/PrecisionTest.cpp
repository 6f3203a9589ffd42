// The "precision" of the library's "rib" option: significant digits of the floats written as %g.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "RibTestUtil.h"

using ribtest::readFile;
using ribtest::tempPath;
using ribtest::tok;

namespace {

// Opens a context with RiBegin (so the "rib" options apply), writes a few floats, ends it and
// returns what it wrote after the header.
std::string writtenByRiBegin() {
  std::string path = tempPath("precision");
  RiBegin(tok(path.c_str()));
  RtFloat values[] = {1234567.0f, 0.1f};
  RiScale(1234567.0f, 0.1f, 3.0f);
  static_cast<rib::RibWriter *>(RiGetContext())->encoder.writeFloats(values, 2);
  RiEnd();
  std::string all = readFile(path);
  std::remove(path.c_str());
  return all.substr(std::string(ribtest::kHeader).size());
}

void setPrecision(RtInt digits) { RiOption(tok("rib"), tok("precision"), &digits, RI_NULL); }

} // namespace

TEST(RibPrecision, DefaultKeepsSixDigitsAndNineMakesFloatsReadBackExactly) {
  EXPECT_EQ(writtenByRiBegin(), "Scale 1.23457e+06 0.1 3\n[1.23457e+06 0.1]\n");
  setPrecision(9);
  EXPECT_EQ(writtenByRiBegin(), "Scale 1234567 0.100000001 3\n[1234567 0.100000001]\n");
  setPrecision(6);
  EXPECT_EQ(writtenByRiBegin(), "Scale 1.23457e+06 0.1 3\n[1.23457e+06 0.1]\n");
}

TEST(RibPrecision, OutOfRangeDigitsAreReportedAndIgnored) {
  ribtest::CollectedDiagnostics said;
  setPrecision(0);
  setPrecision(18);
  EXPECT_EQ(said.take(),
            "zizurezar error: rib option \"precision\" must be 1 to 17, not 0; ignored\n"
            "zizurezar error: rib option \"precision\" must be 1 to 17, not 18; ignored\n");
  EXPECT_EQ(gRibPrecision, 6);
}

TEST(RibPrecision, AnOpenContextChangesOnlyItself) {
  std::string out = ribtest::ribOf([](rib::RibWriter &rib) {
    RtInt digits = 9;
    rib.Option(tok("rib"), tok("precision"), &digits, RI_NULL);
    rib.Perspective(0.1f);
  });
  EXPECT_EQ(out, "Perspective 0.100000001\n");
  EXPECT_EQ(gRibPrecision, 6);
}

TEST(RibPrecision, NuPatchRangesFollowThePrecisionAwayFromTheDefault) {
  // Six decimals at the default precision, as always; with more digits a fine range survives.
  RtFloat knots[] = {0, 0, 1, 1};
  auto nuPatch = [&](RtInt digits) {
    return ribtest::ribOf([&](rib::RibWriter &rib) {
      rib.Option(tok("rib"), tok("precision"), &digits, RI_NULL);
      rib.NuPatch(2, 2, knots, 1e-7f, 2e-7f, 2, 2, knots, 0, 1, RI_NULL);
    });
  };
  EXPECT_EQ(nuPatch(6),
            "NuPatch 2 2 [0 0 1 1] 0.000000 0.000000 2 2 [0 0 1 1] 0.000000 1.000000 \n");
  EXPECT_EQ(nuPatch(9), "NuPatch 2 2 [0 0 1 1] 1.00000001e-07 2.00000002e-07 2 2 [0 0 1 1] 0 1 \n");
}
