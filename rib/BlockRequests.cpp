// Frame, world, attribute and transform blocks, the attributes of the graphics state, the
// transformations and motion blocks: one RIB line per call, written at once and in call order.
//
// Numbers that go through writeFloat/writeFloats follow the binary flag; numbers in a format
// string are always text. The writer keeps no graphics state and checks no nesting.
#include <cstdarg>
#include <cstdio>

#include "rib/GatheredParams.h"
#include "rib/RibWriter.h"

namespace {

// A request whose fixed-size array is missing is left out whole, after one line saying so:
// half a request would run into the next one.
bool hasArray(const void *array, const char *request, const char *what) {
  if (array) return true;
  std::fprintf(stderr, "zizurezar error: %s without %s; the request is left out\n", request,
               what);
  return false;
}

} // namespace

// ---- Frame and world blocks ----

RtVoid RibWriter::FrameBegin(RtInt frame) { writeFormatted("FrameBegin %d\n", frame); }
RtVoid RibWriter::FrameEnd() { writeRaw("FrameEnd\n"); }
RtVoid RibWriter::WorldBegin() { writeRaw("WorldBegin\n"); }

RtVoid RibWriter::WorldEnd() {
  writeRaw("WorldEnd\n");
  // A reader of the file or pipe sees the whole world block from here on.
  if (stream) fflush(stream);
}

// ---- Attribute block and attributes ----

RtVoid RibWriter::AttributeBegin() { writeRaw("AttributeBegin\n"); }
RtVoid RibWriter::AttributeEnd() { writeRaw("AttributeEnd\n"); }

RtVoid RibWriter::Color(RtColor color) {
  if (!hasArray(color, "RiColor", "a color")) return;
  writeRaw("Color ");
  writeFloats(color, 3);
  writeRaw("\n");
}

RtVoid RibWriter::Opacity(RtColor color) {
  if (!hasArray(color, "RiOpacity", "a color")) return;
  writeRaw("Opacity ");
  writeFloats(color, 3);
  writeRaw("\n");
}

RtVoid RibWriter::TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3,
                                     RtFloat t3, RtFloat s4, RtFloat t4) {
  writeFormatted("TextureCoordinates [ %g %g %g %g %g %g %g %g ]\n", s1, t1, s2, t2, s3, t3, s4,
                 t4);
}

RtVoid RibWriter::ShadingRate(RtFloat size) { writeFormatted("ShadingRate %g\n", size); }

RtVoid RibWriter::ShadingInterpolation(RtToken type) {
  writeFormatted("ShadingInterpolation \"%s\"\n", type);
}

RtVoid RibWriter::Matte(RtBoolean onoff) { writeFormatted("Matte %d\n", static_cast<int>(onoff)); }

RtVoid RibWriter::Bound(RtBound bound) {
  if (!hasArray(bound, "RiBound", "a bound")) return;
  writeRaw("Bound ");
  writeFloats(bound, 6);
  writeRaw("\n");
}

RtVoid RibWriter::Detail(RtBound bound) {
  if (!hasArray(bound, "RiDetail", "a bound")) return;
  writeRaw("Detail ");
  writeFloats(bound, 6);
  writeRaw("\n");
}

RtVoid RibWriter::DetailRange(RtFloat minvisible, RtFloat lowertransition,
                              RtFloat uppertransition, RtFloat maxvisible) {
  writeFormatted("DetailRange %g %g %g %g\n", minvisible, lowertransition, uppertransition,
                 maxvisible);
}

RtVoid RibWriter::GeometricApproximation(RtToken type, RtFloat value) {
  writeFormatted("GeometricApproximation \"%s\" %g\n", type, value);
}

RtVoid RibWriter::GeometricRepresentation(RtToken type) {
  writeFormatted("GeometricRepresentation \"%s\"\n", type);
}

RtVoid RibWriter::Sides(RtInt sides) { writeFormatted("Sides %d\n", sides); }

RtVoid RibWriter::Orientation(RtToken orientation) {
  writeFormatted("Orientation \"%s\"\n", orientation);
}

RtVoid RibWriter::ReverseOrientation() { writeRaw("ReverseOrientation\n"); }

RtVoid RibWriter::AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Attribute");
  writeParamList(name, 0, n, tokens, values);
}

// ---- Transformations ----

RtVoid RibWriter::Identity() { writeRaw("Identity\n"); }

RtVoid RibWriter::ConcatTransform(RtMatrix transform) {
  if (!hasArray(transform, "RiConcatTransform", "a matrix")) return;
  writeRaw("ConcatTransform ");
  writeFloats(&transform[0][0], 16);
  writeRaw("\n");
}

RtVoid RibWriter::Transform(RtMatrix transform) {
  if (!hasArray(transform, "RiTransform", "a matrix")) return;
  writeRaw("Transform ");
  writeFloats(&transform[0][0], 16);
  writeRaw("\n");
}

RtVoid RibWriter::Perspective(RtFloat fov) { writeFormatted("Perspective %g\n", fov); }

RtVoid RibWriter::Translate(RtFloat dx, RtFloat dy, RtFloat dz) {
  writeRaw("Translate ");
  writeFloat(dx);
  writeFloat(dy);
  writeFloat(dz);
  writeRaw("\n");
}

RtVoid RibWriter::Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) {
  writeRaw("Rotate ");
  writeFloat(angle);
  writeFloat(dx);
  writeFloat(dy);
  writeFloat(dz);
  writeRaw("\n");
}

RtVoid RibWriter::Scale(RtFloat sx, RtFloat sy, RtFloat sz) {
  writeFormatted("Scale %g %g %g\n", sx, sy, sz);
}

RtVoid RibWriter::Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2,
                       RtFloat dy2, RtFloat dz2) {
  writeFormatted("Skew %g   %g %g %g   %g %g %g\n", angle, dx1, dy1, dz1, dx2, dy2, dz2);
}

RtVoid RibWriter::CoordinateSystem(RtToken space) {
  writeFormatted("CoordinateSystem \"%s\"\n", space);
}

RtVoid RibWriter::CoordSysTransform(RtToken space) {
  writeFormatted("CoordSysTransform \"%s\"\n", space);
}

RtPoint *RibWriter::TransformPoints(RtToken, RtToken, RtInt, RtPoint[]) {
  // A RIB writer has no transformation state to apply; callers get no points back.
  return nullptr;
}

RtVoid RibWriter::TransformBegin() { writeRaw("TransformBegin\n"); }
RtVoid RibWriter::TransformEnd() { writeRaw("TransformEnd\n"); }

// ---- Motion blocks ----

RtVoid RibWriter::MotionBegin(RtInt n, ...) {
  va_list arguments;
  va_start(arguments, n);
  GatheredTimes times(n, arguments);
  va_end(arguments);
  MotionBeginV(times.count(), times.times());
}

RtVoid RibWriter::MotionBeginV(RtInt n, RtFloat times[]) {
  if (n > 0 && !hasArray(times, "RiMotionBegin", "its sample times")) return;
  writeRaw("MotionBegin ");
  writeFloats(times, n);
  writeRaw("\n");
}

RtVoid RibWriter::MotionEnd() { writeRaw("MotionEnd\n"); }
