// The positional arrays of each primitive, walked in the request's order. A walk stops at the
// first array its check refuses and reads an array of counts only once it has been accepted.
#include "PrimitiveArrays.h"

#include "Diagnostics.h"
#include "GivenValues.h"
#include "SameText.h"

namespace rib {
namespace {

// Hands the arrays of one walk to the check, recording each length in order.
struct Walk {
  ArrayCheck &check;
  PrimitiveArrays result;
  int next = 0;

  bool array(const char *name, const void *values, long long needed, const char *from,
             ArrayRole role = ArrayRole::Values) {
    result.lengths[next++] = needed;
    return check.array(name, values, needed, from, role);
  }
  PrimitiveArrays done(const PrimitiveCounts &counts) {
    result.ok = true;
    result.counts = counts;
    return result;
  }
};

} // namespace

bool ReportingArrayCheck::count(const char *name, long long value) {
  return !negativeCount(request, name, value);
}

bool ReportingArrayCheck::array(const char *name, const void *values, long long needed,
                                const char *, ArrayRole role) {
  if (missingArray(request, name, values, needed)) return false;
  // An array a reader handed on is read no further than it holds, whatever a filter made of the
  // counts on the way. Texts are pointers; every other array holds 4-byte values.
  const size_t width = sameText(name, "tags") || sameText(name, "str") ? sizeof(RtToken) : 4;
  if (needed > 0 && !withinGiven(values, static_cast<size_t>(needed) * width)) {
    reportError(RIE_CONSISTENCY,
                "%s would read past the values it was given in %s; the request is left out",
                request, name);
    return false;
  }
  return role != ArrayRole::Counts ||
         !negativeEntry(request, name, static_cast<const RtInt *>(values), needed);
}

PrimitiveArrays polygonArrays(ArrayCheck &check, RtInt nvertices) {
  Walk walk{check, {}};
  if (!check.count("nvertices", nvertices)) return walk.result;
  return walk.done(vertexListCounts(nvertices));
}

PrimitiveArrays pointsArrays(ArrayCheck &check, RtInt npoints) {
  Walk walk{check, {}};
  if (!check.count("npoints", npoints)) return walk.result;
  return walk.done(vertexListCounts(npoints));
}

PrimitiveArrays generalPolygonArrays(ArrayCheck &check, RtInt nloops, const RtInt *nvertices) {
  Walk walk{check, {}};
  if (!check.count("nloops", nloops) ||
      !walk.array("nvertices", nvertices, nloops, "nloops", ArrayRole::Counts))
    return walk.result;
  return walk.done(vertexListCounts(sumOf(nvertices, nloops)));
}

PrimitiveArrays pointsPolygonsArrays(ArrayCheck &check, RtInt npolys, const RtInt *nvertices,
                                     const RtInt *vertices) {
  Walk walk{check, {}};
  if (!check.count("npolys", npolys) ||
      !walk.array("nvertices", nvertices, npolys, "npolys", ArrayRole::Counts))
    return walk.result;
  const long long nindices = sumOf(nvertices, npolys);
  if (!walk.array("vertices", vertices, nindices, "nvertices", ArrayRole::Indices))
    return walk.result;
  return walk.done(indexedMeshCounts(vertices, nindices, npolys));
}

PrimitiveArrays pointsGeneralPolygonsArrays(ArrayCheck &check, RtInt npolys, const RtInt *nloops,
                                            const RtInt *nvertices, const RtInt *vertices) {
  Walk walk{check, {}};
  if (!check.count("npolys", npolys) ||
      !walk.array("nloops", nloops, npolys, "npolys", ArrayRole::Counts))
    return walk.result;
  const int loops = clampCount(sumOf(nloops, npolys));
  if (!walk.array("nvertices", nvertices, loops, "nloops", ArrayRole::Counts)) return walk.result;
  const long long nindices = sumOf(nvertices, loops);
  if (!walk.array("vertices", vertices, nindices, "nvertices", ArrayRole::Indices))
    return walk.result;
  return walk.done(indexedMeshCounts(vertices, nindices, npolys));
}

PrimitiveArrays curvesArrays(ArrayCheck &check, RtToken type, RtInt ncurves, const RtInt *nvertices,
                             RtToken wrap, int vStep) {
  Walk walk{check, {}};
  if (!check.count("ncurves", ncurves) ||
      !walk.array("nvertices", nvertices, ncurves, "ncurves", ArrayRole::Counts))
    return walk.result;
  return walk.done(
      curvesCounts(sameText(type, "cubic"), sameText(wrap, "periodic"), ncurves, nvertices, vStep));
}

PrimitiveArrays subdivisionMeshArrays(ArrayCheck &check, RtInt nfaces, const RtInt *nvertices,
                                      const RtInt *vertices, RtInt ntags, const RtToken *tags,
                                      const RtInt *nargs, const RtInt *intargs,
                                      const RtFloat *floatargs) {
  Walk walk{check, {}};
  if (!check.count("nfaces", nfaces) || !check.count("ntags", ntags) ||
      !walk.array("nvertices", nvertices, nfaces, "nfaces", ArrayRole::Counts))
    return walk.result;
  const long long nindices = sumOf(nvertices, nfaces);
  if (!walk.array("vertices", vertices, nindices, "nvertices", ArrayRole::Indices))
    return walk.result;
  // Without tags the tag arrays need no values, and nothing of them is read.
  if (!walk.array("tags", tags, ntags, "ntags") ||
      !walk.array("nargs", nargs, 2LL * ntags, "tags", ArrayRole::ClampedCounts))
    return walk.result;
  const SubdivisionTagTotals totals = subdivisionTagTotals(ntags, nargs);
  if (!walk.array("intargs", intargs, totals.integers, "nargs") ||
      !walk.array("floatargs", floatargs, totals.floats, "nargs"))
    return walk.result;
  return walk.done(indexedMeshCounts(vertices, nindices, nfaces));
}

PrimitiveArrays blobbyArrays(ArrayCheck &check, RtInt nleaf, RtInt ncode, const RtInt *code,
                             RtInt nflt, const RtFloat *flt, RtInt nstr, const RtToken *str) {
  Walk walk{check, {}};
  if (!walk.array("code", code, ncode, "ncode") || !walk.array("flt", flt, nflt, "nflt") ||
      !walk.array("str", str, nstr, "nstr"))
    return walk.result;
  return walk.done(blobbyCounts(nleaf));
}

PrimitiveArrays nuPatchArrays(ArrayCheck &check, RtInt nu, RtInt uorder, const RtFloat *uknot,
                              RtInt nv, RtInt vorder, const RtFloat *vknot) {
  Walk walk{check, {}};
  if (!walk.array("uknot", uknot, static_cast<long long>(nu) + uorder, "nu + uorder") ||
      !walk.array("vknot", vknot, static_cast<long long>(nv) + vorder, "nv + vorder"))
    return walk.result;
  return walk.done(nuPatchCounts(nu, uorder, nv, vorder));
}

TrimCurveArrays trimCurveArrays(ArrayCheck &check, RtInt nloops, const RtInt *ncurves,
                                const RtInt *order, const RtFloat *knot, const RtFloat *min,
                                const RtFloat *max, const RtInt *n, const RtFloat *u,
                                const RtFloat *v, const RtFloat *w) {
  TrimCurveArrays result;
  if (!check.array("ncurves", ncurves, nloops, "nloops", ArrayRole::ClampedCounts)) return result;
  const long long curves = sumOf(ncurves, nloops);
  if (!check.array("order", order, curves, "ncurves", ArrayRole::ClampedCounts) ||
      !check.array("n", n, curves, "ncurves", ArrayRole::ClampedCounts))
    return result;
  result.sizes = trimCurveSizes(nloops, ncurves, order, n);
  const TrimCurveSizes &sizes = result.sizes;
  result.ok = check.array("knot", knot, sizes.knots, "order + n", ArrayRole::Values) &&
              check.array("min", min, sizes.curves, "ncurves", ArrayRole::Values) &&
              check.array("max", max, sizes.curves, "ncurves", ArrayRole::Values) &&
              check.array("u", u, sizes.points, "n", ArrayRole::Values) &&
              check.array("v", v, sizes.points, "n", ArrayRole::Values) &&
              check.array("w", w, sizes.points, "n", ArrayRole::Values);
  return result;
}

} // namespace rib
