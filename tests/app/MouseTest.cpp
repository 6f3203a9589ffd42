#include "app/Mouse.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include "WorldSnapshot.h"
#include "app/GlobalWorld.h"

namespace {

class MouseTest : public ::testing::Test {
protected:
  void SetUp() override { clearPushes(gWorld); }
  void TearDown() override { clearPushes(gWorld); }

  // The pending push of node (i, j, k) of gWorld.
  static Vector3 pushAt(int i, int j, int k) { return gWorld.nodes[i][j][k]->pushForce; }

  // Checks that the nodes selected by `onFace` carry `expected` and all others nothing.
  template <typename OnFace> static void expectFacePush(OnFace onFace, Vector3 expected) {
    const Vector3 zero(0.0, 0.0, 0.0);
    int pushed = 0;
    for (int i = 0; i < gWorld.nodesX; ++i)
      for (int j = 0; j < gWorld.nodesY; ++j)
        for (int k = 0; k < gWorld.nodesZ; ++k) {
          const bool inFace = onFace(i, j, k);
          pushed += inFace ? 1 : 0;
          const Vector3 got = pushAt(i, j, k);
          const Vector3 want = inFace ? expected : zero;
          EXPECT_EQ(got.x, want.x) << "node " << i << "," << j << "," << k;
          EXPECT_EQ(got.y, want.y) << "node " << i << "," << j << "," << k;
          EXPECT_EQ(got.z, want.z) << "node " << i << "," << j << "," << k;
        }
    EXPECT_GT(pushed, 0);
  }
};

TEST(MouseButtonTable, MapsTheThreeButtonsAndNothingElse) {
  EXPECT_EQ(pushModeForButton(GLUT_LEFT_BUTTON), 0);
  EXPECT_EQ(pushModeForButton(GLUT_RIGHT_BUTTON), 1);
  EXPECT_EQ(pushModeForButton(GLUT_MIDDLE_BUTTON), 2);
  // Wheel "buttons" (3, 4), extra buttons and nonsense values do not kick.
  for (int button : {-1, 3, 4, 5, 8, 1000})
    EXPECT_EQ(pushModeForButton(button), -1) << "button " << button;
}

TEST_F(MouseTest, LeftReleaseShovesTheLeftFaceRight) {
  mouse(GLUT_LEFT_BUTTON, GLUT_UP, 10, 20);
  expectFacePush([](int i, int, int) { return i == 0; }, Vector3(225.0, 0.0, 0.0));
}

TEST_F(MouseTest, RightReleaseShovesTheRightFaceLeft) {
  mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 10, 20);
  const int last = gWorld.nodesX - 1;
  expectFacePush([last](int i, int, int) { return i == last; }, Vector3(-225.0, 0.0, 0.0));
}

TEST_F(MouseTest, MiddleReleaseLiftsTheBottomFace) {
  mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 10, 20);
  expectFacePush([](int, int j, int) { return j == 0; }, Vector3(0.0, 225.0, 0.0));
}

TEST_F(MouseTest, TwoReleasesBeforeAStepAddUp) {
  mouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
  mouse(GLUT_LEFT_BUTTON, GLUT_UP, 299, 299);
  expectFacePush([](int i, int, int) { return i == 0; }, Vector3(450.0, 0.0, 0.0));
}

TEST_F(MouseTest, ReleaseActsLikeWorldPushWhereverItHappens) {
  // Each release leaves exactly the pending pushes that World::push with its mode leaves.
  for (int button : {GLUT_LEFT_BUTTON, GLUT_RIGHT_BUTTON, GLUT_MIDDLE_BUTTON}) {
    clearPushes(gWorld);
    mouse(button, GLUT_UP, -50, 12345); // outside the window: position is irrelevant
    const std::vector<PointState> viaMouse = snapshot(gWorld);
    clearPushes(gWorld);
    gWorld.push(pushModeForButton(button));
    EXPECT_TRUE(snapshot(gWorld) == viaMouse) << "button " << button;
  }
}

TEST_F(MouseTest, PressesAndOtherButtonsDoNothing) {
  const std::vector<PointState> before = snapshot(gWorld);
  for (int button : {GLUT_LEFT_BUTTON, GLUT_RIGHT_BUTTON, GLUT_MIDDLE_BUTTON})
    mouse(button, GLUT_DOWN, 100, 100);
  for (int button : {3, 4, 7, -1}) {
    mouse(button, GLUT_DOWN, 100, 100);
    mouse(button, GLUT_UP, 100, 100);
  }
  // A state that is neither press nor release is not a release either.
  mouse(GLUT_LEFT_BUTTON, 7, 100, 100);
  EXPECT_TRUE(snapshot(gWorld) == before);
}

} // namespace
