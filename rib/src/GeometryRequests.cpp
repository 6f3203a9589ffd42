// The geometry requests with bodies of their own, other than the patch family (PatchRequests.cpp):
// the hyperboloid, polygons, curves and points, subdivision meshes and blobbies, procedurals.
// (The other quadrics and Geometry are written from their rows in rib/RiRequests.def.) Each writes
// its positional part, then the parameter list, whose vertex, varying and uniform parameters carry
// the numbers of values that PrimitiveCounts.h derives from the positional arguments. A body whose
// positional part may be long announces its list (and checks its positional floats) before
// writing, so that a request longer than the encoder's buffer is checked before it goes out.
#include "Diagnostics.h"
#include "PrimitiveArrays.h"
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

RtVoid rib::RibWriter::HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
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

RtVoid rib::RibWriter::PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) {
  rib::ReportingArrayCheck check("RiPolygon");
  const rib::PrimitiveArrays arrays = rib::polygonArrays(check, nvertices);
  if (!arrays.ok) return;
  encoder.writeKeyword("Polygon");
  writePrimitiveParams(encoder, "RiPolygon", arrays.counts, n, tokens, values);
}

RtVoid rib::RibWriter::GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                                       RtPointer values[]) {
  rib::ReportingArrayCheck check("RiGeneralPolygon");
  const rib::PrimitiveArrays arrays = rib::generalPolygonArrays(check, nloops, nvertices);
  if (!arrays.ok) return;
  const PrimitiveCounts &counts = arrays.counts;
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("GeneralPolygon");
  encoder.writeInts(nvertices, nloops);
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, "RiGeneralPolygon", counts, n, tokens, values);
}

RtVoid rib::RibWriter::PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                                       RtToken tokens[], RtPointer values[]) {
  const char *request = "RiPointsPolygons";
  rib::ReportingArrayCheck check(request);
  const rib::PrimitiveArrays arrays = rib::pointsPolygonsArrays(check, npolys, nvertices, vertices);
  if (!arrays.ok) return;
  const long long nindices = arrays.lengths[1];
  const PrimitiveCounts &counts = arrays.counts;
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("PointsPolygons");
  encoder.writeInts(nvertices, npolys);
  encoder.writeChar(' ');
  encoder.writeInts(vertices, nindices);
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, request, counts, n, tokens, values);
}

RtVoid rib::RibWriter::PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                              RtInt vertices[], RtInt n, RtToken tokens[],
                                              RtPointer values[]) {
  const char *request = "RiPointsGeneralPolygons";
  rib::ReportingArrayCheck check(request);
  const rib::PrimitiveArrays arrays =
      rib::pointsGeneralPolygonsArrays(check, npolys, nloops, nvertices, vertices);
  if (!arrays.ok) return;
  const long long totalLoops = arrays.lengths[1];
  const long long nindices = arrays.lengths[2];
  const PrimitiveCounts &counts = arrays.counts;
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

RtVoid rib::RibWriter::CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap,
                               RtInt n, RtToken tokens[], RtPointer values[]) {
  rib::ReportingArrayCheck check("RiCurves");
  const rib::PrimitiveArrays arrays =
      rib::curvesArrays(check, type, ncurves, nvertices, wrap, vStep);
  if (!arrays.ok) return;
  const PrimitiveCounts &counts = arrays.counts;
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("Curves");
  encoder.writeArguments(type);
  encoder.writeInts(nvertices, ncurves);
  encoder.writeArguments(wrap);
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, "RiCurves", counts, n, tokens, values);
}

RtVoid rib::RibWriter::PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) {
  rib::ReportingArrayCheck check("RiPoints");
  const rib::PrimitiveArrays arrays = rib::pointsArrays(check, npoints);
  if (!arrays.ok) return;
  encoder.writeKeyword("Points");
  encoder.writeChar(' ');
  writePrimitiveParams(encoder, "RiPoints", arrays.counts, n, tokens, values);
}

// ---- Subdivision meshes and blobbies ----
// Primitives that carry, besides their parameter list, arrays the renderer interprets (tags with
// their arguments, a blobby's operation code).

RtVoid rib::RibWriter::SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                        RtInt vertices[], RtInt ntags, RtToken tags[],
                                        RtInt nargs[], RtInt intargs[], RtFloat floatargs[],
                                        RtInt n, RtToken tokens[], RtPointer values[]) {
  const char *request = "RiSubdivisionMesh";
  rib::ReportingArrayCheck check(request);
  const rib::PrimitiveArrays arrays = rib::subdivisionMeshArrays(
      check, nfaces, nvertices, vertices, ntags, tags, nargs, intargs, floatargs);
  if (!arrays.ok) return;
  const long long nindices = arrays.lengths[1];
  const long long integers = arrays.lengths[4], reals = arrays.lengths[5];
  const PrimitiveCounts &counts = arrays.counts;
  encoder.expectParams(&counts, n, tokens, values);
  encoder.checkFloats(floatargs, reals);
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
    encoder.writeInts(intargs, integers);
    encoder.writeFloats(floatargs, reals);
  }
  writePrimitiveParams(encoder, request, counts, n, tokens, values);
}

RtVoid rib::RibWriter::BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                               RtInt nstr, RtToken str[], RtInt n, RtToken tokens[],
                               RtPointer values[]) {
  const char *request = "RiBlobby";
  rib::ReportingArrayCheck check(request);
  const rib::PrimitiveArrays arrays =
      rib::blobbyArrays(check, nleaf, ncode, code, nflt, flt, nstr, str);
  if (!arrays.ok) return;
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

  const PrimitiveCounts &counts = arrays.counts;
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

RtVoid rib::RibWriter::Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
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
