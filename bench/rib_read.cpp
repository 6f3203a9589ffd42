// Reading RIB: the reader against a simple tokenizer that reads each number with strtof.
//
// The 1,000,000-triangle PointsPolygons mesh of rib_write_mesh (1M vertex counts, 3M indices,
// 1.5M "P" and 1.5M "N" floats, about 50 MB of ASCII) is written through the library into a
// scratch file, then read back from that file by both. The baseline loads the file whole, skips
// blanks, brackets, words and quoted texts, and calls strtof on everything else. Before timing,
// both are checked to read the same numbers, bit for bit. Printed after Google Benchmark's table:
//     PointsPolygonsMesh: strtof/reader = 5.9x (CPU time: 5.9x); reader 860 MB/s, strtof 146 MB/s
//     PointsPolygonsMeshBinary: reader 1400 MB/s
//     PointsPolygonsMeshCompact: reader 700 MB/s
//     PointsPolygonsMeshGzip: reader 300 MB/s of RIB (40 MB/s of gzip)
// (the same mesh written with binary float arrays, with every token binary, and as ASCII
// compressed with gzip at level 6, decompressed as it is read). On a busy machine the
// ratio is steadier with --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "MeanTimes.h"
#include "RibReader.h"
#include "TriangleMesh.h"
#include "rib/ri.h"

namespace {

std::string scratchPath(const char *what) {
  return "/tmp/rib_read_" + std::string(what) + "_" + std::to_string(getpid()) + ".rib";
}

// The mesh as the library writes it in the encoding `format` ("ascii", "binary", "compact"),
// gzip-compressed when asked.
void writeMesh(const std::string &path, const char *format, bool gzip = false) {
  const ribbench::TriangleMesh &m = ribbench::mesh();
  const char *compression = gzip ? "gzip" : "none";
  RiOption(const_cast<char *>("rib"), "format", &format, "compression", &compression, RI_NULL);
  RiBegin(const_cast<char *>(path.c_str()));
  RtToken tokens[] = {const_cast<char *>("P"), const_cast<char *>("N")};
  RtPointer values[] = {const_cast<RtFloat *>(m.P.data()), const_cast<RtFloat *>(m.N.data())};
  RiPointsPolygonsV(m.triangles(), const_cast<RtInt *>(m.nvertices.data()),
                    const_cast<RtInt *>(m.vertices.data()), 2, tokens, values);
  RiEnd();
  const char *ascii = "ascii", *none = "none";
  RiOption(const_cast<char *>("rib"), "format", &ascii, "compression", &none, RI_NULL);
}

struct MeshFiles {
  std::string ascii = scratchPath("ascii");
  std::string binary = scratchPath("binary");
  std::string compact = scratchPath("compact");
  std::string gzip = scratchPath("gzip");
  size_t asciiBytes = 0;
  size_t binaryBytes = 0;
  size_t compactBytes = 0;
  size_t gzipBytes = 0;

  MeshFiles() {
    writeMesh(ascii, "ascii");
    writeMesh(binary, "binary");
    writeMesh(compact, "compact");
    writeMesh(gzip, "ascii", true);
    asciiBytes = sizeOf(ascii);
    binaryBytes = sizeOf(binary);
    compactBytes = sizeOf(compact);
    gzipBytes = sizeOf(gzip);
  }
  ~MeshFiles() {
    for (const std::string *path : {&ascii, &binary, &compact, &gzip}) std::remove(path->c_str());
  }
  static size_t sizeOf(const std::string &path) {
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size > 0 ? static_cast<size_t>(size) : 0;
  }
};

const MeshFiles &files() {
  static const MeshFiles written;
  return written;
}

// Keeps every number of every request as a float (integers through their float view), or only
// counts them while timing.
class NumberCollector : public rib::RibHandler {
public:
  explicit NumberCollector(bool keep) : keep_(keep) {}
  void request(const rib::RibRequest &request) override {
    for (const rib::RibArg &arg : request) {
      if (!arg.isNumeric()) continue;
      count += arg.count;
      if (keep_) numbers.insert(numbers.end(), arg.floats, arg.floats + arg.count);
    }
  }
  void error(std::string_view, rib::RibPosition) override { ++errors; }

  std::vector<float> numbers;
  size_t count = 0;
  size_t errors = 0;

private:
  bool keep_;
};

bool readWithReader(const std::string &path, rib::RibReader &reader) {
  FILE *file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool clean = reader.readFile(file);
  std::fclose(file);
  return clean;
}

// The baseline: the whole file in memory, then one strtof per number.
bool loadFile(const std::string &path, std::string &text) {
  FILE *file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text.resize(MeshFiles::sizeOf(path));
  const size_t read = std::fread(&text[0], 1, text.size(), file);
  std::fclose(file);
  return read == text.size();
}

void readWithStrtof(const std::string &text, std::vector<float> &numbers) {
  numbers.clear();
  const char *p = text.c_str();
  while (*p) {
    const char c = *p;
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '[' || c == ']') {
      ++p;
    } else if (c == '#') {
      while (*p && *p != '\n') ++p;
    } else if (c == '"') {
      for (++p; *p && *p != '"'; ++p)
        if (*p == '\\' && p[1]) ++p;
      if (*p) ++p;
    } else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
      char *end;
      numbers.push_back(std::strtof(p, &end));
      p = end > p ? end : p + 1;
    } else {
      while (*p && *p != ' ' && *p != '\n' && *p != '[' && *p != '"') ++p;
    }
  }
}

// Both ways must read the same numbers, bit for bit, and as many as the mesh holds.
bool readersAgree() {
  const ribbench::TriangleMesh &m = ribbench::mesh();
  const size_t expected = m.nvertices.size() + m.vertices.size() + m.P.size() + m.N.size();
  NumberCollector collector(true);
  std::string text;
  std::vector<float> baseline;
  rib::RibReader reader(collector);
  if (!readWithReader(files().ascii, reader) || !loadFile(files().ascii, text)) return false;
  readWithStrtof(text, baseline);
  // The header's "version 3.03" is a number for both.
  if (collector.numbers.size() != expected + 1 || baseline.size() != collector.numbers.size())
    return false;
  if (std::memcmp(baseline.data(), collector.numbers.data(), baseline.size() * sizeof(float)))
    return false;
  NumberCollector fromBinary(true);
  rib::RibReader binaryReader(fromBinary);
  if (!readWithReader(files().binary, binaryReader) ||
      std::memcmp(fromBinary.numbers.data() + 1 + m.nvertices.size() + m.vertices.size(),
                  m.P.data(), m.P.size() * sizeof(float)) != 0)
    return false;
  // Compact and gzip: every number as in the ASCII file, which holds the same 6-digit values
  // only where they print exactly; the indices and counts are exact in all of them.
  for (const std::string *path : {&files().compact, &files().gzip}) {
    NumberCollector other(true);
    rib::RibReader otherReader(other);
    const size_t indices = 1 + m.nvertices.size() + m.vertices.size();
    if (!readWithReader(*path, otherReader) || other.numbers.size() != collector.numbers.size() ||
        std::memcmp(other.numbers.data(), collector.numbers.data(), indices * sizeof(float)) != 0)
      return false;
  }
  return true;
}

void BM_Reader(benchmark::State &state, const std::string &path, size_t bytes) {
  // One reader for all iterations: its buffers are warm after the first, as they would be for
  // a program that reads many files.
  NumberCollector collector(false);
  rib::RibReader reader(collector);
  for (auto _ : state) {
    if (!readWithReader(path, reader)) {
      state.SkipWithError("the reader reported an error");
      return;
    }
  }
  benchmark::DoNotOptimize(collector.count);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void BM_AsciiReader(benchmark::State &state) {
  BM_Reader(state, files().ascii, files().asciiBytes);
}
void BM_BinaryReader(benchmark::State &state) {
  BM_Reader(state, files().binary, files().binaryBytes);
}
void BM_CompactReader(benchmark::State &state) {
  BM_Reader(state, files().compact, files().compactBytes);
}
// Bytes of RIB: the decompressed stream, as long as the ASCII file.
void BM_GzipReader(benchmark::State &state) { BM_Reader(state, files().gzip, files().asciiBytes); }

void BM_Strtof(benchmark::State &state) {
  std::string text;
  std::vector<float> numbers;
  for (auto _ : state) {
    if (!loadFile(files().ascii, text)) {
      state.SkipWithError("cannot read the mesh file");
      return;
    }
    readWithStrtof(text, numbers);
    benchmark::DoNotOptimize(numbers.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(files().asciiBytes));
}

BENCHMARK(BM_AsciiReader)->Name("PointsPolygonsMesh/reader")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Strtof)->Name("PointsPolygonsMesh/strtof")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryReader)->Name("PointsPolygonsMeshBinary/reader")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompactReader)
    ->Name("PointsPolygonsMeshCompact/reader")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GzipReader)->Name("PointsPolygonsMeshGzip/reader")->Unit(benchmark::kMillisecond);

// The ratios of the mean times, after the table.
class RatioReporter : public ribbench::MeanTimeReporter {
public:
  bool printRatios() const {
    std::printf("\n");
    auto megabytesPerSecond = [&](const char *name, size_t bytes) {
      const double seconds = perIteration(name, false);
      return seconds > 0 ? static_cast<double>(bytes) / seconds / 1e6 : 0.0;
    };
    const double reader = perIteration("PointsPolygonsMesh/reader", false);
    const double strtof = perIteration("PointsPolygonsMesh/strtof", false);
    if (reader > 0 && strtof > 0) {
      std::printf("PointsPolygonsMesh: strtof/reader = %.2fx (CPU time: %.2fx); "
                  "reader %.0f MB/s, strtof %.0f MB/s\n",
                  strtof / reader,
                  perIteration("PointsPolygonsMesh/strtof", true) /
                      perIteration("PointsPolygonsMesh/reader", true),
                  megabytesPerSecond("PointsPolygonsMesh/reader", files().asciiBytes),
                  megabytesPerSecond("PointsPolygonsMesh/strtof", files().asciiBytes));
    }
    if (perIteration("PointsPolygonsMeshBinary/reader", false) > 0)
      std::printf("PointsPolygonsMeshBinary: reader %.0f MB/s\n",
                  megabytesPerSecond("PointsPolygonsMeshBinary/reader", files().binaryBytes));
    if (perIteration("PointsPolygonsMeshCompact/reader", false) > 0)
      std::printf("PointsPolygonsMeshCompact: reader %.0f MB/s\n",
                  megabytesPerSecond("PointsPolygonsMeshCompact/reader", files().compactBytes));
    if (perIteration("PointsPolygonsMeshGzip/reader", false) > 0)
      std::printf("PointsPolygonsMeshGzip: reader %.0f MB/s of RIB (%.0f MB/s of gzip)\n",
                  megabytesPerSecond("PointsPolygonsMeshGzip/reader", files().asciiBytes),
                  megabytesPerSecond("PointsPolygonsMeshGzip/reader", files().gzipBytes));
    return printFailures();
  }
};

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  if (!readersAgree()) {
    std::fprintf(stderr, "rib_read: the reader's numbers differ from strtof's\n");
    return 1;
  }
  std::printf("PointsPolygonsMesh: the reader's numbers equal strtof's, bit for bit (%zu bytes)\n",
              files().asciiBytes);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.printRatios() ? 0 : 1;
}
