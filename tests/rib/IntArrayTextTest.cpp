// The batched integer array text must give exactly writeInts' bytes: every digit count, both
// signs, the extremes, and arrays that span many batches and chunk flushes.
#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RibTestUtil.h"
#include "rib/IntArrayText.h"

namespace {

std::string viaIntArray(const std::vector<RtInt> &values, long long n) {
  return ribtest::ribOf([&](RibWriter &rib) {
    RibChunk out(rib.stream);
    putIntArray(out, values.data(), n);
  });
}

std::string viaWriteInts(const std::vector<RtInt> &values) {
  return ribtest::ribOf(
      [&](RibWriter &rib) { rib.writeInts(values.data(), static_cast<int>(values.size())); });
}

TEST(IntArrayTextTest, EveryDigitCountAndSign) {
  std::vector<RtInt> values = {0, INT_MAX, INT_MIN, -1, 1};
  for (long long power = 1; power <= 1000000000; power *= 10) {
    values.push_back(static_cast<RtInt>(power - 1));
    values.push_back(static_cast<RtInt>(power));
    values.push_back(static_cast<RtInt>(-power));
    values.push_back(static_cast<RtInt>(1 - power));
  }
  EXPECT_EQ(viaIntArray(values, static_cast<long long>(values.size())), viaWriteInts(values));
  EXPECT_EQ(viaIntArray({7, 8, 9}, 3), "[7 8 9 ]");
  EXPECT_EQ(viaIntArray({0, 100, -2147483647 - 1}, 3), "[0 100 -2147483648 ]");
}

TEST(IntArrayTextTest, EmptyAndNegativeLengthsReadNothing) {
  EXPECT_EQ(viaIntArray({}, 0), "[]");
  EXPECT_EQ(viaIntArray({}, -5), "[]");
}

TEST(IntArrayTextTest, LongArraysAcrossBatchesAndFlushes) {
  // Long enough for many batches of the largest values and several chunk flushes.
  std::vector<RtInt> values;
  for (int i = 0; i < 20000; ++i) values.push_back(i % 3 == 0 ? INT_MIN + i : i * 104729);
  EXPECT_EQ(viaIntArray(values, static_cast<long long>(values.size())), viaWriteInts(values));
}

} // namespace
