// Light sources and retained objects: the requests of the shader family that number what they
// make (the shaders, Illuminate and the solid blocks are written from their rows in
// rib/RiRequests.def).
//
// Lights and objects are numbered in the RIB stream, per context and from 1; the number is also
// the handle returned to the caller, carried in the handle type (it points to nothing).
// LightSource and AreaLightSource draw from one sequence.
#include <cstdint>

#include "Diagnostics.h"
#include "RibWriter.h"

namespace {

RtPointer handleOf(int32_t number) {
  return reinterpret_cast<RtPointer>(static_cast<intptr_t>(number));
}

// The keyword, the shader's name, the light's number, then the parameter list.
// A light without a shader name has no RIB form: it is left out and takes no number.
RtLightHandle writeLight(rib::RibWriter &rib, const char *keyword, RtToken name, RtInt n,
                         RtToken tokens[], RtPointer values[]) {
  if (!name) {
    rib::reportError(RIE_MISSINGDATA, "Ri%s without a name; the request is left out", keyword);
    return nullptr;
  }
  int32_t number = rib.nextLightHandle++;
  rib.encoder.writeKeyword(keyword);
  rib.encoder.writeParamList(name, number, n, tokens, values);
  return handleOf(number);
}

} // namespace

RtLightHandle rib::RibWriter::LightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                           RtPointer values[]) {
  return writeLight(*this, "LightSource", name, n, tokens, values);
}

RtLightHandle rib::RibWriter::AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                               RtPointer values[]) {
  return writeLight(*this, "AreaLightSource", name, n, tokens, values);
}

RtObjectHandle rib::RibWriter::ObjectBegin() {
  int32_t number = nextObjectHandle++;
  encoder.writeKeyword("ObjectBegin");
  encoder.writeArguments(static_cast<RtInt>(number));
  encoder.endLine();
  encoder.openBlock();
  return handleOf(number);
}
