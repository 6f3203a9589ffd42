#include <GL/gl.h>

#include "render/Draw.h"
#include "render/SceneLook.h"

namespace {

void color(look::Rgb rgb) { glColor3f(rgb.r, rgb.g, rgb.b); }

void turnLikeTheBody() {
  glRotatef(look::kBodyTurnDegrees, look::kBodyTurnAxis[0], look::kBodyTurnAxis[1],
            look::kBodyTurnAxis[2]);
}

void vertex(double x, double y, double z) {
  glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void vertex(const look::ScenePoint &p) { vertex(p.x, p.y, p.z); }

// The planes reach far outside the view and are clipped by it.
void polygon(const look::Quad &quad) {
  glBegin(GL_POLYGON);
  for (const look::ScenePoint &corner : quad.corners) vertex(corner);
  glEnd();
}

void line(const look::Segment &segment) {
  glBegin(GL_LINES);
  vertex(segment.from);
  vertex(segment.to);
  glEnd();
}

} // namespace

void drawBody(const SoftBody &body) {
  glPushMatrix();
  turnLikeTheBody();
  color(look::kWallColor);
  polygon(look::wallQuad(body.wallMaxX));
  polygon(look::wallQuad(body.wallMinX));
  color(look::kFloorColor);
  polygon(look::floorQuad(body.floorY));
  color(look::kReferenceLineColor);
  const look::ReferenceLines reference =
      look::referenceLines(body.wallMinX, body.wallMaxX, body.floorY);
  for (const look::Segment &segment : reference.lines) line(segment);
  color(look::kSpringColor);
  glPopMatrix();
  for (const Spring *spring : body.springs) drawSpring(*spring);
}

void drawSpring(const Spring &spring) {
  glPushMatrix();
  turnLikeTheBody();
  color(look::kSpringColor);
  glBegin(GL_LINES);
  vertex(spring.a->position.x, spring.a->position.y, spring.a->position.z);
  vertex(spring.b->position.x, spring.b->position.y, spring.b->position.z);
  glEnd();
  glPopMatrix();
}
