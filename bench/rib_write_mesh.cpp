// A large polygon mesh written as ASCII RIB to a file: a PointsPolygons request of 1,000,000
// triangles with "P" and "N" per vertex, by the library (one request) against the same numbers
// written with one fprintf each, with floats of 6 significant digits and, as case
// "PointsPolygonsMesh9", of 9. The library's cost includes everything a caller pays: the loop
// sizes, the index array, the largest-index scan, the count rules and the two float arrays.
// Before timing, both ways are checked to write the same numbers (they differ only in blanks).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "RibWriteCheck.h"
#include "RibWriter.h"
#include "TriangleMesh.h"

using namespace rib;

namespace {

using ribbench::mesh;

void writeWithLibrary(rib::RibWriter &rib) {
  const ribbench::TriangleMesh &m = mesh();
  RtToken tokens[] = {const_cast<char *>("P"), const_cast<char *>("N")};
  RtPointer values[] = {const_cast<RtFloat *>(m.P.data()), const_cast<RtFloat *>(m.N.data())};
  rib.PointsPolygonsV(m.triangles(), const_cast<RtInt *>(m.nvertices.data()),
                      const_cast<RtInt *>(m.vertices.data()), 2, tokens, values);
}

template <int kDigits> void writeWithFprintf(FILE *file) {
  const ribbench::TriangleMesh &m = mesh();
  std::fputs("PointsPolygons[", file);
  for (RtInt n : m.nvertices) std::fprintf(file, "%d ", n);
  std::fputs("] [", file);
  for (RtInt v : m.vertices) std::fprintf(file, "%d ", v);
  std::fputs("]  \"P\" [", file);
  const char *const conversion = ribbench::fprintfFloat(kDigits);
  for (RtFloat p : m.P) std::fprintf(file, conversion, static_cast<double>(p));
  std::fputs("] \"N\" [", file);
  for (RtFloat n : m.N) std::fprintf(file, conversion, static_cast<double>(n));
  std::fputs("]\n", file);
}

// Both ways must write the same numbers in the same order (they differ only in blanks).
template <int kDigits> bool libraryMatchesFprintf() {
  const ribbench::TriangleMesh &m = mesh();
  const size_t numbers = m.nvertices.size() + m.vertices.size() + m.P.size() + m.N.size();
  // + the keyword, "P" and "N"
  return ribbench::sameWordsBothWays(writeWithLibrary, writeWithFprintf<kDigits>, "PointsPolygons",
                                     kDigits)
             .size() == numbers + 3;
}

// Each iteration rewrites the same file from its start, as the float array cases do.
template <int kDigits> void BM_MeshLibrary(benchmark::State &state) {
  if (!libraryMatchesFprintf<kDigits>()) {
    state.SkipWithError("the library's numbers differ from fprintf's");
    return;
  }
  const ribbench::PrecisionOptions precision(kDigits);
  ribbench::timeLibrary(state, "mesh_library", precision.options(), writeWithLibrary);
}

template <int kDigits> void BM_MeshFprintf(benchmark::State &state) {
  ribbench::timeFile(state, "mesh_fprintf", writeWithFprintf<kDigits>);
}

BENCHMARK_TEMPLATE(BM_MeshLibrary, 6)
    ->Name("PointsPolygonsMesh/library")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MeshFprintf, 6)
    ->Name("PointsPolygonsMesh/fprintf")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MeshLibrary, 9)
    ->Name("PointsPolygonsMesh9/library")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MeshFprintf, 9)
    ->Name("PointsPolygonsMesh9/fprintf")
    ->Unit(benchmark::kMillisecond);

} // namespace
