// Frame, world, attribute and transform blocks, the attributes of the graphics state, the
// transformations and motion blocks: the requests of this family whose bodies are their own (the
// rest come from their rows in rib/RiRequests.def). One RIB line per call, written at once and in
// call order; the writer keeps no graphics state and checks no nesting.
#include <cstdarg>
#include <initializer_list>

#include "Diagnostics.h"
#include "GatheredParams.h"
#include "PrimitiveCounts.h"
#include "RibWriter.h"

namespace {

// A request whose fixed-size array is missing is left out whole, after one line saying so:
// half a request would run into the next one.
bool hasArray(const void *array, const char *request, const char *what) {
  if (array) return true;
  rib::reportError(RIE_MISSINGDATA, "%s without %s; the request is left out", request, what);
  return false;
}

// Color, Opacity, Bound, Detail, ConcatTransform, Transform: the keyword and one float array of
// fixed size, which follows the binary flag.
// `request` is the C procedure's name; the keyword is the name without "Ri".
void writeFixedArray(rib::RibEncoder &encoder, const char *request, const RtFloat *values, int n,
                     const char *what) {
  if (!hasArray(values, request, what)) return;
  encoder.writeKeyword(request + 2);
  encoder.writeChar(' ');
  encoder.writeFloats(values, n);
  encoder.endLine();
}

} // namespace

RtVoid rib::RibWriter::WorldEnd() {
  encoder.closeBlock();
  encoder.writeKeyword("WorldEnd");
  encoder.endLine();
  // A reader of the file or pipe sees the whole world block from here on.
  encoder.flushStream();
}

// ---- Attributes ----

RtVoid rib::RibWriter::Color(RtColor color) {
  writeFixedArray(encoder, "RiColor", color, 3, "a color");
}
RtVoid rib::RibWriter::Opacity(RtColor color) {
  writeFixedArray(encoder, "RiOpacity", color, 3, "a color");
}
RtVoid rib::RibWriter::Bound(RtBound bound) {
  writeFixedArray(encoder, "RiBound", bound, 6, "a bound");
}
RtVoid rib::RibWriter::Detail(RtBound bound) {
  writeFixedArray(encoder, "RiDetail", bound, 6, "a bound");
}

RtVoid rib::RibWriter::TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2,
                                          RtFloat s3, RtFloat t3, RtFloat s4, RtFloat t4) {
  encoder.writeKeyword("TextureCoordinates");
  encoder.writeChar(' ');
  encoder.writeChar('[');
  encoder.writeArguments(s1, t1, s2, t2, s3, t3, s4, t4);
  encoder.writeChar(' ');
  encoder.writeChar(']');
  encoder.endLine();
}

// ---- Transformations ----

RtVoid rib::RibWriter::ConcatTransform(RtMatrix transform) {
  writeFixedArray(encoder, "RiConcatTransform", transform ? &transform[0][0] : nullptr, 16,
                  "a matrix");
}

RtVoid rib::RibWriter::Transform(RtMatrix transform) {
  writeFixedArray(encoder, "RiTransform", transform ? &transform[0][0] : nullptr, 16, "a matrix");
}

// Translate and Rotate write their numbers as single float values, which follow the binary flag.
RtVoid rib::RibWriter::Translate(RtFloat dx, RtFloat dy, RtFloat dz) {
  encoder.writeKeyword("Translate");
  encoder.writeChar(' ');
  for (RtFloat value : {dx, dy, dz}) encoder.writeFloat(value);
  encoder.endLine();
}

RtVoid rib::RibWriter::Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) {
  encoder.writeKeyword("Rotate");
  encoder.writeChar(' ');
  for (RtFloat value : {angle, dx, dy, dz}) encoder.writeFloat(value);
  encoder.endLine();
}

RtVoid rib::RibWriter::Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2,
                            RtFloat dy2, RtFloat dz2) {
  // The angle and the two vectors stand apart by three blanks.
  encoder.writeKeyword("Skew");
  encoder.writeArguments(angle);
  encoder.writeChar(' ');
  encoder.writeChar(' ');
  encoder.writeArguments(dx1, dy1, dz1);
  encoder.writeChar(' ');
  encoder.writeChar(' ');
  encoder.writeArguments(dx2, dy2, dz2);
  encoder.endLine();
}

RtPoint *rib::RibWriter::TransformPoints(RtToken, RtToken, RtInt, RtPoint[]) {
  // A RIB writer has no transformation state to apply; callers get no points back.
  return nullptr;
}

// ---- Motion blocks ----

RtVoid rib::RibWriter::MotionBegin(RtInt n, ...) {
  va_list arguments;
  va_start(arguments, n);
  rib::GatheredTimes times(n, arguments, "RiMotionBegin");
  va_end(arguments);
  if (!times.lost()) MotionBeginV(times.count(), times.times());
}

RtVoid rib::RibWriter::MotionBeginV(RtInt n, RtFloat times[]) {
  if (rib::negativeCount("RiMotionBegin", "number of sample times", n)) return;
  if (n > 0 && !hasArray(times, "RiMotionBegin", "its sample times")) return;
  encoder.writeKeyword("MotionBegin");
  encoder.writeChar(' ');
  encoder.writeFloats(times, n);
  encoder.endLine();
  encoder.openBlock();
}
