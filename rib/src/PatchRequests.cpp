// The spline basis, bilinear and bicubic patches and patch meshes, NURBS patches and their trim
// curves. Basis stores its steps in the context: they size every later bicubic patch mesh (and
// cubic curve) until the next Basis.
#include <initializer_list>

#include "Diagnostics.h"
#include "PrimitiveArrays.h"
#include "RibWriter.h"
#include "SameText.h"
#include "StandardNames.h"

using rib::PrimitiveCounts;
using rib::sameText;

namespace {

void writeBasisMatrix(rib::RibEncoder &encoder, RtBasis basis) {
  // A standard matrix by its name (by address: a copy is just numbers).
  if (const rib::StandardBasis *standard = rib::basisOf(basis)) {
    encoder.writeText(standard->name);
    return;
  }
  encoder.writeFloats(&basis[0][0], 16);
}

// A NURBS parameter range: " min max" with six decimals at the default precision; with any
// other precision as every other float, so that a range finer than 1e-6 is not lost.
void writeRange(rib::RibEncoder &encoder, RtFloat min, RtFloat max) {
  for (RtFloat bound : {min, max}) {
    encoder.writeChar(' ');
    if (encoder.precision == 6)
      encoder.writeFixed(bound);
    else
      encoder.writeNumber(bound);
  }
}

bool isPatchType(const char *type) {
  return sameText(type, "bilinear") || sameText(type, "bicubic");
}

} // namespace

RtVoid rib::RibWriter::Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) {
  // Without both matrices nothing is written and the steps in force stay as they were.
  if (!ubasis || !vbasis) {
    rib::reportError(RIE_MISSINGDATA, "RiBasis without its two matrices; the request is left out");
    return;
  }
  encoder.writeKeyword("Basis");
  encoder.writeChar(' ');
  writeBasisMatrix(encoder, ubasis);
  encoder.writeArguments(ustep);
  encoder.writeChar(' ');
  writeBasisMatrix(encoder, vbasis);
  encoder.writeArguments(vstep);
  encoder.endLine();
  uStep = ustep;
  vStep = vstep;
}

RtVoid rib::RibWriter::PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
  const PrimitiveCounts counts = rib::patchCounts(type);
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("Patch");
  encoder.writeArguments(type);
  encoder.writePrimParamList(counts, n, tokens, values);
}

RtVoid rib::RibWriter::PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap,
                                  RtInt n, RtToken tokens[], RtPointer values[]) {
  // Checked before anything is written: a request without its parameter list and line end would
  // run into the next request and spoil both.
  if (!isPatchType(type)) {
    rib::reportLine(RIE_BADTOKEN, "rureva: unknown patch type %s", type ? type : "(null)");
    return;
  }
  const PrimitiveCounts counts =
      rib::patchMeshCounts(sameText(type, "bicubic"), nu, sameText(uwrap, "periodic"), nv,
                           sameText(vwrap, "periodic"), uStep, vStep);
  encoder.expectParams(&counts, n, tokens, values);
  encoder.writeKeyword("PatchMesh");
  encoder.writeArguments(type, nu, uwrap, nv, vwrap);
  rib::reportClampedCounts("RiPatchMesh", counts);
  encoder.writePrimParamList(counts, n, tokens, values);
}

RtVoid rib::RibWriter::TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[],
                                 RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[],
                                 RtFloat w[]) {
  rib::ReportingArrayCheck check("RiTrimCurve");
  const rib::TrimCurveArrays arrays =
      rib::trimCurveArrays(check, nloops, ncurves, order, knot, min, max, n, u, v, w);
  if (!arrays.ok) return;
  const rib::TrimCurveSizes &sizes = arrays.sizes;
  if (sizes.negative)
    rib::reportError(RIE_RANGE, "RiTrimCurve has a negative count; counts clamped at zero");
  // Every float array is checked first: any of them may take the request past the buffer.
  encoder.checkFloats(knot, sizes.knots);
  for (const RtFloat *perCurve : {min, max}) encoder.checkFloats(perCurve, sizes.curves);
  for (const RtFloat *perPoint : {u, v, w}) encoder.checkFloats(perPoint, sizes.points);
  encoder.writeKeyword("TrimCurve");
  encoder.writeChar(' ');
  encoder.writeInts(ncurves, nloops);
  encoder.writeInts(order, sizes.curves);
  encoder.writeFloats(knot, sizes.knots);
  encoder.writeChar(' ');
  encoder.writeFloats(min, sizes.curves);
  encoder.writeChar(' ');
  encoder.writeFloats(max, sizes.curves);
  encoder.writeChar(' ');
  encoder.writeInts(n, sizes.curves);
  encoder.writeFloats(u, sizes.points);
  encoder.writeChar(' ');
  encoder.writeFloats(v, sizes.points);
  encoder.writeChar(' ');
  encoder.writeFloats(w, sizes.points);
  encoder.endLine();
}

RtVoid rib::RibWriter::NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                                RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                                RtInt n, RtToken tokens[], RtPointer values[]) {
  const char *request = "RiNuPatch";
  rib::ReportingArrayCheck check(request);
  const rib::PrimitiveArrays arrays =
      rib::nuPatchArrays(check, nu, uorder, uknot, nv, vorder, vknot);
  if (!arrays.ok) return;
  const PrimitiveCounts &counts = arrays.counts;
  const int uknots = rib::clampCount(arrays.lengths[0]),
            vknots = rib::clampCount(arrays.lengths[1]);
  rib::reportClampedCounts(request, counts);
  // The knots may be long: the list and every float are checked before anything is written.
  encoder.expectParams(&counts, n, tokens, values);
  encoder.checkFloats(uknot, uknots);
  encoder.checkFloats(vknot, vknots);
  const RtFloat ranges[] = {umin, umax, vmin, vmax};
  encoder.checkFloats(ranges, 4);
  // The parameter ranges are written with six decimals, the knots as any float array.
  encoder.writeKeyword("NuPatch");
  encoder.writeArguments(nu, uorder);
  encoder.writeChar(' ');
  encoder.writeFloats(uknot, uknots);
  writeRange(encoder, umin, umax);
  encoder.writeArguments(nv, vorder);
  encoder.writeChar(' ');
  encoder.writeFloats(vknot, vknots);
  writeRange(encoder, vmin, vmax);
  encoder.writeChar(' ');
  encoder.writePrimParamList(counts, n, tokens, values);
}
