#include "tools/sim/SceneRib.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "render/SceneLook.h"
#include "rib/RiContext.h"
#include "sim/SphereObstacle.h"
#include "sim/World.h"
#include "tools/sim/ViewClip.h"

namespace simtool {
namespace {

char *text(const char *literal) { return const_cast<char *>(literal); }

// The eye looks at the middle of the view box from this far away, so that the clipping planes
// fall on the box's near and far faces.
constexpr RtFloat kEyeDistance = 2.0f * look::kViewHalfSize;

void writeCamera(RiContext &rib, int frame) {
  char image[32];
  std::snprintf(image, sizeof image, "wobblerama.%04d.tif", frame);
  const RtFloat h = look::kViewHalfSize;
  rib.FrameBegin(frame);
  rib.Display(image, text("file"), text("rgb"), RI_NULL);
  rib.Format(300, 300, 1.0f);
  rib.Projection(text("orthographic"), RI_NULL);
  rib.ScreenWindow(-h, h, -h, h);
  rib.Clipping(kEyeDistance - h, kEyeDistance + h);
  // World (right-handed, as OpenGL's) to camera (left-handed, in front of the eye).
  rib.Translate(0.0f, 0.0f, kEyeDistance);
  rib.Scale(1.0f, 1.0f, -1.0f);
}

void writeColor(RiContext &rib, look::Rgb rgb) {
  RtColor color = {rgb.r, rgb.g, rgb.b};
  rib.Color(color);
}

void writeSpheres(RiContext &rib, World &world) {
  for (Obstacle *obstacle : world.obstacles) {
    auto *sphere = dynamic_cast<SphereObstacle *>(obstacle);
    if (!sphere) continue;
    auto radius = static_cast<RtFloat>(sphere->radius);
    rib.AttributeBegin();
    writeColor(rib, look::kSphereColor);
    rib.Translate(static_cast<RtFloat>(sphere->center.x), static_cast<RtFloat>(sphere->center.y),
                  static_cast<RtFloat>(sphere->center.z));
    rib.Sphere(radius, -radius, radius, 360.0f, RI_NULL);
    rib.AttributeEnd();
  }
}

Vector3 toVector(const look::ScenePoint &p) { return Vector3(p.x, p.y, p.z); }

void appendFloats(std::vector<RtFloat> &to, Vector3 p) {
  to.push_back(static_cast<RtFloat>(p.x));
  to.push_back(static_cast<RtFloat>(p.y));
  to.push_back(static_cast<RtFloat>(p.z));
}

// The part of `quad` that the view shows, as one polygon. Vertices that round to the same floats
// as their neighbour (the polygon passing through an edge or corner of the box) are written once;
// a polygon left with no area, or clipped away entirely, is not written at all.
void writeVisiblePart(RiContext &rib, const look::Quad &quad, const ViewBox &box) {
  std::vector<Vector3> corners;
  for (const look::ScenePoint &corner : quad.corners) corners.push_back(toVector(corner));
  std::vector<RtFloat> points;
  for (Vector3 p : clipPolygon(corners, box)) {
    appendFloats(points, p);
    const std::size_t n = points.size();
    if (n >= 6 && std::equal(points.end() - 3, points.end(), points.end() - 6))
      points.resize(n - 3);
  }
  while (points.size() >= 6 && std::equal(points.end() - 3, points.end(), points.begin()))
    points.resize(points.size() - 3);
  const auto count = static_cast<RtInt>(points.size() / 3);
  if (count < 3) return;
  // Twice the area vector (Newell): zero when every vertex lies on one line.
  Vector3 area(0, 0, 0);
  for (RtInt i = 0; i < count; ++i) {
    const RtFloat *a = &points[3 * i], *b = &points[3 * ((i + 1) % count)];
    area += Vector3(a[0], a[1], a[2]).cross(Vector3(b[0], b[1], b[2]));
  }
  if (area.dot(area) == 0.0) return;
  rib.Polygon(count, RI_P, static_cast<RtPointer>(points.data()), RI_NULL);
}

void writeBounds(RiContext &rib, World &world) {
  const ViewBox box = viewBoxInTurnedFrame(
      look::kViewHalfSize, look::kBodyTurnDegrees,
      Vector3(look::kBodyTurnAxis[0], look::kBodyTurnAxis[1], look::kBodyTurnAxis[2]));
  writeColor(rib, look::kWallColor);
  writeVisiblePart(rib, look::wallQuad(world.wallMaxX), box);
  writeVisiblePart(rib, look::wallQuad(world.wallMinX), box);
  writeColor(rib, look::kFloorColor);
  writeVisiblePart(rib, look::floorQuad(world.floorY), box);

  const look::ReferenceLines reference =
      look::referenceLines(world.wallMinX, world.wallMaxX, world.floorY);
  std::vector<RtFloat> lines;
  for (const look::Segment &line : reference.lines) {
    Vector3 from = toVector(line.from), to = toVector(line.to);
    if (!clipSegment(from, to, box)) continue;
    appendFloats(lines, from);
    appendFloats(lines, to);
    // Both ends on the same float: nothing to draw.
    if (std::equal(lines.end() - 3, lines.end(), lines.end() - 6)) lines.resize(lines.size() - 6);
  }
  if (lines.empty()) return;
  writeColor(rib, look::kReferenceLineColor);
  const auto count = static_cast<RtInt>(lines.size() / 6);
  std::vector<RtInt> twoEach(static_cast<std::size_t>(count), 2);
  RtFloat width = look::kLineWidth;
  rib.Curves(text("linear"), count, twoEach.data(), text("nonperiodic"), RI_P,
             static_cast<RtPointer>(lines.data()), RI_CONSTANTWIDTH, static_cast<RtPointer>(&width),
             RI_NULL);
}

void writeSprings(RiContext &rib, World &world) {
  size_t count = world.springs.size();
  if (count == 0) return;
  std::vector<RtInt> twoEach(count, 2);
  std::vector<RtFloat> points;
  points.reserve(count * 6);
  for (Spring *spring : world.springs) {
    for (MassPoint *end : {spring->a, spring->b}) {
      points.push_back(static_cast<RtFloat>(end->position.x));
      points.push_back(static_cast<RtFloat>(end->position.y));
      points.push_back(static_cast<RtFloat>(end->position.z));
    }
  }
  RtFloat width = look::kLineWidth;
  writeColor(rib, look::kSpringColor);
  rib.Curves(text("linear"), static_cast<RtInt>(count), twoEach.data(), text("nonperiodic"), RI_P,
             static_cast<RtPointer>(points.data()), RI_CONSTANTWIDTH,
             static_cast<RtPointer>(&width), RI_NULL);
}

} // namespace

void setSceneRibPrecision() {
  static char rib[] = "rib", precision[] = "precision";
  RtInt digits = 9;
  RiOption(rib, precision, &digits, RI_NULL);
}

void writeSceneFrame(RiContext &rib, World &world, int frame) {
  writeCamera(rib, frame);
  rib.WorldBegin();
  rib.Surface(text("constant"), RI_NULL);
  writeSpheres(rib, world);
  rib.AttributeBegin();
  rib.Rotate(look::kBodyTurnDegrees, look::kBodyTurnAxis[0], look::kBodyTurnAxis[1],
             look::kBodyTurnAxis[2]);
  writeBounds(rib, world);
  writeSprings(rib, world);
  rib.AttributeEnd();
  rib.WorldEnd();
  rib.FrameEnd();
}

} // namespace simtool
