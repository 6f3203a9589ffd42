// Shaders, light sources, Illuminate, solid blocks and retained objects.
//
// Lights and objects are numbered in the RIB stream, per context and from 1; the number is also
// the handle returned to the caller, carried in the handle type (it points to nothing).
// LightSource and AreaLightSource draw from one sequence.
#include <cstdint>

#include "rib/RibWriter.h"

namespace {

RtPointer handleOf(int32_t number) { return reinterpret_cast<RtPointer>(static_cast<intptr_t>(number)); }

long numberOf(RtPointer handle) { return static_cast<long>(reinterpret_cast<intptr_t>(handle)); }

} // namespace

// ---- Shaders: the keyword, then the name and the parameters ----

RtVoid RibWriter::SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Surface");
  writeParamList(name, 0, n, tokens, values);
}

RtVoid RibWriter::DisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Displacement");
  writeParamList(name, 0, n, tokens, values);
}

RtVoid RibWriter::AtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Atmosphere");
  writeParamList(name, 0, n, tokens, values);
}

RtVoid RibWriter::InteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Interior");
  writeParamList(name, 0, n, tokens, values);
}

RtVoid RibWriter::ExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Exterior");
  writeParamList(name, 0, n, tokens, values);
}

RtVoid RibWriter::ImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Imager");
  writeParamList(name, 0, n, tokens, values);
}

// ---- Lights: the light's number follows its name ----

RtLightHandle RibWriter::LightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                      RtPointer values[]) {
  int32_t number = nextLightHandle++;
  writeRaw("LightSource");
  writeParamList(name, number, n, tokens, values);
  return handleOf(number);
}

RtLightHandle RibWriter::AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                          RtPointer values[]) {
  int32_t number = nextLightHandle++;
  writeRaw("AreaLightSource");
  writeParamList(name, number, n, tokens, values);
  return handleOf(number);
}

RtVoid RibWriter::Illuminate(RtLightHandle light, RtBoolean onoff) {
  writeFormatted("Illuminate %ld %d\n", numberOf(light), static_cast<int>(onoff));
}

// ---- Solids ----

RtVoid RibWriter::SolidBegin(RtToken operation) { writeFormatted("SolidBegin \"%s\"\n", operation); }
RtVoid RibWriter::SolidEnd() { writeRaw("SolidEnd\n"); }

// ---- Retained objects ----

RtObjectHandle RibWriter::ObjectBegin() {
  int32_t number = nextObjectHandle++;
  writeFormatted("ObjectBegin %d\n", number);
  return handleOf(number);
}

RtVoid RibWriter::ObjectEnd() { writeRaw("ObjectEnd\n"); }

RtVoid RibWriter::ObjectInstance(RtObjectHandle handle) {
  writeFormatted("ObjectInstance %ld\n", numberOf(handle));
}
