// ShortForms.h - the calls that leave out counts the arrays already give, as Python's RenderMan
// bindings write them: ri.PointsPolygons(nvertices, vertices, P=P) for
// ri.PointsPolygons(len(nvertices), nvertices, vertices, P=P), ri.Polygon(P=P) for
// ri.Polygon(len(P) // 3, P=P). The full form stays; both write the same bytes.
//
// A row lists its counts that may be left out, each with the array that gives it (an argument's
// index, or the vertex parameter "P", "Pw" or "Pz") and the values per counted item. A short call
// gives every fixed argument but those counts; SubdivisionMesh may also leave out its tag arrays.
// The stub generator (MakeStubs.cpp) writes the same forms as overloads.
#pragma once

#include "RequestTable.h"

namespace ribpy {

/// The array of a count given by the vertex parameter of the list ("P", "Pw" or "Pz").
constexpr int kVertexParameter = -1;

struct OmittedCount {
  int count; // index of the count among the fixed arguments
  int array; // index of the array that gives it, or kVertexParameter
  int per;   // values per counted item (the vertex parameter: by its name)
};

struct ShortForm {
  int omitted = 0; // counts left out; 0: the request has no short form
  OmittedCount counts[3] = {};
  int optionalTail = 0; // trailing arrays a short call may leave out too (then empty)
};

template <Request R> constexpr ShortForm shortForm() { return {}; }

#define RIBPY_SHORT_FORM(Name, ...)                                                                \
  template <> constexpr ShortForm shortForm<Request::Name>() { return __VA_ARGS__; }

RIBPY_SHORT_FORM(ColorSamples, {1, {{0, 1, 3}}})
RIBPY_SHORT_FORM(TransformPoints, {1, {{2, 3, 3}}})
RIBPY_SHORT_FORM(MotionBegin, {1, {{0, 1, 1}}})
RIBPY_SHORT_FORM(Polygon, {1, {{0, kVertexParameter, 0}}})
RIBPY_SHORT_FORM(GeneralPolygon, {1, {{0, 1, 1}}})
RIBPY_SHORT_FORM(PointsPolygons, {1, {{0, 1, 1}}})
RIBPY_SHORT_FORM(PointsGeneralPolygons, {1, {{0, 1, 1}}})
RIBPY_SHORT_FORM(TrimCurve, {1, {{0, 1, 1}}})
RIBPY_SHORT_FORM(Curves, {1, {{1, 2, 1}}})
RIBPY_SHORT_FORM(Points, {1, {{0, kVertexParameter, 0}}})
// nfaces from nvertices, ntags from tags; without tags, nargs, intargs, floatargs: no tags.
RIBPY_SHORT_FORM(SubdivisionMesh, {2, {{1, 2, 1}, {4, 5, 1}}, 4})
RIBPY_SHORT_FORM(Blobby, {3, {{1, 2, 1}, {3, 4, 1}, {5, 6, 1}}})

#undef RIBPY_SHORT_FORM

/// True when fixed argument `index` is one that the short form leaves out.
constexpr bool isOmitted(const ShortForm &form, int index) {
  for (int i = 0; i < form.omitted; ++i)
    if (form.counts[i].count == index) return true;
  return false;
}

} // namespace ribpy
