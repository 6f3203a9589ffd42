// The vertex, varying and uniform count rules of the geometric primitives, and the array sizes of
// the requests that carry their own arrays. Everything is computed in 64 bits and clamped into
// the writers' int range at the end, so no input overflows or divides by zero.
#include "PrimitiveCounts.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "Diagnostics.h"
#include "SameText.h"

namespace rib {

namespace {

constexpr const char *kSmallerThanPatch = "is smaller than one patch";
constexpr const char *kSmallerThanSegment = "has a curve smaller than one segment";
constexpr const char *kStepBelowOne = "has a basis step below 1";
constexpr const char *kNegativeCount = "has a negative count";

long long atLeastZero(long long value) { return value < 0 ? 0 : value; }

// Products of two clamped factors: each factor fits an int, so the product fits 64 bits.
int productCount(long long a, long long b) { return clampCount(atLeastZero(a) * atLeastZero(b)); }

PrimitiveCounts makeCounts(long long vertex, long long varying, long long uniform) {
  PrimitiveCounts counts;
  counts.vertex = clampCount(vertex);
  counts.varying = clampCount(varying);
  counts.uniform = clampCount(uniform);
  counts.faceVarying = counts.varying;
  if (vertex < 0 || varying < 0 || uniform < 0) counts.problem = kNegativeCount;
  return counts;
}

// Patches and varying points along one direction of a patch mesh.
struct MeshDirection {
  long long patches;
  long long varying;
  bool stepBelowOne;
};

MeshDirection meshDirection(bool bicubic, int n, bool periodic, int step) {
  MeshDirection d{0, 0, false};
  if (!bicubic) {
    d.patches = periodic ? n : static_cast<long long>(n) - 1;
  } else if (step < 1) {
    d.stepBelowOne = true; // no patch count exists; the mesh counts as empty in this direction
  } else {
    // Integer division truncates toward zero, as the count rule is defined.
    d.patches = periodic ? n / step : (static_cast<long long>(n) - 4) / step + 1;
  }
  d.varying = d.patches + (periodic ? 0 : 1);
  return d;
}

} // namespace

int64_t paramValueCount(const ParamDecl &decl, const PrimitiveCounts *counts) {
  int64_t elements = 1;
  if (counts) {
    switch (decl.paramClass) {
    case kClassUniform: elements = counts->uniform; break;
    case kClassVarying: elements = counts->varying; break;
    case kClassVertex: elements = counts->vertex; break;
    case kClassFaceVarying:
    case kClassFaceVertex: elements = counts->faceVarying; break;
    default: break; // constant: one element
    }
  }
  const int64_t count = elements * decl.arraySize * paramTypeInfo(decl.type).components;
  return count < 0 ? 0 : count;
}

int clampCount(long long value) {
  if (value < 0) return 0;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

long long sumOf(const RtInt *values, long long n) {
  long long sum = 0;
  for (long long i = 0; i < n; ++i) sum += values[i];
  return sum;
}

int largestIndexPlusOne(const RtInt *indices, long long n) {
  RtInt largest = 0;
  for (long long i = 0; i < n; ++i) largest = indices[i] > largest ? indices[i] : largest;
  return clampCount(static_cast<long long>(largest) + 1);
}

PrimitiveCounts quadricCounts() { return makeCounts(4, 4, 1); }

PrimitiveCounts vertexListCounts(long long nvertices) {
  return makeCounts(nvertices, nvertices, 1);
}

PrimitiveCounts indexedMeshCounts(const RtInt *indices, long long nindices, int nfaces) {
  const int points = largestIndexPlusOne(indices, nindices);
  PrimitiveCounts counts = makeCounts(points, points, nfaces);
  counts.faceVarying = clampCount(nindices);
  if (nindices < 0) counts.problem = kNegativeCount;
  return counts;
}

PrimitiveCounts patchCounts(const char *type) {
  return makeCounts(sameText(type, "bilinear") ? 4 : 16, 4, 1);
}

PrimitiveCounts patchMeshCounts(bool bicubic, int nu, bool uperiodic, int nv, bool vperiodic,
                                int uStep, int vStep) {
  const MeshDirection u = meshDirection(bicubic, nu, uperiodic, uStep);
  const MeshDirection v = meshDirection(bicubic, nv, vperiodic, vStep);
  PrimitiveCounts counts;
  counts.vertex = productCount(nu, nv);
  counts.varying = productCount(u.varying, v.varying);
  counts.uniform = productCount(u.patches, v.patches);
  counts.faceVarying = counts.varying;
  if (u.stepBelowOne || v.stepBelowOne)
    counts.problem = kStepBelowOne;
  else if (u.patches <= 0 || v.patches <= 0 || nu < 0 || nv < 0)
    counts.problem = kSmallerThanPatch;
  return counts;
}

PrimitiveCounts nuPatchCounts(int nu, int uorder, int nv, int vorder) {
  const long long uspans = static_cast<long long>(nu) - uorder + 1;
  const long long vspans = static_cast<long long>(nv) - vorder + 1;
  PrimitiveCounts counts;
  counts.vertex = productCount(nu, nv);
  counts.varying = productCount(uspans + 1, vspans + 1);
  counts.uniform = productCount(uspans, vspans);
  counts.faceVarying = counts.varying;
  if (uspans <= 0 || vspans <= 0 || nu < 0 || nv < 0 || uorder < 0 || vorder < 0)
    counts.problem = kSmallerThanPatch;
  return counts;
}

PrimitiveCounts curvesCounts(bool cubic, bool periodic, int ncurves, const RtInt *nvertices,
                             int vStep) {
  long long vertex = 0, varying = 0;
  bool smallCurve = false, stepBelowOne = false;
  for (int i = 0; i < ncurves; ++i) {
    const long long k = nvertices[i];
    long long segments, values;
    if (!cubic) {
      segments = periodic ? k : k - 1;
      values = k;
    } else if (vStep < 1) {
      stepBelowOne = true;
      segments = 0;
      values = 0;
    } else {
      segments = periodic ? k / vStep : (k - 4) / vStep + 1;
      values = periodic ? segments : segments + 1;
    }
    if (segments <= 0 || k < 0) smallCurve = true;
    vertex += atLeastZero(k);
    varying += atLeastZero(values);
  }
  // One uniform value per curve, as renderers read it (not one per segment).
  PrimitiveCounts counts = makeCounts(vertex, varying, atLeastZero(ncurves));
  if (stepBelowOne)
    counts.problem = kStepBelowOne;
  else if (smallCurve)
    counts.problem = kSmallerThanSegment;
  return counts;
}

// One uniform value for the whole primitive, as renderers read it (not one per leaf).
PrimitiveCounts blobbyCounts(int nleaf) { return makeCounts(nleaf, nleaf, 1); }

BlobbyScan scanBlobbyCode(const RtInt *code, int ncode) {
  // Words taken, leaves, floats and strings of the fixed-size codes; codes 0-3 take 2 + the
  // operand count that follows them.
  struct Leaf {
    RtInt code;
    int words, floats, strings;
  };
  static const Leaf kLeaves[] = {
      {1000, 2, 1, 0}, {1001, 2, 16, 0}, {1002, 2, 23, 0}, {1003, 3, 4, 1}};
  BlobbyScan scan;
  long long floats = 0, strings = 0, leaves = 0;
  long long at = 0;
  while (at < ncode) {
    const RtInt op = code[at];
    if (op >= 0 && op <= 3) {
      if (at + 1 >= ncode) {
        scan.badWord = static_cast<int>(at);
        break;
      }
      const RtInt operands = code[at + 1];
      if (operands < 0 && scan.badWord < 0) scan.badWord = static_cast<int>(at);
      at += 2 + atLeastZero(operands);
      continue;
    }
    int words = 1;
    if (op == 4 || op == 5)
      words = 3;
    else if (op == 6 || op == 7)
      words = 2;
    for (const Leaf &leaf : kLeaves) {
      if (leaf.code != op) continue;
      words = leaf.words;
      ++leaves;
      floats += leaf.floats;
      strings += leaf.strings;
    }
    at += words;
  }
  scan.leaves = clampCount(leaves);
  scan.floats = clampCount(floats);
  scan.strings = clampCount(strings);
  return scan;
}

TrimCurveSizes trimCurveSizes(int nloops, const RtInt *ncurves, const RtInt *order,
                              const RtInt *n) {
  TrimCurveSizes sizes;
  const long long curves = sumOf(ncurves, nloops);
  sizes.curves = clampCount(curves);
  long long knots = 0, points = 0;
  for (int i = 0; i < sizes.curves; ++i) {
    knots += static_cast<long long>(order[i]) + n[i];
    points += n[i];
  }
  sizes.knots = clampCount(knots);
  sizes.points = clampCount(points);
  sizes.negative = curves < 0 || knots < 0 || points < 0;
  return sizes;
}

SubdivisionTagTotals subdivisionTagTotals(int ntags, const RtInt *nargs) {
  long long integers = 0, floats = 0;
  for (int i = 0; i < ntags; ++i) {
    integers += nargs[2 * static_cast<long long>(i)];
    floats += nargs[2 * static_cast<long long>(i) + 1];
  }
  return SubdivisionTagTotals{clampCount(integers), clampCount(floats)};
}

bool missingArray(const char *request, const char *array, const void *values, long long needed) {
  if (values || needed <= 0) return false;
  reportError(RIE_MISSINGDATA, "%s has no %s array (%lld values expected); the request is left out",
              request, array, needed);
  return true;
}

bool negativeCount(const char *request, const char *count, long long value) {
  if (value >= 0) return false;
  reportError(RIE_RANGE, "%s has a negative %s (%lld); the request is left out", request, count,
              value);
  return true;
}

bool negativeEntry(const char *request, const char *array, const RtInt *values, long long n) {
  for (long long i = 0; values && i < n; ++i)
    if (values[i] < 0) {
      reportError(RIE_RANGE, "%s has a negative count in %s[%lld] (%d); the request is left out",
                  request, array, i, values[i]);
      return true;
    }
  return false;
}

void reportClampedCounts(const char *request, const PrimitiveCounts &counts) {
  if (counts.problem)
    reportError(RIE_RANGE, "%s %s; counts clamped at zero", request, counts.problem);
}

} // namespace rib
