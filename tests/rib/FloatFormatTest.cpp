#include "FloatFormat.h"
#include "DoubleText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

using rib::formatFloatDigits;
using rib::formatFloatG;
using rib::kFloatTextMax;

namespace {

std::string formatG(float value) {
  char text[kFloatTextMax];
  return std::string(text, static_cast<size_t>(formatFloatG(value, text)));
}

std::string formatDigits(float value, int digits) {
  char text[kFloatTextMax];
  return std::string(text, static_cast<size_t>(formatFloatDigits(value, digits, text)));
}

std::string printfG(float value, int digits = 6) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
  return text;
}

float fromBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

TEST(FloatFormatG, SpecialValuesAsTheCLibraryPrintsThem) {
  EXPECT_EQ(formatG(0.0f), "0");
  EXPECT_EQ(formatG(-0.0f), "-0");
  EXPECT_EQ(formatG(std::numeric_limits<float>::infinity()), "inf");
  EXPECT_EQ(formatG(-std::numeric_limits<float>::infinity()), "-inf");
  EXPECT_EQ(formatG(std::numeric_limits<float>::quiet_NaN()), "nan");
  EXPECT_EQ(formatG(fromBits(0xffc00000u)), "-nan");
  EXPECT_EQ(formatG(fromBits(0x7f800001u)), "nan"); // signalling NaN with a payload
}

TEST(FloatFormatG, RangeLimits) {
  EXPECT_EQ(formatG(fromBits(1)), "1.4013e-45");            // smallest denormal
  EXPECT_EQ(formatG(fromBits(0x007fffffu)), "1.17549e-38"); // largest denormal
  EXPECT_EQ(formatG(FLT_MIN), "1.17549e-38");
  EXPECT_EQ(formatG(FLT_MAX), "3.40282e+38");
  EXPECT_EQ(formatG(-FLT_MAX), "-3.40282e+38");
  EXPECT_EQ(formatG(FLT_EPSILON), "1.19209e-07");
}

TEST(FloatFormatG, SwitchBetweenFixedAndExponentForm) {
  EXPECT_EQ(formatG(1e-4f), "0.0001");
  EXPECT_EQ(formatG(std::nextafter(1e-4f, 0.0f)), "0.0001"); // rounds up into fixed form
  EXPECT_EQ(formatG(1e-5f), "1e-05");
  EXPECT_EQ(formatG(9.999995e-5f), printfG(9.999995e-5f));
  EXPECT_EQ(formatG(123456.0f), "123456");
  EXPECT_EQ(formatG(999999.0f), "999999");
  EXPECT_EQ(formatG(999999.4375f), "999999");
  EXPECT_EQ(formatG(999999.5f), "1e+06"); // tie, odd last digit: carries into exponent form
  EXPECT_EQ(formatG(1e6f), "1e+06");
  EXPECT_EQ(formatG(1e10f), "1e+10");
  EXPECT_EQ(formatG(-0.5f), "-0.5");
  EXPECT_EQ(formatG(1.0f / 3.0f), "0.333333");
  EXPECT_EQ(formatG(100.25f), "100.25");
}

TEST(FloatFormatG, ExactTiesRoundHalfToEven) {
  EXPECT_EQ(formatG(100000.5f), "100000");
  EXPECT_EQ(formatG(100001.5f), "100002");
  EXPECT_EQ(formatG(123456.5f), "123456");
  EXPECT_EQ(formatG(999998.5f), "999998");
  EXPECT_EQ(formatG(1234565.0f), "1.23456e+06");
  EXPECT_EQ(formatG(1234575.0f), "1.23458e+06");
  EXPECT_EQ(formatG(0.0009765625f), "0.000976562"); // 2^-10
  EXPECT_EQ(formatG(0.001953125f), "0.00195312");   // 2^-9
  EXPECT_EQ(formatG(0.3046875f), "0.304688");       // 39/128
  // Just past a tie goes up whatever the last digit.
  EXPECT_EQ(formatG(std::nextafter(100000.5f, 1e9f)), "100001");
}

TEST(FloatFormatG, PowersOfTenAndTheirNeighboursMatchPrintf) {
  // The decimal exponent is estimated from the binary one; these are where the estimate turns.
  for (int p = -45; p <= 38; ++p) {
    const float power = static_cast<float>(std::pow(10.0, p));
    for (float value : {std::nextafter(power, 0.0f), power, std::nextafter(power, FLT_MAX)}) {
      EXPECT_EQ(formatG(value), printfG(value)) << "near 1e" << p;
      EXPECT_EQ(formatG(-value), printfG(-value)) << "near -1e" << p;
    }
  }
}

TEST(FloatFormatG, EveryBinadeMatchesPrintf) {
  std::mt19937 random(7);
  for (uint32_t exponent = 0; exponent < 255; ++exponent) {
    for (uint32_t fraction :
         {0u, 1u, 0x7fffffu, 0x400000u, static_cast<uint32_t>(random()) & 0x7fffffu}) {
      const uint32_t bits = exponent << 23 | fraction;
      EXPECT_EQ(formatG(fromBits(bits)), printfG(fromBits(bits))) << std::hex << bits;
    }
  }
}

TEST(FloatFormatG, RandomBitPatternsMatchPrintf) {
  std::mt19937 random(20261207);
  int differences = 0;
  for (int i = 0; i < 3000000; ++i) {
    const float value = fromBits(static_cast<uint32_t>(random()));
    if (formatG(value) != printfG(value) && ++differences <= 10) {
      ADD_FAILURE() << formatG(value) << " vs " << printfG(value);
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(FloatFormatG, RandomValuesOfEverydayMagnitudeMatchPrintf) {
  // Coordinates and colours: short decimals and values near integers dominate real scenes.
  std::mt19937 random(42);
  std::uniform_real_distribution<float> spread(-1000.0f, 1000.0f);
  for (int i = 0; i < 200000; ++i) {
    const float value = spread(random);
    const float rounded = std::round(value * 100.0f) / 100.0f;
    EXPECT_EQ(formatG(value), printfG(value));
    EXPECT_EQ(formatG(rounded), printfG(rounded));
  }
}

// Where a formatter with `digits` significant digits goes wrong first: powers of ten and their
// neighbours (the decimal exponent is estimated from the binary one and turns there), the floats
// nearest to 99...95 times a power of ten (rounding carries into a new digit, and at 10^digits and
// 1e-4 from fixed into exponent form or back), short binary fractions (the only floats that are
// exact ties at the last digit), and the ends of the range.
std::vector<float> turningPoints(int digits) {
  std::vector<float> values = {FLT_MAX, FLT_MIN, FLT_EPSILON, fromBits(1), fromBits(0x007fffffu)};
  auto addWithNeighbours = [&](float value) {
    values.insert(values.end(),
                  {std::nextafter(value, 0.0f), value, std::nextafter(value, FLT_MAX)});
  };
  for (int p = -45; p <= 38; ++p) {
    addWithNeighbours(static_cast<float>(std::pow(10.0, p)));
    addWithNeighbours(
        static_cast<float>((std::pow(10.0, digits) - 0.5) * std::pow(10.0, p - digits)));
  }
  for (int shift = -150; shift <= 40; ++shift) {
    for (int odd = 1; odd < 2048; odd += 2)
      values.push_back(std::ldexp(static_cast<float>(odd), shift));
  }
  return values;
}

TEST(FloatFormatDigits, EveryFastPrecisionMatchesPrintfWhereRoundingTurns) {
  for (int digits = 1; digits <= 9; ++digits) {
    int differences = 0;
    for (float value : turningPoints(digits)) {
      for (float signedValue : {value, -value}) {
        if (formatDigits(signedValue, digits) != printfG(signedValue, digits) &&
            ++differences <= 5) {
          ADD_FAILURE() << "digits " << digits << ": " << formatDigits(signedValue, digits)
                        << " vs " << printfG(signedValue, digits);
        }
      }
    }
    EXPECT_EQ(differences, 0) << "digits " << digits;
  }
}

TEST(FloatFormatDigits, RandomBitPatternsMatchPrintfAtEveryPrecision) {
  std::mt19937 random(3);
  for (int digits = 1; digits <= 17; ++digits) {
    for (int i = 0; i < 20000; ++i) {
      const float value = fromBits(static_cast<uint32_t>(random()));
      ASSERT_EQ(formatDigits(value, digits), printfG(value, digits)) << "digits " << digits;
    }
  }
  EXPECT_EQ(formatDigits(0.5f, 6), formatG(0.5f));
}

TEST(FloatFormatDigits, PrecisionOutsideTheRangeIsClamped) {
  EXPECT_EQ(formatDigits(123.456f, 0), "1e+02");
  EXPECT_EQ(formatDigits(123.456f, -5), "1e+02");
  EXPECT_EQ(formatDigits(0.1f, 40), printfG(0.1f, 17));
}

TEST(FloatFormatDigits, LongestTextsFitTheBuffer) {
  for (float value : {-FLT_MIN, -FLT_MAX, -fromBits(1), -fromBits(0x007fffffu), -1.17549435e-38f}) {
    EXPECT_LE(formatDigits(value, 17).size(), static_cast<size_t>(kFloatTextMax));
    EXPECT_LE(formatG(value).size(), static_cast<size_t>(kFloatTextMax));
  }
}

// The shortest text by printf (for standard libraries without to_chars of floats, as in the
// browser's build) is to_chars' own: digits, and the plain or exponent form, chosen alike.
TEST(ShortestFloatText, ByPrintfAsToChars) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> spread(-1000.0f, 1000.0f);
  int differences = 0;
  for (int i = 0; i < 100000; ++i) {
    float value = i % 2 ? spread(random) : fromBits(static_cast<uint32_t>(random()));
    if (i < 60) value = std::ldexp(1.0f, i - 30) * (i % 3 ? 1.0f : 3.0f); // powers near 10^k
    if (!std::isfinite(value) || value == 0) continue;
    char expected[64], got[64];
    const std::string want(expected, std::to_chars(expected, expected + 64, value).ptr);
    const std::string have(got, rib::shortestFloatTextByPrintf(got, value));
    if (want != have && ++differences <= 10) ADD_FAILURE() << want << " vs " << have;
  }
  for (float value : {1e10f, 1.2345679e10f, 100.0f, 1e-4f, 0.001f, 123456.0f, 1e6f, 1e7f, -2.5e-9f}) {
    char expected[64], got[64];
    EXPECT_EQ(std::string(expected, std::to_chars(expected, expected + 64, value).ptr),
              std::string(got, rib::shortestFloatTextByPrintf(got, value)));
  }
  EXPECT_EQ(differences, 0);
}

} // namespace
