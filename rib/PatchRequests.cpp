// The spline basis, bilinear and bicubic patches and patch meshes, NURBS patches and their trim
// curves. Basis stores its steps in the context: they size every later bicubic patch mesh (and
// cubic curve) until the next Basis.
#include <cstdio>

#include "rib/PrimitiveCounts.h"
#include "rib/RibWriter.h"

namespace {

// The standard matrices by address, in the order they are recognised; a copy is just numbers.
struct NamedBasis {
  RtBasis *matrix;
  const char *quotedName;
};

const NamedBasis kNamedBases[] = {
    {&RiBezierBasis, "\"bezier\""},
    {&RiBSplineBasis, "\"b-spline\""},
    {&RiCatmullRomBasis, "\"catmull-rom\""},
    {&RiHermiteBasis, "\"hermite\""},
    {&RiPowerBasis, "\"power\""},
};

void writeBasisMatrix(RibWriter &rib, RtBasis basis) {
  for (const NamedBasis &named : kNamedBases) {
    if (*named.matrix == basis) {
      rib.writeRaw(named.quotedName);
      return;
    }
  }
  rib.writeFloats(&basis[0][0], 16);
}

bool isPatchType(const char *type) {
  return sameText(type, "bilinear") || sameText(type, "bicubic");
}

} // namespace

RtVoid RibWriter::Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) {
  // Without both matrices nothing is written and the steps in force stay as they were.
  if (!ubasis || !vbasis) {
    std::fprintf(stderr, "zizurezar error: RiBasis without its two matrices; the request is left "
                         "out\n");
    return;
  }
  writeRaw("Basis ");
  writeBasisMatrix(*this, ubasis);
  writeFormatted(" %d ", ustep);
  writeBasisMatrix(*this, vbasis);
  writeFormatted(" %d\n", vstep);
  uStep = ustep;
  vStep = vstep;
}

RtVoid RibWriter::PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeFormatted("Patch \"%s\"", type);
  const PrimitiveCounts counts = patchCounts(type);
  writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

RtVoid RibWriter::PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap,
                             RtInt n, RtToken tokens[], RtPointer values[]) {
  // Checked before anything is written: a request without its parameter list and line end would
  // run into the next request and spoil both.
  if (!isPatchType(type)) {
    std::fprintf(stderr, "rureva: unknown patch type %s\n", type ? type : "(null)");
    return;
  }
  writeFormatted("PatchMesh \"%s\" %d \"%s\" %d \"%s\"", type, nu, uwrap, nv, vwrap);
  const PrimitiveCounts counts =
      patchMeshCounts(sameText(type, "bicubic"), nu, sameText(uwrap, "periodic"), nv,
                      sameText(vwrap, "periodic"), uStep, vStep);
  reportClampedCounts("RiPatchMesh", counts);
  writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

RtVoid RibWriter::TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[],
                            RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[],
                            RtFloat w[]) {
  const char *request = "RiTrimCurve";
  if (missingArray(request, "ncurves", ncurves, nloops)) return;
  const long long curves = sumOf(ncurves, nloops);
  if (missingArray(request, "order", order, curves) || missingArray(request, "n", n, curves)) return;
  const TrimCurveSizes sizes = trimCurveSizes(nloops, ncurves, order, n);
  if (missingArray(request, "knot", knot, sizes.knots) ||
      missingArray(request, "min", min, sizes.curves) ||
      missingArray(request, "max", max, sizes.curves) ||
      missingArray(request, "u", u, sizes.points) || missingArray(request, "v", v, sizes.points) ||
      missingArray(request, "w", w, sizes.points))
    return;
  if (sizes.negative)
    std::fprintf(stderr, "zizurezar error: RiTrimCurve has a negative count; counts clamped at "
                         "zero\n");
  writeRaw("TrimCurve ");
  writeInts(ncurves, nloops);
  writeInts(order, sizes.curves);
  writeFloats(knot, sizes.knots);
  writeRaw(" ");
  writeFloats(min, sizes.curves);
  writeRaw(" ");
  writeFloats(max, sizes.curves);
  writeRaw(" ");
  writeInts(n, sizes.curves);
  writeFloats(u, sizes.points);
  writeRaw(" ");
  writeFloats(v, sizes.points);
  writeRaw(" ");
  writeFloats(w, sizes.points);
  writeRaw("\n");
}

RtVoid RibWriter::NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                           RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                           RtInt n, RtToken tokens[], RtPointer values[]) {
  if (missingArray("RiNuPatch", "uknot", uknot, static_cast<long long>(nu) + uorder) ||
      missingArray("RiNuPatch", "vknot", vknot, static_cast<long long>(nv) + vorder))
    return;
  const PrimitiveCounts counts = nuPatchCounts(nu, uorder, nv, vorder);
  reportClampedCounts("RiNuPatch", counts);
  // The parameter ranges are written with six decimals, the knots as any float array.
  writeFormatted("NuPatch %d %d ", nu, uorder);
  writeFloats(uknot, clampCount(static_cast<long long>(nu) + uorder));
  writeFormatted(" %f %f %d %d ", umin, umax, nv, vorder);
  writeFloats(vknot, clampCount(static_cast<long long>(nv) + vorder));
  writeFormatted(" %f %f ", vmin, vmax);
  writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}
