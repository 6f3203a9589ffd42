// A large polygon mesh written as ASCII RIB to a file: a PointsPolygons request of 1,000,000
// triangles with "P" and "N" per vertex, by the library (one request) against the same numbers
// written with one fprintf each. The library's cost includes everything a caller pays: the loop
// sizes, the index array, the largest-index scan, the count rules and the two float arrays.
// Before timing, both ways are checked to write the same numbers (they differ only in blanks).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "RibWriteCheck.h"
#include "TriangleMesh.h"
#include "rib/RibWriter.h"

namespace {

using ribbench::mesh;

void writeWithLibrary(RibWriter &rib) {
  const ribbench::TriangleMesh &m = mesh();
  RtToken tokens[] = {const_cast<char *>("P"), const_cast<char *>("N")};
  RtPointer values[] = {const_cast<RtFloat *>(m.P.data()), const_cast<RtFloat *>(m.N.data())};
  rib.PointsPolygonsV(m.triangles(), const_cast<RtInt *>(m.nvertices.data()),
                      const_cast<RtInt *>(m.vertices.data()), 2, tokens, values);
}

void writeWithFprintf(FILE *file) {
  const ribbench::TriangleMesh &m = mesh();
  std::fputs("PointsPolygons[", file);
  for (RtInt n : m.nvertices) std::fprintf(file, "%d ", n);
  std::fputs("] [", file);
  for (RtInt v : m.vertices) std::fprintf(file, "%d ", v);
  std::fputs("]  \"P\" [", file);
  for (RtFloat p : m.P) std::fprintf(file, "%g ", static_cast<double>(p));
  std::fputs("] \"N\" [", file);
  for (RtFloat n : m.N) std::fprintf(file, "%g ", static_cast<double>(n));
  std::fputs("]\n", file);
}

// Both ways must write the same numbers in the same order (they differ only in blanks).
bool libraryMatchesFprintf() {
  const ribbench::TriangleMesh &m = mesh();
  const size_t numbers = m.nvertices.size() + m.vertices.size() + m.P.size() + m.N.size();
  // + the keyword, "P" and "N"
  return ribbench::sameWordsBothWays(writeWithLibrary, writeWithFprintf, "PointsPolygons").size() ==
         numbers + 3;
}

// Each iteration rewrites the same file from its start, as the float array cases do.
void BM_MeshLibrary(benchmark::State &state) {
  if (!libraryMatchesFprintf()) {
    state.SkipWithError("the library's numbers differ from fprintf's");
    return;
  }
  const std::string path = ribbench::outputPath("mesh_library");
  RibWriter rib(path.c_str());
  for (auto _ : state) {
    std::rewind(rib.stream);
    writeWithLibrary(rib);
    std::fflush(rib.stream);
  }
  std::remove(path.c_str());
}

void BM_MeshFprintf(benchmark::State &state) {
  const std::string path = ribbench::outputPath("mesh_fprintf");
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file) {
    state.SkipWithError("cannot open the output file");
    return;
  }
  for (auto _ : state) {
    std::rewind(file);
    writeWithFprintf(file);
    std::fflush(file);
  }
  std::fclose(file);
  std::remove(path.c_str());
}

BENCHMARK(BM_MeshLibrary)->Name("PointsPolygonsMesh/library")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeshFprintf)->Name("PointsPolygonsMesh/fprintf")->Unit(benchmark::kMillisecond);

} // namespace
