#include "app/Callbacks.h"

#include <gtest/gtest.h>

#include "WorldSnapshot.h"
#include "app/GlobalWorld.h"

namespace {

TEST(InputCallbacks, KeysAndPointerMotionChangeNothing) {
  gWorld.push(2); // a pending kick must survive untouched as well
  const std::vector<PointState> before = snapshot(gWorld);
  for (unsigned char key : {'a', 'q', ' ', '\x1b', '\r', '\x7f'}) keyboard(key, 150, 150);
  for (int x : {-10, 0, 150, 299, 5000}) {
    motion(x, x / 2);
    passiveMotion(x, 300 - x);
  }
  EXPECT_TRUE(snapshot(gWorld) == before);
  clearPushes(gWorld);
}

} // namespace
