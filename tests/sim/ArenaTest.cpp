#include "sim/Arena.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "sim/MassPoint.h"

namespace {

bool alignedTo(const void *p, std::size_t align) {
  return reinterpret_cast<std::uintptr_t>(p) % align == 0;
}

TEST(ArenaTest, PiecesAreAlignedAndDoNotOverlap) {
  std::vector<char *> pieces;
  const std::size_t sizes[] = {1, 24, 88, 224, 7, 4096};
  const std::size_t aligns[] = {1, 8, 16, 64, 8, 64};
  // Enough rounds to spill into further blocks.
  for (int round = 0; round < 600; ++round)
    for (int n = 0; n < 6; ++n) {
      char *p = static_cast<char *>(allocateForever(sizes[n], aligns[n]));
      ASSERT_TRUE(alignedTo(p, aligns[n]));
      std::memset(p, n + 1, sizes[n]);
      pieces.push_back(p);
    }
  // Every piece still holds its own pattern: no piece was handed out twice.
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    std::size_t n = i % 6;
    for (std::size_t b = 0; b < sizes[n]; ++b) ASSERT_EQ(char(n + 1), pieces[i][b]);
  }
}

TEST(ArenaTest, LargePiecesAreWholeAndSeparate) {
  const std::size_t largeSize = std::size_t(3) << 20; // more than a block
  char *small = static_cast<char *>(allocateForever(16, 16));
  std::memset(small, 7, 16);
  char *large = static_cast<char *>(allocateForever(largeSize, 64));
  char *next = static_cast<char *>(allocateForever(16, 16));
  std::memset(next, 9, 16);
  EXPECT_TRUE(alignedTo(large, 64));
  std::memset(large, 1, largeSize);
  for (int b = 0; b < 16; ++b) {
    ASSERT_EQ(7, small[b]);
    ASSERT_EQ(9, next[b]);
  }
}

TEST(ArenaTest, MassPointsOfABodySitOnConsecutiveCacheLines) {
  MassPoint *first = new MassPoint(Vector3(0, 0, 0), 1);
  MassPoint *second = new MassPoint(Vector3(1, 0, 0), 1);
  EXPECT_TRUE(alignedTo(first, 64));
  EXPECT_TRUE(alignedTo(second, 64));
  const std::size_t stride = (sizeof(MassPoint) + 63) / 64 * 64;
  EXPECT_EQ(reinterpret_cast<char *>(first) + stride, reinterpret_cast<char *>(second));
}

} // namespace
