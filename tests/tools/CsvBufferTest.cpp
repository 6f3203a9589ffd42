#include "tools/sim/CsvBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace {

std::string printf17(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

TEST(CsvNumbers, MatchPrintfWithSeventeenDigitsExactly) {
  const double special[] = {0.0,
                            -0.0,
                            1.0,
                            -1.0,
                            0.1,
                            0.005,
                            225.0,
                            -4.0,
                            1e-5,
                            1e16,
                            1e17,
                            123456789012345678.0,
                            1e21,
                            1e-300,
                            5e-324,
                            2.2250738585072014e-308,
                            std::numeric_limits<double>::max(),
                            0.3 - 0.1,
                            1.0 / 3.0,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
  for (double value : special)
    EXPECT_EQ(simtool::formatDouble17(value), printf17(value)) << printf17(value);

  // Random bit patterns cover every exponent; simulation-sized values cover the common case.
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> scene(-6.0, 6.0);
  for (int n = 0; n < 200000; ++n) {
    std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isnan(value)) continue;
    ASSERT_EQ(simtool::formatDouble17(value), printf17(value)) << printf17(value);
    const double small = scene(random);
    ASSERT_EQ(simtool::formatDouble17(small), printf17(small)) << printf17(small);
  }
}

TEST(CsvNumbers, ReadBackToTheSameDouble) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> scene(-6.0, 6.0);
  for (int n = 0; n < 10000; ++n) {
    const double value = scene(random);
    EXPECT_EQ(std::strtod(simtool::formatDouble17(value).c_str(), nullptr), value);
  }
}

TEST(CsvBuffer, WritesLinesInOrderAcrossManyFlushes) {
  char *data = nullptr;
  std::size_t size = 0;
  std::FILE *out = open_memstream(&data, &size);
  ASSERT_NE(out, nullptr);
  std::string expected;
  {
    simtool::CsvBuffer csv(out);
    for (std::uint64_t n = 0; n < 20000; ++n) {
      csv.appendUnsigned(n * 1000003u);
      csv.appendChar(',');
      csv.appendDouble(static_cast<double>(n) / 7.0);
      csv.appendChar(',');
      csv.appendText("x");
      csv.endLine();
      expected +=
          std::to_string(n * 1000003u) + "," + printf17(static_cast<double>(n) / 7.0) + ",x\n";
    }
    EXPECT_TRUE(csv.flush());
  }
  std::fclose(out);
  EXPECT_EQ(std::string(data, size), expected);
  std::free(data);
}

} // namespace
