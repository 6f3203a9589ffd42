// Curves and point clouds. Cubic curves are sized by the v step of the basis in force; a curve's
// uniform parameters carry one value per segment.
#include "rib/PrimitiveCounts.h"
#include "rib/RibWriter.h"

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
