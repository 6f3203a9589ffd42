// The four polygon forms. The positional arrays (loop sizes, vertex indices) are always text; the
// indexed forms size their vertex and varying parameters by the largest index used, found by one
// pass over the index array, and carry one uniform value per polygon. Their index arrays, often
// millions long, go through the batched integer text of IntArrayText.h.
#include "rib/IntArrayText.h"
#include "rib/PrimitiveCounts.h"
#include "rib/RibWriter.h"

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
