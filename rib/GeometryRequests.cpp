// Procedural primitives and the generic Geometry request. The geometry families live in files
// named after them: QuadricRequests.cpp, PolygonRequests.cpp, PatchRequests.cpp (basis, patches,
// NURBS and trim curves), CurveRequests.cpp (curves, points) and MeshRequests.cpp (subdivision
// meshes, blobbies); their value counts in PrimitiveCounts.cpp.
#include <cstdio>

#include "rib/RibWriter.h"

namespace {

// The three procedural kinds, chosen by the identity of the subdivide function. The format takes
// the first one or two texts of the caller's data.
struct ProceduralKind {
  RtProcSubdivFunc subdivide;
  const char *format;
};

const ProceduralKind kProceduralKinds[] = {
    {RiProcDelayedReadArchive, "Procedural \"DelayedReadArchive\" [\"%s\"] "},
    {RiProcRunProgram, "Procedural \"RunProgram\" [\"%s\" \"%s\"] "},
    {RiProcDynamicLoad, "Procedural \"DynamicLoad\" [\"%s\" \"%s\"] "},
};

} // namespace

RtVoid RibWriter::Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                             RtProcFreeFunc) {
  const ProceduralKind *kind = nullptr;
  for (const ProceduralKind &candidate : kProceduralKinds)
    if (candidate.subdivide == subdivfunc) kind = &candidate;
  if (!kind) {
    std::fprintf(stderr, "zizurezar error: procedural type\n");
    return;
  }
  if (!data || !bound) {
    std::fprintf(stderr, "zizurezar error: RiProcedural needs its data texts and a bound\n");
    return;
  }
  const RtString *texts = static_cast<const RtString *>(data);
  if (kind->subdivide == RiProcDelayedReadArchive) writeFormatted(kind->format, texts[0]);
  else writeFormatted(kind->format, texts[0], texts[1]);
  writeFloats(bound, 6);
  writeRaw("\n");
}

RtVoid RibWriter::GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
  // Not a sized primitive: each parameter carries its declared number of values.
  writeRaw("Geometry");
  writeParamList(type, 0, n, tokens, values);
}
