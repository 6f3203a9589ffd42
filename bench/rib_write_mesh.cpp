// A large polygon mesh written as ASCII RIB to a file: a PointsPolygons request of 1,000,000
// triangles with "P" and "N" per vertex, by the library (one request) against the same numbers
// written with one fprintf each. The library's cost includes everything a caller pays: the loop
// sizes, the index array, the largest-index scan, the count rules and the two float arrays.
// After both cases ran, their files are compared number by number (they differ only in blanks).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "rib/RibWriter.h"

namespace {

// 1000 x 500 quads of two triangles each over a 1001 x 501 vertex grid.
constexpr int kQuadsAcross = 1000;
constexpr int kQuadsDown = 500;

struct TriangleMesh {
  std::vector<RtInt> nvertices;  // 3 per triangle
  std::vector<RtInt> vertices;   // indices into the grid
  std::vector<RtFloat> P;        // a gently waving sheet
  std::vector<RtFloat> N;        // its unit normals
  int triangles() const { return static_cast<int>(nvertices.size()); }
};

const TriangleMesh &mesh() {
  static const TriangleMesh built = [] {
    TriangleMesh m;
    const int across = kQuadsAcross + 1;
    for (int j = 0; j <= kQuadsDown; ++j) {
      for (int i = 0; i < across; ++i) {
        const float x = static_cast<float>(i) * 0.0125f - 6.25f;
        const float z = static_cast<float>(j) * 0.0125f - 3.125f;
        const float y = 0.25f * std::sin(x * 1.7f) * std::cos(z * 2.3f);
        const float dydx = 0.25f * 1.7f * std::cos(x * 1.7f) * std::cos(z * 2.3f);
        const float dydz = -0.25f * 2.3f * std::sin(x * 1.7f) * std::sin(z * 2.3f);
        const float length = std::sqrt(dydx * dydx + 1 + dydz * dydz);
        m.P.insert(m.P.end(), {x, y, z});
        m.N.insert(m.N.end(), {-dydx / length, 1 / length, -dydz / length});
      }
    }
    for (int j = 0; j < kQuadsDown; ++j) {
      for (int i = 0; i < kQuadsAcross; ++i) {
        const RtInt a = j * across + i, b = a + 1, c = a + across, d = c + 1;
        m.vertices.insert(m.vertices.end(), {a, b, c, c, b, d});
        m.nvertices.insert(m.nvertices.end(), {3, 3});
      }
    }
    return m;
  }();
  return built;
}

std::string outputPath(const char *which) {
  const char *dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/rib_write_mesh_" + std::to_string(getpid()) +
         "_" + which + ".rib";
}

long fileSize(const std::string &path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<long>(in.tellg()) : -1;
}

void BM_Mesh_library(benchmark::State &state) {
  const TriangleMesh &m = mesh();
  const std::string path = outputPath("library");
  RtToken tokens[] = {const_cast<char *>("P"), const_cast<char *>("N")};
  RtPointer values[] = {const_cast<RtFloat *>(m.P.data()), const_cast<RtFloat *>(m.N.data())};
  for (auto _ : state) {
    auto *rib = new RibWriter(path.c_str());
    rib->PointsPolygonsV(m.triangles(), const_cast<RtInt *>(m.nvertices.data()),
                         const_cast<RtInt *>(m.vertices.data()), 2, tokens, values);
    delete rib;  // closes the file: the bytes are in the kernel's hands, as with fclose
  }
  state.counters["MB"] = static_cast<double>(fileSize(path)) / 1e6;
}

void BM_Mesh_fprintf(benchmark::State &state) {
  const TriangleMesh &m = mesh();
  const std::string path = outputPath("fprintf");
  for (auto _ : state) {
    FILE *out = std::fopen(path.c_str(), "wb");
    if (!out) {
      state.SkipWithError("cannot open the output file");
      return;
    }
    std::fprintf(out, "##RenderMan RIB-Structure 1.0\nversion 3.03\nPointsPolygons[");
    for (RtInt n : m.nvertices) std::fprintf(out, "%d ", n);
    std::fprintf(out, "] [");
    for (RtInt v : m.vertices) std::fprintf(out, "%d ", v);
    std::fprintf(out, "]  \"P\" [");
    for (RtFloat p : m.P) std::fprintf(out, "%g ", static_cast<double>(p));
    std::fprintf(out, "] \"N\" [");
    for (RtFloat n : m.N) std::fprintf(out, "%g ", static_cast<double>(n));
    std::fprintf(out, "]\n\n");
    std::fclose(out);
  }
  state.counters["MB"] = static_cast<double>(fileSize(path)) / 1e6;
}

// The words of a RIB text with brackets and blanks as separators.
std::vector<std::string> wordsOf(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string all = text.str();
  for (char &c : all)
    if (c == '[' || c == ']') c = ' ';
  std::vector<std::string> words;
  std::istringstream split(all);
  for (std::string word; split >> word;) words.push_back(word);
  return words;
}

// Runs last: both files must hold the same numbers in the same order.
void BM_Mesh_sameNumbers(benchmark::State &state) {
  const std::string library = outputPath("library"), fprintfPath = outputPath("fprintf");
  bool same = false;
  for (auto _ : state) same = fileSize(library) > 0 && wordsOf(library) == wordsOf(fprintfPath);
  std::remove(library.c_str());
  std::remove(fprintfPath.c_str());
  if (!same) state.SkipWithError("the library and fprintf files differ (or one is missing)");
}

BENCHMARK(BM_Mesh_library)->Name("PointsPolygonsMesh/library")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mesh_fprintf)->Name("PointsPolygonsMesh/fprintf")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mesh_sameNumbers)->Name("PointsPolygonsMesh/check")->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
