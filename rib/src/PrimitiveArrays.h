// PrimitiveArrays.h - how long each positional array of a primitive must be, in one place.
//
// A primitive's fixed arguments and its arrays of counts give the length of every later array
// (GeneralPolygon: nloops values in nvertices; PointsPolygons: the sum of nvertices in
// vertices). Each function below walks a request's positional arrays in order, hands each one
// with the number of values it needs to an ArrayCheck, and reads an array of counts only after
// the check has accepted it, so a check that refuses short or missing arrays keeps every read
// inside the caller's data. The writer checks the caller's pointers this way, Python the lengths
// of its arrays and the reader the lengths of the arrays in the file; each then sizes the
// parameter list with the counts returned.
#pragma once

#include "PrimitiveCounts.h"

namespace rib {

/// What an array holds: plain values, indices of the primitive's vertices, or counts that size
/// later arrays. Counts must not be negative; "clamped" counts are taken as zero where negative
/// (the request reports that as a whole) instead of refusing the request.
enum class ArrayRole { Values, Indices, Counts, ClampedCounts };

class ArrayCheck {
public:
  virtual ~ArrayCheck() = default;
  /// A fixed count that must not be negative. False leaves the request out.
  virtual bool count(const char *name, long long value) = 0;
  /// The array `name` (the caller's `values`) must hold `needed` values, the number that `from`
  /// (an argument or array named so, or a sum over them: "order + n") gives. False leaves the
  /// request out; the walk stops there.
  virtual bool array(const char *name, const void *values, long long needed, const char *from,
                     ArrayRole role) = 0;
};

/// The writer's check: a negative count, a null array that should hold values, or a negative
/// entry in an array of counts is reported (one line naming the request) and leaves it out.
class ReportingArrayCheck : public ArrayCheck {
public:
  explicit ReportingArrayCheck(const char *request) : request(request) {}
  bool count(const char *name, long long value) override;
  bool array(const char *name, const void *values, long long needed, const char *from,
             ArrayRole role) override;

private:
  const char *request;
};

/// The outcome of a walk: whether every check passed, the primitive's counts, and the number of
/// values each positional array needs, in the request's order.
struct PrimitiveArrays {
  static constexpr int kMaxArrays = 9;
  bool ok = false;
  PrimitiveCounts counts;
  long long lengths[kMaxArrays] = {};
};

PrimitiveArrays polygonArrays(ArrayCheck &check, RtInt nvertices);
PrimitiveArrays pointsArrays(ArrayCheck &check, RtInt npoints);
/// nvertices[nloops].
PrimitiveArrays generalPolygonArrays(ArrayCheck &check, RtInt nloops, const RtInt *nvertices);
/// nvertices[npolys], vertices[sum of nvertices].
PrimitiveArrays pointsPolygonsArrays(ArrayCheck &check, RtInt npolys, const RtInt *nvertices,
                                     const RtInt *vertices);
/// nloops[npolys], nvertices[sum of nloops], vertices[sum of nvertices].
PrimitiveArrays pointsGeneralPolygonsArrays(ArrayCheck &check, RtInt npolys, const RtInt *nloops,
                                            const RtInt *nvertices, const RtInt *vertices);
/// nvertices[ncurves]; cubic curves are sized by the v step in force.
PrimitiveArrays curvesArrays(ArrayCheck &check, RtToken type, RtInt ncurves, const RtInt *nvertices,
                             RtToken wrap, int vStep);
/// nvertices[nfaces], vertices[sum of nvertices], tags[ntags], nargs[2 ntags], intargs[sum of
/// even nargs], floatargs[sum of odd nargs].
PrimitiveArrays subdivisionMeshArrays(ArrayCheck &check, RtInt nfaces, const RtInt *nvertices,
                                      const RtInt *vertices, RtInt ntags, const RtToken *tags,
                                      const RtInt *nargs, const RtInt *intargs,
                                      const RtFloat *floatargs);
/// code[ncode], flt[nflt], str[nstr]; one value per leaf.
PrimitiveArrays blobbyArrays(ArrayCheck &check, RtInt nleaf, RtInt ncode, const RtInt *code,
                             RtInt nflt, const RtFloat *flt, RtInt nstr, const RtToken *str);
/// uknot[nu + uorder], vknot[nv + vorder].
PrimitiveArrays nuPatchArrays(ArrayCheck &check, RtInt nu, RtInt uorder, const RtFloat *uknot,
                              RtInt nv, RtInt vorder, const RtFloat *vknot);

/// A TrimCurve is no primitive: its walk gives the sizes of its arrays instead of counts.
struct TrimCurveArrays {
  bool ok = false;
  TrimCurveSizes sizes;
};

/// ncurves[nloops], order[curves], n[curves], knot[sum of order + n], min[curves], max[curves],
/// u, v, w[sum of n].
TrimCurveArrays trimCurveArrays(ArrayCheck &check, RtInt nloops, const RtInt *ncurves,
                                const RtInt *order, const RtFloat *knot, const RtFloat *min,
                                const RtFloat *max, const RtInt *n, const RtFloat *u,
                                const RtFloat *v, const RtFloat *w);

} // namespace rib
