// The C++ side of python/bench/bench_rib.py: writes the benchmark's PointsPolygons mesh, from the
// arrays it saved, through the C++ interface, and prints the best processor time (user and system)
// of a few runs in seconds.
// Each run opens OUT, writes the mesh with "P" and "N" and deletes the context, as the Python side
// does with its Context.
//
// Usage: rib_write_mesh_arrays FOLDER OUT [RUNS]
//   FOLDER holds nvertices.i32, vertices.i32, P.f32 and N.f32 (raw arrays in the machine's order).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "rib/RiContext.h"

namespace {

constexpr const char *kUsage = "usage: rib_write_mesh_arrays FOLDER OUT [RUNS]";

[[noreturn]] void badArgument(const std::string &problem) {
  std::fprintf(stderr, "rib_write_mesh_arrays: %s\n%s\n", problem.c_str(), kUsage);
  std::exit(2);
}

template <class T> std::vector<T> readArray(const std::string &path) {
  FILE *file = std::fopen(path.c_str(), "rb");
  if (!file) badArgument("cannot read " + path);
  std::vector<T> values;
  T buffer[4096];
  for (size_t n; (n = std::fread(buffer, sizeof(T), 4096, file)) > 0;)
    values.insert(values.end(), buffer, buffer + n);
  std::fclose(file);
  return values;
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3 || argc > 4) badArgument("expected a folder and an output file");
  const std::string folder = argv[1];
  int runs = 3;
  if (argc == 4) {
    char *end = nullptr;
    const long value = std::strtol(argv[3], &end, 10);
    if (*end != '\0' || value < 1 || value > 100) badArgument("RUNS must be 1 to 100");
    runs = static_cast<int>(value);
  }
  std::vector<RtInt> nvertices = readArray<RtInt>(folder + "/nvertices.i32");
  std::vector<RtInt> vertices = readArray<RtInt>(folder + "/vertices.i32");
  std::vector<RtFloat> P = readArray<RtFloat>(folder + "/P.f32");
  std::vector<RtFloat> N = readArray<RtFloat>(folder + "/N.f32");

  RtToken tokens[] = {const_cast<char *>("P"), const_cast<char *>("N")};
  RtPointer values[] = {P.data(), N.data()};
  double best = 1e30;
  for (int run = 0; run < runs; ++run) {
    const std::clock_t start = std::clock();
    RiContext *rib = static_cast<RiContext *>(RiNewContext(argv[2]));
    rib->PointsPolygonsV(static_cast<RtInt>(nvertices.size()), nvertices.data(), vertices.data(), 2,
                         tokens, values);
    delete rib;
    best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  }
  std::printf("%.6f\n", best);
  return 0;
}
