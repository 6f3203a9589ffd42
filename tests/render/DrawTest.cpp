// The exact OpenGL call stream of the drawing, recorded without a display.
#include "render/Draw.h"

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GlRecorder.h"

namespace {

using Calls = std::vector<std::string>;

// Keeps the bodies' progress lines out of the test log.
struct QuietConsole {
  std::ostringstream sink;
  std::streambuf *saved = std::cout.rdbuf(sink.rdbuf());
  ~QuietConsole() { std::cout.rdbuf(saved); }
};

Calls record(void (*draw)(void *), void *object) {
  glCalls().clear();
  draw(object);
  return glCalls();
}

Calls sphereCalls(const char *translate, const char *sphere) {
  return {"glColor3f(0,0.800000012,0)",
          "gluQuadricDrawStyle(100012)",
          "gluQuadricOrientation(100020)",
          "gluQuadricNormals(100000)",
          "gluQuadricTexture(0)",
          "glPushMatrix()",
          translate,
          "glMaterialfv(1028,4609,0,1,0,1)",
          sphere,
          "glPopMatrix()"};
}

Calls boundsCalls() {
  return {"glPushMatrix()",
          "glRotatef(15,1,1,0)",
          "glColor3f(0,0.300000012,0.5)",
          "glBegin(9)",
          "glVertex3f(4,-100,-100)",
          "glVertex3f(4,100,-100)",
          "glVertex3f(4,100,100)",
          "glVertex3f(4,-100,100)",
          "glEnd()",
          "glBegin(9)",
          "glVertex3f(-4,-100,-100)",
          "glVertex3f(-4,100,-100)",
          "glVertex3f(-4,100,100)",
          "glVertex3f(-4,-100,100)",
          "glEnd()",
          "glColor3f(0.5,0,0.5)",
          "glBegin(9)",
          "glVertex3f(-100,-4,-100)",
          "glVertex3f(100,-4,-100)",
          "glVertex3f(100,-4,100)",
          "glVertex3f(-100,-4,100)",
          "glEnd()",
          "glColor3f(1,0,0)",
          "glBegin(1)",
          "glVertex3f(4,-100,0)",
          "glVertex3f(4,100,0)",
          "glEnd()",
          "glBegin(1)",
          "glVertex3f(-4,-100,0)",
          "glVertex3f(-4,100,0)",
          "glEnd()",
          "glBegin(1)",
          "glVertex3f(-100,-4,0)",
          "glVertex3f(100,-4,0)",
          "glEnd()",
          "glColor3f(1,1,1)",
          "glPopMatrix()"};
}

Calls springCalls(const char *from, const char *to) {
  return {"glPushMatrix()", "glRotatef(15,1,1,0)", "glColor3f(1,1,1)", "glBegin(1)", from, to,
          "glEnd()",        "glPopMatrix()"};
}

// Reports the first differing call, which a whole-vector comparison hides.
void expectCalls(const Calls &expected, const Calls &actual) {
  size_t common = std::min(expected.size(), actual.size());
  for (size_t n = 0; n < common; ++n) ASSERT_EQ(expected[n], actual[n]) << "call " << n;
  EXPECT_EQ(expected.size(), actual.size());
}

void append(Calls &to, const Calls &more) { to.insert(to.end(), more.begin(), more.end()); }

TEST(DrawTest, SphereIsAFlatGreenQuadricAroundItsCentre) {
  SphereObstacle sphere(Vector3(1.5, 2, 0), 1.0);
  Calls calls = record([](void *s) { drawSphere(*static_cast<SphereObstacle *>(s)); }, &sphere);
  expectCalls(sphereCalls("glTranslatef(1.5,2,0)", "gluSphere(1,20,20)"), calls);
}

TEST(DrawTest, SpringIsOneTurnedWhiteLine) {
  MassPoint a(Vector3(0.25, -4, 0), 1), b(Vector3(1, 2, -3.5), 1);
  Spring spring(&a, &b, 1, 1, 0);
  Calls calls = record([](void *s) { drawSpring(*static_cast<Spring *>(s)); }, &spring);
  expectCalls(springCalls("glVertex3f(0.25,-4,0)", "glVertex3f(1,2,-3.5)"), calls);
}

TEST(DrawTest, BodyDrawsBoundsThenEverySpringInOrder) {
  QuietConsole quiet;
  SoftBody body(1, 0, 0, 2.0, 600, 0.01, 0.5); // two nodes, one spring
  SoftBody empty;
  Calls calls = record([](void *b) { drawBody(*static_cast<SoftBody *>(b)); }, &body);
  Calls expected = boundsCalls();
  append(expected, springCalls("glVertex3f(-1,-0,-0)", "glVertex3f(1,-0,-0)"));
  expectCalls(expected, calls);
  // Without springs the bounds are still drawn.
  expectCalls(boundsCalls(),
              record([](void *b) { drawBody(*static_cast<SoftBody *>(b)); }, &empty));
}

TEST(DrawTest, WorldDrawsSpheresFirstThenTheBody) {
  QuietConsole quiet;
  World world;
  Calls calls = record([](void *w) { drawWorld(*static_cast<World *>(w)); }, &world);
  Calls expected = sphereCalls("glTranslatef(0,-2,0)", "gluSphere(1,20,20)");
  append(expected, sphereCalls("glTranslatef(1.5,2,0)", "gluSphere(1,20,20)"));
  append(expected, boundsCalls());
  ASSERT_EQ(expected.size() + 245 * 8, calls.size());
  expectCalls(expected, Calls(calls.begin(), calls.begin() + expected.size()));
  expectCalls(springCalls("glVertex3f(-2.25,-0.375,-0.75)", "glVertex3f(-1.5,-0.375,-0.75)"),
              Calls(calls.begin() + expected.size(), calls.begin() + expected.size() + 8));
}

} // namespace
