// PrimitiveCounts.h - how many values each parameter of a geometric primitive carries.
//
// A primitive's parameter list holds one value per vertex, per varying point or per uniform face
// or patch, depending on each parameter's storage class; those three numbers follow from the
// primitive's positional arguments by the rules below. The functions are pure: they read exactly
// the caller's arrays the rules name (no further), never divide by zero, never overflow, and
// never return a negative count:
//
//     PrimitiveCounts counts = patchMeshCounts(true, 7, false, 4, false, 3, 3);  // 28, 6, 2
//     encoder.writePrimParamList(counts, n, tokens, values);
//
// A primitive smaller than one patch or segment (or with a negative size, or a basis step below
// 1) has counts that would come out zero or negative: they are clamped at zero and `problem`
// says why, for the request to report. Every scan is one linear pass.
#pragma once

#include <cstdint>

#include "ParamDecl.h"
#include "rib/ri.h"

namespace rib {

struct PrimitiveCounts {
  int vertex = 0;
  int varying = 0;
  int uniform = 0;
  int faceVarying = 0; // one per vertex of each face: the indices of a mesh, else the varying count
  /// Null when every count came out positive as the rules give it; otherwise a short phrase
  /// ("is smaller than one patch") naming why counts were clamped at zero.
  const char *problem = nullptr;
};

// ---- Array sums and scans ----

/// A count as the writers take it: negative values become 0, values above INT_MAX become INT_MAX.
int clampCount(long long value);
/// The sum of the first n values (none when n <= 0), without overflow.
long long sumOf(const RtInt *values, long long n);
/// One more than the largest of the first n indices, scanning from 0: an empty array gives 1.
int largestIndexPlusOne(const RtInt *indices, long long n);

/// How many values a parameter with this declaration carries: its array size times the values
/// per element of its type, times the primitive's count for its class (`counts`), or times 1 for a
/// request that is not a primitive (`counts` null). Never negative.
int64_t paramValueCount(const ParamDecl &decl, const PrimitiveCounts *counts);

// ---- Counts by primitive ----

/// Quadrics: 4 vertices and varying points (the parametric corners), 1 uniform value.
PrimitiveCounts quadricCounts();
/// Polygon, GeneralPolygon (nvertices over all loops) and Points: nvertices, nvertices, 1.
PrimitiveCounts vertexListCounts(long long nvertices);
/// PointsPolygons, PointsGeneralPolygons and SubdivisionMesh: vertex = varying = largest index
/// + 1 over the nindices indices, uniform = nfaces, facevarying = nindices. A negative nindices
/// reads nothing.
PrimitiveCounts indexedMeshCounts(const RtInt *indices, long long nindices, int nfaces);
/// Patch: 4 vertices for "bilinear", 16 for any other type; 4 varying, 1 uniform.
PrimitiveCounts patchCounts(const char *type);
/// PatchMesh of nu x nv vertices, bilinear or bicubic, with the basis steps in force.
PrimitiveCounts patchMeshCounts(bool bicubic, int nu, bool uperiodic, int nv, bool vperiodic,
                                int uStep, int vStep);
/// NuPatch: nu x nv, (nu - uorder + 2) x (nv - vorder + 2), (nu - uorder + 1) x (nv - vorder + 1).
PrimitiveCounts nuPatchCounts(int nu, int uorder, int nv, int vorder);
/// Curves: linear or cubic, periodic or not, ncurves curves of nvertices[i] vertices; one uniform
/// value per curve.
PrimitiveCounts curvesCounts(bool cubic, bool periodic, int ncurves, const RtInt *nvertices,
                             int vStep);
/// Blobby: vertex and varying parameters carry one value per leaf, uniform ones one value.
PrimitiveCounts blobbyCounts(int nleaf);

// ---- Array sizes of the requests without a parameter list ----

/// What a blobby's code array implies: leaves, floats and strings it refers to.
struct BlobbyScan {
  int leaves = 0;
  int floats = 0;
  int strings = 0;
  /// Word where an operation's operand count is missing or negative; -1 when there is none.
  int badWord = -1;
};

/// Walks the ncode words of a blobby code. An operand count that is missing (the code ends first)
/// stops the walk; a negative one counts as 0, so the walk always moves forward.
BlobbyScan scanBlobbyCode(const RtInt *code, int ncode);

/// Array lengths of a TrimCurve: curves over all loops, knots (order + n per curve), points.
struct TrimCurveSizes {
  int curves = 0;
  int knots = 0;
  int points = 0;
  bool negative = false; // a sum came out negative and was clamped
};

TrimCurveSizes trimCurveSizes(int nloops, const RtInt *ncurves, const RtInt *order, const RtInt *n);

/// Totals of a subdivision mesh's tag arguments: integers (even nargs entries), floats (odd).
struct SubdivisionTagTotals {
  int integers = 0;
  int floats = 0;
};

SubdivisionTagTotals subdivisionTagTotals(int ntags, const RtInt *nargs);

// ---- Diagnostics ----

/// Writes "zizurezar error: <request> <problem>; counts clamped at zero" on standard error when
/// the counts carry a problem; nothing otherwise.
void reportClampedCounts(const char *request, const PrimitiveCounts &counts);
/// True, after one line on standard error, when a request's array is null although its rules read
/// `needed` (> 0) values from it: the request is then left out whole instead of read through null.
bool missingArray(const char *request, const char *array, const void *values, long long needed);
/// True, after one line on standard error, when a count the caller gave is negative: no RIB form
/// holds it, so the request is left out instead of written with the count taken as 0.
bool negativeCount(const char *request, const char *count, long long value);
/// The same for the first n counts of an array (loop sizes, vertices per polygon or curve).
bool negativeEntry(const char *request, const char *array, const RtInt *values, long long n);

} // namespace rib
