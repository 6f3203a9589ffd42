// The geometry requests with bodies of their own, other than the patch family (PatchRequests.cpp):
// the hyperboloid, polygons, curves and points, subdivision meshes and blobbies, procedurals.
// (The other quadrics and Geometry are written from their rows in rib/RiRequests.def.) Each writes
// its positional part, then the parameter list, whose vertex, varying and uniform parameters carry
// the numbers of values that PrimitiveCounts.h derives from the positional arguments. A body whose
// positional part may be long announces its list (and checks its positional floats) before
// writing, so that a request longer than the encoder's buffer is checked before it goes out.
#include "Diagnostics.h"
#include "PrimitiveCounts.h"
#include "RibWriter.h"
#include "SameText.h"
#include "StandardNames.h"

using rib::PrimitiveCounts;

namespace {

// The parameter list of a primitive whose counts may have been clamped: the report first.
void writePrimitiveParams(rib::RibEncoder &encoder, const char *request,
                          const PrimitiveCounts &counts, RtInt n, RtToken tokens[],
                          RtPointer values[]) {
  rib::reportClampedCounts(request, counts);
  encoder.writePrimParamList(counts, n, tokens, values);
}

} // namespace

// ---- Quadrics ----

RtVoid RibWriter::HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                               RtToken tokens[], RtPointer values[]) {
  if (!point1 || !point2) {
    rib::reportError(RIE_MISSINGDATA,
                     "RiHyperboloid without its two points; the request is left out");
    return;
  }
  encoder.writeKeyword("Hyperboloid");
  encoder.writeArguments(point1[0], point1[1], point1[2], point2[0], point2[1], point2[2],
                         thetamax);
  encoder.writePrimParamList(rib::quadricCounts(), n, tokens, values);
}

// ---- Polygons ----
// The positional arrays (loop sizes, vertex indices) are always text; the indexed forms size their
// vertex and varying parameters by the largest index used and carry one uniform value per polygon.

RtVoid RibWriter::PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) {
  if (rib::negativeCount("RiPolygon", "nvertices", nvertices)) return;
  encoder.writeKeyword("Polygon");
  writePrimitiveParams(encoder, "RiPolygon", rib::vertexListCounts(nvertices), n, tokens, values);
}

RtVoid RibWriter::GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                                  RtPointer values[]) {
  const char *request = "RiGeneralPolygon";
  if (rib::negativeCount(request, "nloops", nloops) ||
      rib::missingArray(request, "nvertices", nvertices, nloops) ||
      rib::negativeEntry(request, "nvertices", nvertices, nloops))
    return;
  const PrimitiveCounts counts = rib::vertexListCounts(rib::sumOf(nvertices, nloops));
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("GeneralPolygon");
  encoder.writeInts(nvertices, nloops);
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, "RiGeneralPolygon", counts, n, tokens, values);
}

RtVoid RibWriter::PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                                  RtToken tokens[], RtPointer values[]) {
  const char *request = "RiPointsPolygons";
  if (rib::negativeCount(request, "npolys", npolys) ||
      rib::missingArray(request, "nvertices", nvertices, npolys) ||
      rib::negativeEntry(request, "nvertices", nvertices, npolys))
    return;
  const long long nindices = rib::sumOf(nvertices, npolys);
  if (rib::missingArray(request, "vertices", vertices, nindices)) return;
  const PrimitiveCounts counts = rib::indexedMeshCounts(vertices, nindices, npolys);
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("PointsPolygons");
  encoder.writeInts(nvertices, npolys);
  encoder.writeChar(' ');
  encoder.writeInts(vertices, nindices);
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, request, counts, n, tokens, values);
}

RtVoid RibWriter::PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                         RtInt vertices[], RtInt n, RtToken tokens[],
                                         RtPointer values[]) {
  const char *request = "RiPointsGeneralPolygons";
  if (rib::negativeCount(request, "npolys", npolys) ||
      rib::missingArray(request, "nloops", nloops, npolys) ||
      rib::negativeEntry(request, "nloops", nloops, npolys))
    return;
  const int totalLoops = rib::clampCount(rib::sumOf(nloops, npolys));
  if (rib::missingArray(request, "nvertices", nvertices, totalLoops) ||
      rib::negativeEntry(request, "nvertices", nvertices, totalLoops))
    return;
  const long long nindices = rib::sumOf(nvertices, totalLoops);
  if (rib::missingArray(request, "vertices", vertices, nindices)) return;
  const PrimitiveCounts counts = rib::indexedMeshCounts(vertices, nindices, npolys);
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("PointsGeneralPolygons");
  encoder.writeInts(nloops, npolys);
  encoder.writeChar(' ');
  encoder.writeInts(nvertices, totalLoops);
  encoder.writeChar(' ');
  encoder.writeInts(vertices, nindices);
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, request, counts, n, tokens, values);
}

// ---- Curves and points ----
// Cubic curves are sized by the v step of the basis in force; a uniform parameter carries one
// value per curve.

RtVoid RibWriter::CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                          RtToken tokens[], RtPointer values[]) {
  if (rib::negativeCount("RiCurves", "ncurves", ncurves) ||
      rib::missingArray("RiCurves", "nvertices", nvertices, ncurves) ||
      rib::negativeEntry("RiCurves", "nvertices", nvertices, ncurves))
    return;
  const PrimitiveCounts counts = rib::curvesCounts(
      rib::sameText(type, "cubic"), rib::sameText(wrap, "periodic"), ncurves, nvertices, vStep);
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("Curves");
  encoder.writeArguments(type);
  encoder.writeInts(nvertices, ncurves);
  encoder.writeArguments(wrap);
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, "RiCurves", counts, n, tokens, values);
}

RtVoid RibWriter::PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) {
  if (rib::negativeCount("RiPoints", "npoints", npoints)) return;
  encoder.writeKeyword("Points");
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, "RiPoints", rib::vertexListCounts(npoints), n, tokens, values);
}

// ---- Subdivision meshes and blobbies ----
// Primitives that carry, besides their parameter list, arrays the renderer interprets (tags with
// their arguments, a blobby's operation code).

RtVoid RibWriter::SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                   RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[],
                                   RtInt intargs[], RtFloat floatargs[], RtInt n, RtToken tokens[],
                                   RtPointer values[]) {
  const char *request = "RiSubdivisionMesh";
  if (rib::negativeCount(request, "nfaces", nfaces) ||
      rib::negativeCount(request, "ntags", ntags) ||
      rib::missingArray(request, "nvertices", nvertices, nfaces) ||
      rib::negativeEntry(request, "nvertices", nvertices, nfaces))
    return;
  const long long nindices = rib::sumOf(nvertices, nfaces);
  if (rib::missingArray(request, "vertices", vertices, nindices)) return;
  rib::SubdivisionTagTotals totals;
  if (ntags > 0) {
    if (rib::missingArray(request, "tags", tags, ntags) ||
        rib::missingArray(request, "nargs", nargs, 2 * static_cast<long long>(ntags)))
      return;
    totals = rib::subdivisionTagTotals(ntags, nargs);
    if (rib::missingArray(request, "intargs", intargs, totals.integers) ||
        rib::missingArray(request, "floatargs", floatargs, totals.floats))
      return;
  }
  const PrimitiveCounts counts = rib::indexedMeshCounts(vertices, nindices, nfaces);
  encoder.expectParams(&counts, n, tokens, values);
  encoder.checkFloats(floatargs, totals.floats);
  encoder.writeKeyword("SubdivisionMesh");
  encoder.writeArguments(scheme);
  encoder.writeChar(' ');
  encoder.writeInts(nvertices, nfaces);
  encoder.writeChar(' ');
  encoder.writeInts(vertices, nindices);
  encoder.writeChar(' ');
  if (ntags > 0) {
    // The four tag arrays travel as one group: empty argument arrays are written as [] so that
    // a reader never takes the parameter list for them.
    encoder.writeStrings(tags, ntags);
    encoder.writeInts(nargs, rib::clampCount(2 * static_cast<long long>(ntags)));
    encoder.writeInts(intargs, totals.integers);
    encoder.writeFloats(floatargs, totals.floats);
  }
  writePrimitiveParams(encoder, request, counts, n, tokens, values);
}

RtVoid RibWriter::BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                          RtInt nstr, RtToken str[], RtInt n, RtToken tokens[],
                          RtPointer values[]) {
  const char *request = "RiBlobby";
  if (rib::missingArray(request, "code", code, ncode) ||
      rib::missingArray(request, "flt", flt, nflt) || rib::missingArray(request, "str", str, nstr))
    return;
  // The caller's numbers are written as given; the code only serves to check them.
  const rib::BlobbyScan scan = rib::scanBlobbyCode(code, ncode);
  if (scan.badWord >= 0)
    rib::reportError(RIE_CONSISTENCY,
                     "RiBlobby operation at code word %d has no valid operand count", scan.badWord);
  if (nleaf != scan.leaves)
    rib::reportErrorUnterminated(RIE_CONSISTENCY, "RiBlobby nleaf [%d] !=  leaf count [%i]", nleaf,
                                 scan.leaves);
  // Longer tables are written as given: only a table too short leaves the code without values.
  if (nflt < scan.floats)
    rib::reportErrorUnterminated(RIE_CONSISTENCY, "RiBlobby nflt [%d] != float count [%i]", nflt,
                                 scan.floats);
  if (nstr < scan.strings)
    rib::reportErrorUnterminated(RIE_CONSISTENCY, "RiBlobby nstr [%d] != string count [%i]", nstr,
                                 scan.strings);

  const PrimitiveCounts counts = rib::blobbyCounts(nleaf);
  encoder.expectParams(&counts, n, tokens, values);
  encoder.checkFloats(flt, nflt);
  encoder.writeKeyword("Blobby");
  encoder.writeArguments(nleaf);
  encoder.writeChar(' ');
  encoder.writeInts(code, ncode);
  encoder.writeChar(' ');
  encoder.writeFloats(flt, nflt);
  encoder.writeChar(' ');
  encoder.writeStrings(str, nstr);
  if (n != 0) {
    // The parameter list goes on a line of its own.
    encoder.writeChar('\n');
    writePrimitiveParams(encoder, request, counts, n, tokens, values);
  }
  encoder.endLine();
}

// ---- Procedurals ----
// Chosen by the identity of the subdivide function; the data holds one or two texts.

RtVoid RibWriter::Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                             RtProcFreeFunc) {
  const rib::StandardProcedural *kind = rib::proceduralOf(subdivfunc);
  if (!kind) {
    rib::reportError(RIE_BADTOKEN, "procedural type");
    return;
  }
  if (!data || !bound) {
    rib::reportError(RIE_MISSINGDATA, "RiProcedural needs its data texts and a bound");
    return;
  }
  const RtString *texts = static_cast<const RtString *>(data);
  encoder.checkFloats(bound, 6); // after texts of any length
  encoder.writeKeyword("Procedural");
  encoder.writeArguments(kind->name);
  encoder.writeChar(' ');
  encoder.writeChar('[');
  encoder.writeText(texts[0]);
  if (kind->texts == 2) {
    encoder.writeChar(' ');
    encoder.writeText(texts[1]);
  }
  encoder.writeChar(']');
  encoder.writeChar(' ');
  encoder.writeFloats(bound, 6);
  encoder.endLine();
}
