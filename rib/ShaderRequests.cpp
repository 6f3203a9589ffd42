// Placeholder: these requests write nothing until their family is implemented.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

RtVoid RibWriter::Surface(RtToken name, ...) {}
RtVoid RibWriter::SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Displacement(RtToken name, ...) {}
RtVoid RibWriter::DisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Atmosphere(RtToken name, ...) {}
RtVoid RibWriter::AtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Interior(RtToken name, ...) {}
RtVoid RibWriter::InteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Exterior(RtToken name, ...) {}
RtVoid RibWriter::ExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Imager(RtToken name, ...) {}
RtVoid RibWriter::ImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtLightHandle RibWriter::LightSource(RtToken name, ...) { return nullptr; }
RtLightHandle RibWriter::LightSourceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) { return nullptr; }
RtLightHandle RibWriter::AreaLightSource(RtToken name, ...) { return nullptr; }
RtLightHandle RibWriter::AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) { return nullptr; }
RtVoid RibWriter::Illuminate(RtLightHandle light, RtBoolean onoff) {}
RtVoid RibWriter::SolidBegin(RtToken operation) {}
RtVoid RibWriter::SolidEnd() {}
RtObjectHandle RibWriter::ObjectBegin() { return nullptr; }
RtVoid RibWriter::ObjectEnd() {}
RtVoid RibWriter::ObjectInstance(RtObjectHandle handle) {}
