#include "tools/sim/SceneRib.h"

#include <cstdio>
#include <vector>

#include "rib/RiContext.h"
#include "sim/SphereObstacle.h"
#include "sim/World.h"

namespace simtool {
namespace {

char *text(const char *literal) { return const_cast<char *>(literal); }

// Lines (springs, reference lines) are thin ribbons this wide, in world units: about one pixel of
// the 300-pixel view of 10 units.
constexpr RtFloat kLineWidth = 0.03f;
// The bounds reach this far, like the window's planes (clipped by the view volume).
constexpr RtFloat kPlaneExtent = 100.0f;

void writeCamera(RiContext &rib, int frame) {
    char image[32];
    std::snprintf(image, sizeof image, "wobblerama.%04d.tif", frame);
    rib.FrameBegin(frame);
    rib.Display(image, text("file"), text("rgb"), RI_NULL);
    rib.Format(300, 300, 1.0f);
    rib.Projection(text("orthographic"), RI_NULL);
    rib.ScreenWindow(-5.0f, 5.0f, -5.0f, 5.0f);
    rib.Clipping(5.0f, 15.0f);
    // World (right-handed, as OpenGL's) to camera (left-handed, 10 units in front of the eye).
    rib.Translate(0.0f, 0.0f, 10.0f);
    rib.Scale(1.0f, 1.0f, -1.0f);
}

void writeColor(RiContext &rib, RtFloat r, RtFloat g, RtFloat b) {
    RtColor color = {r, g, b};
    rib.Color(color);
}

void writeSpheres(RiContext &rib, World &world) {
    for (Obstacle *obstacle : world.obstacles) {
        auto *sphere = dynamic_cast<SphereObstacle *>(obstacle);
        if (!sphere) continue;
        auto radius = static_cast<RtFloat>(sphere->radius);
        rib.AttributeBegin();
        writeColor(rib, 0.0f, 0.8f, 0.0f);
        rib.Translate(static_cast<RtFloat>(sphere->center.x), static_cast<RtFloat>(sphere->center.y),
                      static_cast<RtFloat>(sphere->center.z));
        rib.Sphere(radius, -radius, radius, 360.0f, RI_NULL);
        rib.AttributeEnd();
    }
}

void writeWall(RiContext &rib, RtFloat x) {
    RtFloat corners[12] = {x, -kPlaneExtent, -kPlaneExtent, x, kPlaneExtent, -kPlaneExtent,
                           x, kPlaneExtent,  kPlaneExtent,  x, -kPlaneExtent, kPlaneExtent};
    rib.Polygon(4, RI_P, static_cast<RtPointer>(corners), RI_NULL);
}

void writeBounds(RiContext &rib, World &world) {
    auto floorY = static_cast<RtFloat>(world.floorY);
    auto minX = static_cast<RtFloat>(world.wallMinX);
    auto maxX = static_cast<RtFloat>(world.wallMaxX);
    writeColor(rib, 0.0f, 0.3f, 0.5f);
    writeWall(rib, maxX);
    writeWall(rib, minX);
    writeColor(rib, 0.5f, 0.0f, 0.5f);
    RtFloat floor[12] = {-kPlaneExtent, floorY, -kPlaneExtent, kPlaneExtent, floorY, -kPlaneExtent,
                         kPlaneExtent,  floorY, kPlaneExtent,  -kPlaneExtent, floorY, kPlaneExtent};
    rib.Polygon(4, RI_P, static_cast<RtPointer>(floor), RI_NULL);

    writeColor(rib, 1.0f, 0.0f, 0.0f);
    RtInt twoEach[3] = {2, 2, 2};
    RtFloat lines[18] = {maxX, -kPlaneExtent, 0, maxX, kPlaneExtent, 0,
                         minX, -kPlaneExtent, 0, minX, kPlaneExtent, 0,
                         -kPlaneExtent, floorY, 0, kPlaneExtent, floorY, 0};
    RtFloat width = kLineWidth;
    rib.Curves(text("linear"), 3, twoEach, text("nonperiodic"), RI_P, static_cast<RtPointer>(lines),
               RI_CONSTANTWIDTH, static_cast<RtPointer>(&width), RI_NULL);
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
    RtFloat width = kLineWidth;
    writeColor(rib, 1.0f, 1.0f, 1.0f);
    rib.Curves(text("linear"), static_cast<RtInt>(count), twoEach.data(), text("nonperiodic"), RI_P,
               static_cast<RtPointer>(points.data()), RI_CONSTANTWIDTH,
               static_cast<RtPointer>(&width), RI_NULL);
}

}  // namespace

void writeSceneFrame(RiContext &rib, World &world, int frame) {
    writeCamera(rib, frame);
    rib.WorldBegin();
    rib.Surface(text("constant"), RI_NULL);
    writeSpheres(rib, world);
    rib.AttributeBegin();
    rib.Rotate(15.0f, 1.0f, 1.0f, 0.0f);
    writeBounds(rib, world);
    writeSprings(rib, world);
    rib.AttributeEnd();
    rib.WorldEnd();
    rib.FrameEnd();
}

}  // namespace simtool
