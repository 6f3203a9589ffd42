#include "sim/Vector3.h"

#include <gtest/gtest.h>

#include "ConsoleCapture.h"

namespace {

void expectVector(Vector3 expected, Vector3 actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

TEST(Vector3Test, ArithmeticIsComponentwise) {
  Vector3 a(1, 2, 3), b(4, -5, 6);
  expectVector(Vector3(5, -3, 9), a + b);
  expectVector(Vector3(-3, 7, -3), a - b);
  expectVector(Vector3(2, 4, 6), a * 2.0);
  expectVector(Vector3(-1, -2, -3), -a);
  Vector3 c = a;
  (c += b) -= Vector3(1, 1, 1);
  expectVector(Vector3(4, -4, 8), c);
  (c *= 0.5) /= 2.0;
  expectVector(Vector3(1, -1, 2), c);
  EXPECT_TRUE(a == Vector3(1, 2, 3));
  EXPECT_FALSE(a == Vector3(1, 2, 3.0000001));
}

TEST(Vector3Test, DivisionDividesEachComponent) {
  // 5 / 3 and 5 * (1 / 3) differ in the last bit: no reciprocal multiply.
  Vector3 q = Vector3(5, 7, 1) / 3.0;
  EXPECT_EQ(5.0 / 3.0, q.x);
  EXPECT_EQ(7.0 / 3.0, q.y);
  EXPECT_NE(5.0 * (1.0 / 3.0), q.x);
  Vector3 r(5, 7, 1);
  r /= 3.0;
  expectVector(q, r);
}

TEST(Vector3Test, ProductsAndLengths) {
  EXPECT_EQ(32.0, Vector3(1, 2, 3).dot(Vector3(4, 5, 6)));
  expectVector(Vector3(0, 0, 1), Vector3(1, 0, 0).cross(Vector3(0, 1, 0)));
  expectVector(Vector3(0, 0, -1), Vector3(0, 1, 0).cross(Vector3(1, 0, 0)));
  Vector3 inPlace(1, 0, 0);
  inPlace.crossWith(Vector3(0, 1, 0));
  expectVector(Vector3(0, 0, 1), inPlace);
  EXPECT_EQ(5.0, Vector3(3, 0, 4).length());
  EXPECT_EQ(4.0, Vector3(1, 2, 3).distanceSquared(Vector3(1, 2, 5)));
}

TEST(Vector3Test, NormalizingZeroGivesZero) {
  expectVector(Vector3(0.6, 0, 0.8), Vector3(3, 0, 4).normalized());
  expectVector(Vector3(0, 0, 0), Vector3(0, 0, 0).normalized());
  Vector3 p(1.5, -2, 7);
  expectVector(Vector3(0, 0, 0), p.directionTo(p));
  expectVector(Vector3(0, -1, 0), p.directionTo(Vector3(1.5, -12, 7)));
  // No epsilon: a tiny vector is still a direction.
  expectVector(Vector3(1, 0, 0), Vector3(1e-150, 0, 0).normalized());
}

TEST(Vector3Test, ClearAndPrint) {
  Vector3 v(1, -0.5, 2);
  ConsoleCapture out;
  v.print();
  EXPECT_EQ("(1,-0.5,2)", out.text());
  expectVector(Vector3(0, 0, 0), v.clear());
}

} // namespace
