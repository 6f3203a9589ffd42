// The count rules on their own: the worked examples, and inputs smaller than one patch or segment,
// which must come out clamped at zero with a reason instead of negative, overflowing or dividing
// by zero.
#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "PrimitiveCounts.h"
#include "SameText.h"

using namespace rib;

namespace {

void expectCounts(const PrimitiveCounts &counts, int vertex, int varying, int uniform) {
  EXPECT_EQ(counts.vertex, vertex);
  EXPECT_EQ(counts.varying, varying);
  EXPECT_EQ(counts.uniform, uniform);
}

TEST(PrimitiveCountsTest, PatchMeshExamples) {
  // bicubic 7 x 4, nonperiodic, steps 3: 2 x 1 patches.
  PrimitiveCounts counts = patchMeshCounts(true, 7, false, 4, false, 3, 3);
  expectCounts(counts, 28, 6, 2);
  EXPECT_EQ(counts.problem, nullptr);
  expectCounts(patchMeshCounts(true, 4, false, 4, false, 3, 3), 16, 4, 1);
  // bilinear 2 x 2: one patch; periodic in u: 2 x 1 patches.
  expectCounts(patchMeshCounts(false, 2, false, 2, false, 3, 3), 4, 4, 1);
  expectCounts(patchMeshCounts(false, 2, true, 2, false, 3, 3), 4, 4, 2);
  // bicubic nu 6 periodic in u, step 3: 2 patches in u (and 1 in v for a 4-high mesh).
  expectCounts(patchMeshCounts(true, 6, true, 4, false, 3, 3), 24, 4, 2);
  // After steps 1 and 1: bicubic 5 x 4 nonperiodic has 2 x 1 patches.
  expectCounts(patchMeshCounts(true, 5, false, 4, false, 1, 1), 20, 6, 2);
  // Steps only matter to bicubic meshes.
  EXPECT_EQ(patchMeshCounts(false, 3, false, 3, false, 0, 0).problem, nullptr);
}

TEST(PrimitiveCountsTest, PatchMeshSmallerThanOnePatchIsClampedAndNamed) {
  // bilinear 1 x 2: no patch in u.
  PrimitiveCounts counts = patchMeshCounts(false, 1, false, 2, false, 3, 3);
  expectCounts(counts, 2, 2, 0);
  ASSERT_NE(counts.problem, nullptr);
  // bilinear 0 x 5: -1 patches in u would make the varying count negative.
  counts = patchMeshCounts(false, 0, false, 5, false, 3, 3);
  expectCounts(counts, 0, 0, 0);
  EXPECT_NE(counts.problem, nullptr);
  // Negative sizes in both directions must not multiply into a positive count.
  counts = patchMeshCounts(false, -3, false, -3, false, 3, 3);
  expectCounts(counts, 0, 0, 0);
  EXPECT_NE(counts.problem, nullptr);
  // A step of 0 or below gives no patch count at all, and must not divide.
  counts = patchMeshCounts(true, 7, false, 4, false, 0, 3);
  EXPECT_EQ(counts.uniform, 0);
  EXPECT_NE(counts.problem, nullptr);
  counts = patchMeshCounts(true, 7, true, 4, true, 3, -2);
  EXPECT_EQ(counts.uniform, 0);
  EXPECT_NE(counts.problem, nullptr);
}

TEST(PrimitiveCountsTest, PatchMeshHugeSizesSaturate) {
  PrimitiveCounts counts = patchMeshCounts(false, INT_MAX, true, INT_MAX, true, 3, 3);
  expectCounts(counts, INT_MAX, INT_MAX, INT_MAX);
  counts = patchMeshCounts(true, INT_MIN, false, 4, false, 1, 1);
  EXPECT_EQ(counts.vertex, 0);
  EXPECT_NE(counts.problem, nullptr);
}

TEST(PrimitiveCountsTest, CurvesExamples) {
  const RtInt seven[] = {7};
  // cubic, 7 vertices, nonperiodic, step 3: 2 segments, 3 varying values; one uniform value per
  // curve, whatever its segments.
  expectCounts(curvesCounts(true, false, 1, seven, 3), 7, 3, 1);
  // linear: 6 segments, 7 varying values.
  expectCounts(curvesCounts(false, false, 1, seven, 3), 7, 7, 1);
  // periodic: cubic k / step segments and as many varying values; linear k and k.
  expectCounts(curvesCounts(true, true, 1, seven, 3), 7, 2, 1);
  expectCounts(curvesCounts(false, true, 1, seven, 3), 7, 7, 1);
  // Several curves add up; the step is the v step passed in.
  const RtInt several[] = {4, 7, 10};
  expectCounts(curvesCounts(true, false, 3, several, 3), 21, 2 + 3 + 4, 3);
  expectCounts(curvesCounts(true, false, 3, several, 1), 21, 2 + 5 + 8, 3);
  EXPECT_EQ(curvesCounts(true, false, 3, several, 1).problem, nullptr);
}

TEST(PrimitiveCountsTest, CurvesSmallerThanOneSegmentAreClamped) {
  const RtInt tiny[] = {1, 5};
  PrimitiveCounts counts = curvesCounts(false, false, 2, tiny, 3); // linear: 0 and 4 segments
  expectCounts(counts, 6, 6, 2);
  EXPECT_NE(counts.problem, nullptr);
  const RtInt negative[] = {-4, 4};
  counts = curvesCounts(true, false, 2, negative, 3);
  expectCounts(counts, 4, 2, 2);
  EXPECT_NE(counts.problem, nullptr);
  const RtInt four[] = {4};
  counts = curvesCounts(true, true, 1, four, 0);
  EXPECT_EQ(counts.uniform, 1);
  EXPECT_NE(counts.problem, nullptr);
  // No curves at all reads nothing and is no error.
  counts = curvesCounts(true, false, 0, nullptr, 3);
  expectCounts(counts, 0, 0, 0);
  EXPECT_EQ(counts.problem, nullptr);
  counts = curvesCounts(true, false, -5, nullptr, 3);
  expectCounts(counts, 0, 0, 0);
}

TEST(PrimitiveCountsTest, NuPatchSpansAndDegenerateOrders) {
  PrimitiveCounts counts = nuPatchCounts(4, 4, 5, 3);
  expectCounts(counts, 20, 2 * 4, 1 * 3);
  EXPECT_EQ(counts.problem, nullptr);
  counts = nuPatchCounts(2, 4, 5, 3); // fewer control points than the order
  expectCounts(counts, 10, 0, 0);
  EXPECT_NE(counts.problem, nullptr);
}

TEST(PrimitiveCountsTest, IndexedMeshesScanForTheLargestIndex) {
  const RtInt indices[] = {0, 1, 2, 2, 1, 3};
  PrimitiveCounts counts = indexedMeshCounts(indices, 6, 2);
  expectCounts(counts, 4, 4, 2);
  EXPECT_EQ(counts.problem, nullptr);
  // The scan starts at 0: negative indices never lower it, an empty array gives 1.
  const RtInt negatives[] = {-7, -1};
  EXPECT_EQ(largestIndexPlusOne(negatives, 2), 1);
  EXPECT_EQ(largestIndexPlusOne(nullptr, 0), 1);
  const RtInt huge[] = {3, INT_MAX};
  EXPECT_EQ(largestIndexPlusOne(huge, 2), INT_MAX);
  // Only the first n indices count.
  EXPECT_EQ(largestIndexPlusOne(indices, 3), 3);
  // A negative number of indices or faces reads nothing and is named.
  counts = indexedMeshCounts(nullptr, -3, 2);
  EXPECT_EQ(counts.vertex, 1);
  EXPECT_NE(counts.problem, nullptr);
  counts = indexedMeshCounts(indices, 6, -1);
  EXPECT_EQ(counts.uniform, 0);
  EXPECT_NE(counts.problem, nullptr);
}

TEST(PrimitiveCountsTest, FixedCountsAndPatchTypes) {
  expectCounts(quadricCounts(), 4, 4, 1);
  expectCounts(patchCounts("bilinear"), 4, 4, 1);
  expectCounts(patchCounts("bicubic"), 16, 4, 1);
  expectCounts(patchCounts("anything"), 16, 4, 1);
  expectCounts(patchCounts(nullptr), 16, 4, 1);
  expectCounts(vertexListCounts(5), 5, 5, 1);
  EXPECT_NE(vertexListCounts(-5).problem, nullptr);
  EXPECT_EQ(vertexListCounts(-5).vertex, 0);
  expectCounts(blobbyCounts(3), 3, 3, 1); // one uniform value for the whole blobby
  EXPECT_NE(blobbyCounts(-1).problem, nullptr);
}

TEST(PrimitiveCountsTest, SumsAndClampsNeverOverflow) {
  const RtInt big[] = {INT_MAX, INT_MAX, INT_MAX};
  EXPECT_EQ(sumOf(big, 3), 3LL * INT_MAX);
  EXPECT_EQ(sumOf(big, -2), 0);
  EXPECT_EQ(clampCount(3LL * INT_MAX), INT_MAX);
  EXPECT_EQ(clampCount(-1), 0);
  EXPECT_TRUE(sameText("cubic", "cubic"));
  EXPECT_FALSE(sameText(nullptr, "cubic"));
  EXPECT_FALSE(sameText("cubic", "cubicx"));
}

TEST(PrimitiveCountsTest, BlobbyScanFollowsTheCodeTable) {
  // An ellipsoid, a segment, a repelling plane (string 0, floats 39) and a constant, added.
  const RtInt code[] = {1001, 0, 1002, 16, 1003, 0, 39, 1000, 43, 0, 4, 0, 1, 2, 3};
  BlobbyScan scan = scanBlobbyCode(code, 15);
  EXPECT_EQ(scan.leaves, 4);
  EXPECT_EQ(scan.floats, 16 + 23 + 4 + 1);
  EXPECT_EQ(scan.strings, 1);
  EXPECT_EQ(scan.badWord, -1);
  // Two- and one-operand operations take 3 and 2 words; unknown codes one word.
  const RtInt ops[] = {4, 1000, 1000, 6, 1001, 99, -5, 1000, 0};
  scan = scanBlobbyCode(ops, 9);
  EXPECT_EQ(scan.leaves, 1);
  EXPECT_EQ(scan.floats, 1);
}

TEST(PrimitiveCountsTest, BlobbyScanStaysInsideTheCode) {
  // The operand count of the last operation is missing: the walk stops there.
  const RtInt cut[] = {1000, 0, 0};
  BlobbyScan scan = scanBlobbyCode(cut, 3);
  EXPECT_EQ(scan.leaves, 1);
  EXPECT_EQ(scan.badWord, 2);
  // A negative operand count must still move forward (and is named).
  const RtInt backwards[] = {0, -2, 1000, 0};
  scan = scanBlobbyCode(backwards, 4);
  EXPECT_EQ(scan.leaves, 1);
  EXPECT_EQ(scan.badWord, 0);
  // An operand count far beyond the code ends the walk.
  const RtInt far[] = {0, INT_MAX, 1000, 0};
  scan = scanBlobbyCode(far, 4);
  EXPECT_EQ(scan.leaves, 0);
  EXPECT_EQ(scanBlobbyCode(nullptr, -1).leaves, 0);
}

TEST(PrimitiveCountsTest, TrimCurveAndTagSizes) {
  const RtInt ncurves[] = {2, 1};
  const RtInt order[] = {3, 2, 4};
  const RtInt n[] = {3, 2, 5};
  TrimCurveSizes sizes = trimCurveSizes(2, ncurves, order, n);
  EXPECT_EQ(sizes.curves, 3);
  EXPECT_EQ(sizes.knots, 6 + 4 + 9);
  EXPECT_EQ(sizes.points, 10);
  EXPECT_FALSE(sizes.negative);
  const RtInt negativeLoops[] = {-2};
  sizes = trimCurveSizes(1, negativeLoops, nullptr, nullptr);
  EXPECT_EQ(sizes.curves, 0);
  EXPECT_TRUE(sizes.negative);

  const RtInt nargs[] = {1, 0, 2, 3, 0, 1};
  SubdivisionTagTotals totals = subdivisionTagTotals(3, nargs);
  EXPECT_EQ(totals.integers, 3);
  EXPECT_EQ(totals.floats, 4);
  const RtInt negativeArgs[] = {-4, -1};
  totals = subdivisionTagTotals(1, negativeArgs);
  EXPECT_EQ(totals.integers, 0);
  EXPECT_EQ(totals.floats, 0);
}

} // namespace
