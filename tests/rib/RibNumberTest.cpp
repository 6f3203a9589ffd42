// ASCII numbers read exactly as strtof reads them, on every path the reader takes; floats written
// with nine digits (the library's exact precision) read back to the very same float, whatever
// locale the program runs in.
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "FloatFormat.h"
#include "RibNumber.h"
#include "RibReader.h"

namespace {

uint32_t bitsOf(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::string printed(const char *format, double value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

float anyFiniteFloat(std::mt19937 &random) {
  for (;;) {
    const uint32_t bits = random();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) return value;
  }
}

// Floats of every magnitude printed the ways programs print them; the decimal expansions of
// the points halfway between neighbouring floats and of the doubles on either side of them
// (where a conversion through a double could round twice); digit strings of every length with
// points, signs and exponents anywhere; and the edges of the integer and float ranges.
std::vector<std::string> numberTexts() {
  std::mt19937 random(2026);
  std::vector<std::string> texts = {"0",
                                    "-0",
                                    "+0",
                                    "0.0",
                                    "-0.0",
                                    ".5",
                                    "5.",
                                    "-.5e1",
                                    "00012",
                                    "2147483647",
                                    "2147483648",
                                    "-2147483648",
                                    "-2147483649",
                                    "16777217",
                                    "16777216.5",
                                    "1e39",
                                    "-1e39",
                                    "1e-50",
                                    "3.4028235e38",
                                    "3.4028236e38",
                                    "1.17549435e-38",
                                    "1.4e-45",
                                    "7e-46",
                                    "1e22",
                                    "1e23",
                                    "9007199254740993",
                                    "0.000000000000000000000000000001",
                                    "1e100000000000",
                                    "1E+5"};
  for (int i = 0; i < 20000; ++i) {
    const float value = anyFiniteFloat(random);
    for (const char *format : {"%.9g", "%g", "%.3g", "%.17g", "%.12e", "%.2f"})
      if (std::fabs(value) < 1e30f || format[2] != 'f') texts.push_back(printed(format, value));
    const float next = std::nextafter(value, INFINITY);
    if (!std::isfinite(next)) continue;
    const double halfway = (static_cast<double>(value) + next) / 2; // exact in a double
    for (double near : {halfway, std::nextafter(halfway, 0.0), std::nextafter(halfway, 1e300)}) {
      texts.push_back(printed("%.80g", near));
      texts.push_back(printed("%.17g", near));
    }
  }
  for (int i = 0; i < 60000; ++i) {
    std::string text;
    if (random() % 3 == 0) text += random() % 2 ? '-' : '+';
    const int digits = 1 + static_cast<int>(random() % 26);
    const int point = static_cast<int>(random() % (digits + 2)) - 1; // -1: none
    const bool zeros = random() % 4 == 0;                            // leading zeros
    for (int d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + (zeros && d < digits / 2 ? 0 : random() % 10));
    }
    if (point == digits) text += '.';
    if (random() % 2) {
      text += random() % 2 ? 'e' : 'E';
      if (random() % 2) text += random() % 2 ? '-' : '+';
      text += std::to_string(random() % 60);
    }
    texts.push_back(text);
  }
  return texts;
}

bool looksIntegral(const std::string &text) {
  return text.find_first_of(".eE") == std::string::npos;
}

TEST(RibNumber, EveryTextReadsAsStrtofReadsIt) {
  for (const std::string &text : numberTexts()) {
    rib::RibNumber number;
    ASSERT_TRUE(rib::parseRibNumber(text, number)) << text;
    ASSERT_EQ(bitsOf(number.value), bitsOf(std::strtof(text.c_str(), nullptr))) << text;
    errno = 0;
    const long long integer = std::strtoll(text.c_str(), nullptr, 10);
    const bool fits =
        looksIntegral(text) && errno == 0 && integer >= INT32_MIN && integer <= INT32_MAX;
    ASSERT_EQ(number.isInteger, fits) << text;
    if (fits) {
      ASSERT_EQ(number.integer, integer) << text;
    }
  }
  rib::RibNumber number;
  for (const char *bad : {"", "-", "+", ".", "-.", "1e", "1e+", "e5", "1.5.2", "1x", "--1", "0x10"})
    EXPECT_FALSE(rib::parseRibNumber(bad, number)) << bad;
}

// A decimal comma in the program's locale changes nothing, on the fast path or off it.
TEST(RibNumber, LocaleOfTheProgramDoesNotMatter) {
  const char *texts[] = {"0.5", "-1234.5678", "1.5e-40", "123456789012345678901234.5", "1e30"};
  std::vector<uint32_t> inC;
  for (const char *text : texts) inC.push_back(bitsOf(std::strtof(text, nullptr)));
  std::string made;
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    made = ::testing::TempDir() + "rib_number_locale_" + std::to_string(getpid());
    const std::string command = "mkdir -p '" + made + "' && localedef -i de_DE -f UTF-8 '" + made +
                                "/de_DE.UTF-8' >/dev/null 2>&1";
    setenv("LOCPATH", made.c_str(), 1);
    if (std::system(command.c_str()) != 0 || !std::setlocale(LC_ALL, "de_DE.UTF-8")) {
      unsetenv("LOCPATH");
      GTEST_SKIP() << "no locale with a decimal comma";
    }
  }
  ASSERT_EQ(printed("%g", 0.5), "0,5");
  for (size_t i = 0; i < std::size(texts); ++i) {
    rib::RibNumber number;
    EXPECT_TRUE(rib::parseRibNumber(texts[i], number));
    EXPECT_EQ(bitsOf(number.value), inC[i]) << texts[i];
  }
  std::setlocale(LC_ALL, "C");
  if (!made.empty()) {
    unsetenv("LOCPATH");
    EXPECT_EQ(std::system(("rm -rf '" + made + "'").c_str()), 0);
  }
}

} // namespace
