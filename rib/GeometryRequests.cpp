// The geometry requests other than the patch family (PatchRequests.cpp): quadrics, polygons,
// curves and points, subdivision meshes and blobbies, procedurals and Geometry. Each writes its
// positional part, then the parameter list, whose vertex, varying and uniform parameters carry the
// numbers of values that PrimitiveCounts.h derives from the positional arguments.
#include <cstdio>

#include "rib/IntArrayText.h"
#include "rib/PrimitiveCounts.h"
#include "rib/RibWriter.h"

// ==== Quadrics ====
// The seven quadrics: the keyword and its numbers on one line, then the parameter list, whose
// vertex and varying parameters carry 4 values (the parametric corners) and uniform ones 1.
//
// The numbers of a quadric are always text, whatever the binary flag says.

namespace {

void writeQuadricParams(RibWriter &rib, RtInt n, RtToken tokens[], RtPointer values[]) {
  const PrimitiveCounts counts = quadricCounts();
  rib.writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

} // namespace

RtVoid RibWriter::ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                        RtToken tokens[], RtPointer values[]) {
  writeFormatted("Cone %g %g %g", height, radius, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                            RtToken tokens[], RtPointer values[]) {
  writeFormatted("Cylinder %g %g %g %g", radius, zmin, zmax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                        RtToken tokens[], RtPointer values[]) {
  writeFormatted("Disk %g %g %g", height, radius, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                               RtToken tokens[], RtPointer values[]) {
  if (!point1 || !point2) {
    std::fprintf(stderr, "zizurezar error: RiHyperboloid without its two points; the request is "
                         "left out\n");
    return;
  }
  writeFormatted("Hyperboloid %g %g %g %g %g %g %g", point1[0], point1[1], point1[2], point2[0],
                 point2[1], point2[2], thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                              RtToken tokens[], RtPointer values[]) {
  writeFormatted("Paraboloid %g %g %g %g", rmax, zmin, zmax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                          RtToken tokens[], RtPointer values[]) {
  writeFormatted("Sphere %g %g %g %g", radius, zmin, zmax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                         RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeFormatted("Torus %g %g %g %g %g", majorradius, minorradius, phimin, phimax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

// ==== Polygons ====
// The four polygon forms. The positional arrays (loop sizes, vertex indices) are always text; the
// indexed forms size their vertex and varying parameters by the largest index used, found by one
// pass over the index array, and carry one uniform value per polygon. Their index arrays, often
// millions long, go through the batched integer text of IntArrayText.h.

namespace {

void writePrimitiveParams(RibWriter &rib, const char *request, const PrimitiveCounts &counts,
                          RtInt n, RtToken tokens[], RtPointer values[]) {
  reportClampedCounts(request, counts);
  rib.writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

} // namespace

RtVoid RibWriter::PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Polygon");
  writePrimitiveParams(*this, "RiPolygon", vertexListCounts(nvertices), n, tokens, values);
}

RtVoid RibWriter::GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                                  RtPointer values[]) {
  if (missingArray("RiGeneralPolygon", "nvertices", nvertices, nloops)) return;
  writeRaw("GeneralPolygon");
  writeInts(nvertices, nloops);
  writeRaw(" ");
  writePrimitiveParams(*this, "RiGeneralPolygon", vertexListCounts(sumOf(nvertices, nloops)), n,
                       tokens, values);
}

RtVoid RibWriter::PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                                  RtToken tokens[], RtPointer values[]) {
  if (missingArray("RiPointsPolygons", "nvertices", nvertices, npolys)) return;
  const long long nindices = sumOf(nvertices, npolys);
  if (missingArray("RiPointsPolygons", "vertices", vertices, nindices)) return;
  {
    RibChunk out(stream);
    out.put("PointsPolygons");
    putIntArray(out, nvertices, npolys);
    out.put(' ');
    putIntArray(out, vertices, nindices);
    out.put(' ');
  }
  writePrimitiveParams(*this, "RiPointsPolygons", indexedMeshCounts(vertices, nindices, npolys),
                       n, tokens, values);
}

RtVoid RibWriter::PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                         RtInt vertices[], RtInt n, RtToken tokens[],
                                         RtPointer values[]) {
  const char *request = "RiPointsGeneralPolygons";
  if (missingArray(request, "nloops", nloops, npolys)) return;
  const int totalLoops = clampCount(sumOf(nloops, npolys));
  if (missingArray(request, "nvertices", nvertices, totalLoops)) return;
  const long long nindices = sumOf(nvertices, totalLoops);
  if (missingArray(request, "vertices", vertices, nindices)) return;
  {
    RibChunk out(stream);
    out.put("PointsGeneralPolygons");
    putIntArray(out, nloops, npolys);
    out.put(' ');
    putIntArray(out, nvertices, totalLoops);
    out.put(' ');
    putIntArray(out, vertices, nindices);
    out.put(' ');
  }
  writePrimitiveParams(*this, "RiPointsGeneralPolygons",
                       indexedMeshCounts(vertices, nindices, npolys), n, tokens, values);
}

// ==== Curves and points ====
// Curves and point clouds. Cubic curves are sized by the v step of the basis in force; a curve's
// uniform parameters carry one value per segment.

RtVoid RibWriter::CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                          RtToken tokens[], RtPointer values[]) {
  if (missingArray("RiCurves", "nvertices", nvertices, ncurves)) return;
  const PrimitiveCounts counts = curvesCounts(sameText(type, "cubic"), sameText(wrap, "periodic"),
                                              ncurves, nvertices, vStep);
  reportClampedCounts("RiCurves", counts);
  writeFormatted("Curves \"%s\"", type);
  writeInts(nvertices, ncurves);
  writeFormatted(" \"%s\" ", wrap);
  writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

RtVoid RibWriter::PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) {
  const PrimitiveCounts counts = vertexListCounts(npoints);
  reportClampedCounts("RiPoints", counts);
  writeRaw("Points ");
  writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

// ==== Subdivision meshes and blobbies ====
// Subdivision meshes and blobbies: primitives that carry, besides their parameter list, arrays
// the renderer interprets (tags with their arguments, a blobby's operation code).

RtVoid RibWriter::SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                   RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[],
                                   RtInt intargs[], RtFloat floatargs[], RtInt n,
                                   RtToken tokens[], RtPointer values[]) {
  const char *request = "RiSubdivisionMesh";
  if (missingArray(request, "nvertices", nvertices, nfaces)) return;
  const long long nindices = sumOf(nvertices, nfaces);
  if (missingArray(request, "vertices", vertices, nindices)) return;
  if (ntags > 0) {
    if (missingArray(request, "tags", tags, ntags) ||
        missingArray(request, "nargs", nargs, 2 * static_cast<long long>(ntags)))
      return;
    const SubdivisionTagTotals totals = subdivisionTagTotals(ntags, nargs);
    if (missingArray(request, "intargs", intargs, totals.integers) ||
        missingArray(request, "floatargs", floatargs, totals.floats))
      return;
  }
  writeFormatted("SubdivisionMesh \"%s\" ", scheme);
  {
    RibChunk out(stream);
    putIntArray(out, nvertices, nfaces);
    out.put(' ');
    putIntArray(out, vertices, nindices);
    out.put(' ');
  }
  if (ntags > 0) {
    // The four tag arrays travel as one group: empty argument arrays are written as [] so that
    // a reader never takes the parameter list for them.
    const SubdivisionTagTotals totals = subdivisionTagTotals(ntags, nargs);
    writeStrings(tags, ntags);
    writeInts(nargs, clampCount(2 * static_cast<long long>(ntags)));
    writeInts(intargs, totals.integers);
    writeFloats(floatargs, totals.floats);
  }
  const PrimitiveCounts counts = indexedMeshCounts(vertices, nindices, nfaces);
  reportClampedCounts("RiSubdivisionMesh", counts);
  writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

RtVoid RibWriter::BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                          RtInt nstr, RtToken str[], RtInt n, RtToken tokens[],
                          RtPointer values[]) {
  if (missingArray("RiBlobby", "code", code, ncode) || missingArray("RiBlobby", "flt", flt, nflt) ||
      missingArray("RiBlobby", "str", str, nstr))
    return;
  // The caller's numbers are written as given; the code only serves to check them.
  const BlobbyScan scan = scanBlobbyCode(code, ncode);
  if (scan.badWord >= 0)
    std::fprintf(stderr,
                 "zizurezar error: RiBlobby operation at code word %d has no valid operand count\n",
                 scan.badWord);
  if (nleaf != scan.leaves)
    std::fprintf(stderr, "\nzizurezar error: RiBlobby nleaf [%d] !=  leaf count [%i]", nleaf,
                 scan.leaves);
  if (nflt != scan.floats)
    std::fprintf(stderr, "\nzizurezar error: RiBlobby nflt [%d] != float count [%i]", nflt,
                 scan.floats);
  if (nstr != scan.strings)
    std::fprintf(stderr, "\nzizurezar error: RiBlobby nstr [%d] != string count [%i]", nstr,
                 scan.strings);

  writeFormatted("Blobby %d ", nleaf);
  writeInts(code, ncode);
  writeRaw(" ");
  writeFloats(flt, nflt);
  writeRaw(" ");
  writeStrings(str, nstr);
  if (n != 0) {
    // The parameter list goes on a line of its own.
    const PrimitiveCounts counts = blobbyCounts(nleaf);
    reportClampedCounts("RiBlobby", counts);
    writeRaw("\n");
    writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
  }
  writeRaw("\n");
}

// ==== Procedurals and Geometry ====
// Procedural primitives, chosen by the identity of the subdivide function, and the generic
// Geometry request.

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
