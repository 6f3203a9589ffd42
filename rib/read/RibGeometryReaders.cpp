// The readers of the geometric primitives with a RIB form of their own. Their counts come from
// the lengths of the arrays in the file (PointsPolygons has no npolys: it is the length of
// nvertices), so each reader checks that the arrays agree with one another exactly as the
// context's writer will read them, walking them with the writer's own rules (PrimitiveArrays.h),
// then sizes the parameters with the counts that walk gives.
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "PrimitiveArrays.h"
#include "RibRequestRead.h"
#include "RibText.h"
#include "SameText.h"
#include "StandardNames.h"

namespace rib {
namespace {

// The sum of `n` counts, none of which may be negative.
bool sumOfCounts(RequestRead &read, const RtInt *counts, RtInt n, const char *what,
                 long long &sum) {
  sum = 0;
  for (RtInt i = 0; i < n; ++i) {
    if (counts[i] < 0) return read.fail("%s: %s holds a negative count", read.name(), what);
    sum += counts[i];
  }
  return true;
}

// An array whose length another array's counts give.
bool lengthIs(RequestRead &read, RtInt length, long long expected, const char *what,
              const char *from) {
  if (length == expected) return true;
  return read.fail("%s: %s holds %d value%s where %s gives %lld", read.name(), what, length,
                   length == 1 ? "" : "s", from, expected);
}

bool indicesAtLeastZero(RequestRead &read, const RtInt *indices, RtInt n) {
  for (RtInt i = 0; i < n; ++i)
    if (indices[i] < 0) return read.fail("%s: vertices holds a negative index", read.name());
  return true;
}

// One of the two texts a request accepts in a place (patch types, wraps, curve types).
bool takeChoice(RequestRead &read, char *&text, const char *first, const char *second,
                const char *what) {
  if (!read.take(text)) return false;
  if (sameText(text, first) || sameText(text, second)) return true;
  return read.fail("%s: %s must be \"%s\" or \"%s\", not \"%s\"", read.name(), what, first, second,
                   shownText(text).c_str());
}

// The arrays of a request as the file gave them, each of which must hold exactly what the earlier
// ones give. The fixed counts are the lengths of arrays in the file, so never negative.
struct FileArray {
  const char *name;
  RtInt length;
  const char *counts = nullptr; // how a negative count names the array, when not by its name
};

class FileArrays : public ArrayCheck {
public:
  FileArrays(RequestRead &read, std::vector<FileArray> arrays)
      : read(read), arrays(std::move(arrays)) {}
  bool count(const char *, long long) override { return true; }
  bool array(const char *name, const void *values, long long needed, const char *from,
             ArrayRole role) override {
    RtInt length = 0;
    const char *counts = name;
    for (const FileArray &given : arrays)
      if (std::strcmp(given.name, name) == 0) {
        length = given.length;
        if (given.counts) counts = given.counts;
      }
    if (!lengthIs(read, length, needed, name, from)) return false;
    const RtInt *entries = static_cast<const RtInt *>(values);
    long long unused;
    switch (role) {
    case ArrayRole::Indices: return indicesAtLeastZero(read, entries, length);
    case ArrayRole::Counts:
    case ArrayRole::ClampedCounts: return sumOfCounts(read, entries, length, counts, unused);
    case ArrayRole::Values: break;
    }
    return true;
  }

private:
  RequestRead &read;
  std::vector<FileArray> arrays;
};

RtInt *ints(const RtInt *values) { return const_cast<RtInt *>(values); }
RtFloat *floats(const RtFloat *values) { return const_cast<RtFloat *>(values); }

// ---- Quadrics and polygons ----

void readHyperboloid(RequestRead &read) {
  RtPoint point1, point2;
  RtFloat thetamax;
  if (!(read.takeNumbers(point1, 3, "point1") && read.takeNumbers(point2, 3, "point2") &&
        read.take(thetamax) && read.takePrimitiveParams(quadricCounts())))
    return;
  read.context().HyperboloidV(point1, point2, thetamax, read.paramCount(), read.tokens(),
                              read.values());
}

void readPolygon(RequestRead &read) {
  RtInt nvertices;
  FileArrays none(read, {});
  if (read.findVertexCount(nvertices) &&
      read.takePrimitiveParams(polygonArrays(none, nvertices).counts))
    read.context().PolygonV(nvertices, read.paramCount(), read.tokens(), read.values());
}

void readPoints(RequestRead &read) {
  RtInt npoints;
  FileArrays none(read, {});
  if (read.findVertexCount(npoints) && read.takePrimitiveParams(pointsArrays(none, npoints).counts))
    read.context().PointsV(npoints, read.paramCount(), read.tokens(), read.values());
}

void readGeneralPolygon(RequestRead &read) {
  const RtInt *nvertices;
  RtInt nloops;
  if (!read.takeInts(nvertices, nloops, "nvertices")) return;
  FileArrays given(read, {{"nvertices", nloops}});
  const PrimitiveArrays arrays = generalPolygonArrays(given, nloops, nvertices);
  if (arrays.ok && read.takePrimitiveParams(arrays.counts))
    read.context().GeneralPolygonV(nloops, ints(nvertices), read.paramCount(), read.tokens(),
                                   read.values());
}

void readPointsPolygons(RequestRead &read) {
  const RtInt *nvertices, *vertices;
  RtInt npolys, nindices;
  if (!(read.takeInts(nvertices, npolys, "nvertices") &&
        read.takeInts(vertices, nindices, "vertices")))
    return;
  FileArrays given(read, {{"nvertices", npolys}, {"vertices", nindices}});
  const PrimitiveArrays arrays = pointsPolygonsArrays(given, npolys, nvertices, vertices);
  if (!(arrays.ok && read.takePrimitiveParams(arrays.counts))) return;
  read.context().PointsPolygonsV(npolys, ints(nvertices), ints(vertices), read.paramCount(),
                                 read.tokens(), read.values());
}

void readPointsGeneralPolygons(RequestRead &read) {
  const RtInt *nloops, *nvertices, *vertices;
  RtInt npolys, totalLoops, nindices;
  if (!(read.takeInts(nloops, npolys, "nloops") &&
        read.takeInts(nvertices, totalLoops, "nvertices") &&
        read.takeInts(vertices, nindices, "vertices")))
    return;
  FileArrays given(read, {{"nloops", npolys}, {"nvertices", totalLoops}, {"vertices", nindices}});
  const PrimitiveArrays arrays =
      pointsGeneralPolygonsArrays(given, npolys, nloops, nvertices, vertices);
  if (!(arrays.ok && read.takePrimitiveParams(arrays.counts))) return;
  read.context().PointsGeneralPolygonsV(npolys, ints(nloops), ints(nvertices), ints(vertices),
                                        read.paramCount(), read.tokens(), read.values());
}

// ---- Patches ----

// A basis by name (the standard matrix itself, which a writer writes by name again) or as an
// array of 16 numbers, copied into `numbers`.
bool takeBasis(RequestRead &read, RtFloat (*&basis)[4], RtBasis &numbers, const char *what) {
  if (read.hasMore() && read.peek().type == RibArgType::String) {
    char *name;
    read.take(name);
    if (const StandardBasis *standard = findBasis(name)) {
      basis = *standard->matrix;
      return true;
    }
    return read.fail("%s: unknown basis \"%s\"", read.name(), shownText(name).c_str());
  }
  if (read.hasMore() && !read.peek().isArray())
    return read.fail("%s: %s must be a basis name or an array of 16 numbers", read.name(), what);
  basis = numbers;
  return read.takeNumbers(&numbers[0][0], 16, what);
}

void readBasis(RequestRead &read) {
  RtBasis uNumbers, vNumbers;
  RtFloat(*ubasis)[4], (*vbasis)[4];
  RtInt ustep, vstep;
  if (!(takeBasis(read, ubasis, uNumbers, "ubasis") && read.take(ustep) &&
        takeBasis(read, vbasis, vNumbers, "vbasis") && read.take(vstep) && read.atEnd()))
    return;
  read.context().Basis(ubasis, ustep, vbasis, vstep);
  read.state().uStep = ustep;
  read.state().vStep = vstep;
}

void readPatch(RequestRead &read) {
  char *type;
  if (takeChoice(read, type, "bilinear", "bicubic", "the type") &&
      read.takePrimitiveParams(patchCounts(type)))
    read.context().PatchV(type, read.paramCount(), read.tokens(), read.values());
}

void readPatchMesh(RequestRead &read) {
  char *type, *uwrap, *vwrap;
  RtInt nu, nv;
  if (!(takeChoice(read, type, "bilinear", "bicubic", "the type") && read.take(nu) &&
        takeChoice(read, uwrap, "periodic", "nonperiodic", "uwrap") && read.take(nv) &&
        takeChoice(read, vwrap, "periodic", "nonperiodic", "vwrap")))
    return;
  const PrimitiveCounts counts =
      patchMeshCounts(sameText(type, "bicubic"), nu, sameText(uwrap, "periodic"), nv,
                      sameText(vwrap, "periodic"), read.state().uStep, read.state().vStep);
  if (read.takePrimitiveParams(counts))
    read.context().PatchMeshV(type, nu, uwrap, nv, vwrap, read.paramCount(), read.tokens(),
                              read.values());
}

void readNuPatch(RequestRead &read) {
  RtInt nu, uorder, nv, vorder, nuknots, nvknots;
  const RtFloat *uknot, *vknot;
  RtFloat umin, umax, vmin, vmax;
  if (!(read.take(nu) && read.take(uorder) && read.takeFloats(uknot, nuknots, "uknot") &&
        read.take(umin) && read.take(umax) && read.take(nv) && read.take(vorder) &&
        read.takeFloats(vknot, nvknots, "vknot") && read.take(vmin) && read.take(vmax)))
    return;
  FileArrays given(read, {{"uknot", nuknots}, {"vknot", nvknots}});
  const PrimitiveArrays arrays = nuPatchArrays(given, nu, uorder, uknot, nv, vorder, vknot);
  if (!(arrays.ok && read.takePrimitiveParams(arrays.counts))) return;
  read.context().NuPatchV(nu, uorder, floats(uknot), umin, umax, nv, vorder, floats(vknot), vmin,
                          vmax, read.paramCount(), read.tokens(), read.values());
}

void readTrimCurve(RequestRead &read) {
  const RtInt *ncurves, *order, *n;
  const RtFloat *knot, *min, *max, *u, *v, *w;
  RtInt nloops, norder, nknot, nmin, nmax, nn, nu, nv, nw;
  if (!(read.takeInts(ncurves, nloops, "ncurves") && read.takeInts(order, norder, "order") &&
        read.takeFloats(knot, nknot, "knot") && read.takeFloats(min, nmin, "min") &&
        read.takeFloats(max, nmax, "max") && read.takeInts(n, nn, "n") &&
        read.takeFloats(u, nu, "u") && read.takeFloats(v, nv, "v") && read.takeFloats(w, nw, "w") &&
        read.atEnd()))
    return;
  FileArrays given(read, {{"ncurves", nloops},
                          {"order", norder, "order or n"},
                          {"knot", nknot},
                          {"min", nmin},
                          {"max", nmax},
                          {"n", nn, "order or n"},
                          {"u", nu},
                          {"v", nv},
                          {"w", nw}});
  if (trimCurveArrays(given, nloops, ncurves, order, knot, min, max, n, u, v, w).ok)
    read.context().TrimCurve(nloops, ints(ncurves), ints(order), floats(knot), floats(min),
                             floats(max), ints(n), floats(u), floats(v), floats(w));
}

// ---- Curves, subdivision meshes, blobbies, procedurals ----

void readCurves(RequestRead &read) {
  char *type, *wrap;
  const RtInt *nvertices;
  RtInt ncurves;
  if (!(takeChoice(read, type, "linear", "cubic", "the type") &&
        read.takeInts(nvertices, ncurves, "nvertices") &&
        takeChoice(read, wrap, "periodic", "nonperiodic", "the wrap")))
    return;
  FileArrays given(read, {{"nvertices", ncurves}});
  const PrimitiveArrays arrays =
      curvesArrays(given, type, ncurves, nvertices, wrap, read.state().vStep);
  if (arrays.ok && read.takePrimitiveParams(arrays.counts))
    read.context().CurvesV(type, ncurves, ints(nvertices), wrap, read.paramCount(), read.tokens(),
                           read.values());
}

void readSubdivisionMesh(RequestRead &read) {
  char *scheme;
  const RtInt *nvertices, *vertices, *nargs = nullptr, *intargs = nullptr;
  const RtFloat *floatargs = nullptr;
  char **tags = nullptr;
  RtInt nfaces, nindices, ntags = 0, nnargs = 0, nintargs = 0, nfloatargs = 0;
  if (!(read.take(scheme) && read.takeInts(nvertices, nfaces, "nvertices") &&
        read.takeInts(vertices, nindices, "vertices")))
    return;
  // The mesh is checked before its tags are read; then, when there are tags, all of it again.
  FileArrays mesh(read, {{"nvertices", nfaces}, {"vertices", nindices}});
  PrimitiveArrays arrays = subdivisionMeshArrays(mesh, nfaces, nvertices, vertices, 0, nullptr,
                                                 nullptr, nullptr, nullptr);
  if (!arrays.ok) return;
  // The tags and their arguments travel as a group of four arrays, or not at all.
  if (read.hasMore() && read.peek().isArray()) {
    if (!(read.takeTexts(tags, ntags, "tags") && read.takeInts(nargs, nnargs, "nargs") &&
          read.takeInts(intargs, nintargs, "intargs") &&
          read.takeFloats(floatargs, nfloatargs, "floatargs")))
      return;
    FileArrays given(read, {{"nvertices", nfaces},
                            {"vertices", nindices},
                            {"tags", ntags},
                            {"nargs", nnargs},
                            {"intargs", nintargs},
                            {"floatargs", nfloatargs}});
    arrays = subdivisionMeshArrays(given, nfaces, nvertices, vertices, ntags, tags, nargs, intargs,
                                   floatargs);
    if (!arrays.ok) return;
  }
  if (read.takePrimitiveParams(arrays.counts))
    read.context().SubdivisionMeshV(scheme, nfaces, ints(nvertices), ints(vertices), ntags, tags,
                                    ints(nargs), ints(intargs), floats(floatargs),
                                    read.paramCount(), read.tokens(), read.values());
}

void readBlobby(RequestRead &read) {
  RtInt nleaf, ncode, nflt, nstr;
  const RtInt *code;
  const RtFloat *flt;
  char **str;
  if (!(read.take(nleaf) && read.takeInts(code, ncode, "code") &&
        read.takeFloats(flt, nflt, "floats") && read.takeTexts(str, nstr, "strings")))
    return;
  const BlobbyScan scan = scanBlobbyCode(code, ncode);
  if (scan.badWord >= 0) {
    read.fail("Blobby: the operation at code word %d has no valid operand count", scan.badWord);
    return;
  }
  // Tables longer than the code uses are written that way by renderers' own examples
  // (`[""]` for a code without strings); only a table too short is wrong.
  if (nleaf != scan.leaves || nflt < scan.floats || nstr < scan.strings) {
    read.fail("Blobby: %d leaves, %d floats and %d strings where the code has %d, %d and %d", nleaf,
              nflt, nstr, scan.leaves, scan.floats, scan.strings);
    return;
  }
  FileArrays given(read, {{"code", ncode}, {"flt", nflt}, {"str", nstr}});
  const PrimitiveArrays arrays = blobbyArrays(given, nleaf, ncode, code, nflt, flt, nstr, str);
  if (arrays.ok && read.takePrimitiveParams(arrays.counts))
    read.context().BlobbyV(nleaf, ncode, ints(code), nflt, floats(flt), nstr, str,
                           read.paramCount(), read.tokens(), read.values());
}

void readProcedural(RequestRead &read) {
  char *type;
  char **data;
  RtInt ntexts;
  RtBound bound;
  if (!(read.take(type) && read.takeTexts(data, ntexts, "the data") &&
        read.takeNumbers(bound, 6, "the bound") && read.atEnd()))
    return;
  if (const StandardProcedural *kind = findProcedural(type)) {
    if (ntexts != kind->texts) {
      read.fail("Procedural: \"%s\" takes %d string%s, not %d", kind->name, kind->texts,
                kind->texts == 1 ? "" : "s", ntexts);
      return;
    }
    read.context().Procedural(data, bound, kind->subdivide, nullptr);
    return;
  }
  read.fail("Procedural: unknown procedural \"%s\"", shownText(type).c_str());
}

} // namespace

const RequestReader kGeometryReaders[] = {
    {"Hyperboloid", readHyperboloid},
    {"Polygon", readPolygon},
    {"GeneralPolygon", readGeneralPolygon},
    {"PointsPolygons", readPointsPolygons},
    {"PointsGeneralPolygons", readPointsGeneralPolygons},
    {"Basis", readBasis},
    {"Patch", readPatch},
    {"PatchMesh", readPatchMesh},
    {"NuPatch", readNuPatch},
    {"TrimCurve", readTrimCurve},
    {"Curves", readCurves},
    {"Points", readPoints},
    {"SubdivisionMesh", readSubdivisionMesh},
    {"Blobby", readBlobby},
    {"Procedural", readProcedural},
};

const size_t kGeometryReaderCount = std::size(kGeometryReaders);

} // namespace rib
