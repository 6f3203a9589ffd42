#include "tools/sim/ViewClip.h"

#include <gtest/gtest.h>

namespace {

using simtool::clipPolygon;
using simtool::ViewBox;

// The box -1..1 seen without a turn.
const ViewBox kUnitBox = simtool::viewBoxInTurnedFrame(1.0, 0.0, Vector3(0, 0, 1));

TEST(ViewClip, PolygonsOutsideLeaveNoPolygonAndVerticesOnAFaceAreKeptOnce) {
  EXPECT_TRUE(clipPolygon({{2, 0, 0}, {3, 0, 0}, {3, 1, 0}}, kUnitBox).empty());
  // Touching a face from outside along one edge leaves no area, but no polygon either way.
  EXPECT_LT(clipPolygon({{1, -1, 0}, {2, -1, 0}, {2, 1, 0}, {1, 1, 0}}, kUnitBox).size(), 3u);
  // A triangle with one vertex on the face x = 1 and one beyond it.
  const std::vector<Vector3> cut = clipPolygon({{0, 0, 0}, {1, 0.5, 0}, {2, 0, 0}}, kUnitBox);
  const std::vector<Vector3> expected = {{0, 0, 0}, {1, 0.5, 0}, {1, 0, 0}};
  EXPECT_EQ(cut, expected);
}

} // namespace
