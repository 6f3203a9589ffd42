// Writing RIB: the library against the simplest way to write the same bytes.
//
// Every case "X" registers benchmarks named "X/library" and "X/fprintf" (and optionally
// "X/limit"); other bench/rib_write_*.cpp files add cases the same way. After all benchmarks ran,
// one line per case gives the ratios:
//     FloatArrayAscii: fprintf/library = 2.3x
//     FloatArrayBinary: library/limit = 1.1x
// The cases here write a primitive's "P" parameter of 1,000,002 floats (333,334 points) to a
// file, in ASCII and in binary. The fprintf baseline writes each value with fprintf(f, "%g ", v);
// the limit is one fwrite of the raw array. Before timing, the ASCII file is checked to hold
// exactly the baseline's numbers.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "RibWriteCheck.h"
#include "RibWriter.h"

using namespace rib;

namespace {

using ribbench::outputPath;

constexpr int kPoints = 333334;
constexpr int kValues = 3 * kPoints;

const std::vector<RtFloat> &values() {
  static const std::vector<RtFloat> built = [] {
    // Scene-like numbers: coordinates of several magnitudes, some whole, some tiny.
    std::mt19937 random(2026);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<RtFloat> v(kValues);
    for (int i = 0; i < kValues; ++i) {
      switch (i % 5) {
      case 0:
        v[i] = coordinate(random);
        break;
      case 1:
        v[i] = unit(random);
        break;
      case 2:
        v[i] = static_cast<float>(static_cast<int>(coordinate(random)));
        break;
      case 3:
        v[i] = unit(random) * 1e-5f;
        break;
      default:
        v[i] = coordinate(random) * 1000.0f;
        break;
      }
    }
    return v;
  }();
  return built;
}

void writeWithLibrary(RibWriter &rib) {
  RtToken tokens[] = {const_cast<char *>("P")};
  RtPointer pointers[] = {const_cast<RtFloat *>(values().data())};
  rib.PointsV(kPoints, 1, tokens, pointers);
}

void writeWithFprintf(FILE *file) {
  std::fputs("Points \"P\" [", file);
  for (RtFloat v : values()) std::fprintf(file, "%g ", static_cast<double>(v));
  std::fputs("]\n", file);
}

void libraryCase(benchmark::State &state, bool binary) {
  std::string path = outputPath(binary ? "binary" : "ascii");
  int32_t flag = binary ? 1 : 0;
  rib::RibOption options[] = {{"binary", &flag}, {nullptr, nullptr}};
  RibWriter rib(path.c_str(), options);
  for (auto _ : state) {
    std::rewind(rib.encoder.stream());
    writeWithLibrary(rib);
    std::fflush(rib.encoder.stream());
  }
  std::remove(path.c_str());
}

void BM_AsciiLibrary(benchmark::State &state) { libraryCase(state, false); }
void BM_BinaryLibrary(benchmark::State &state) { libraryCase(state, true); }

void BM_Fprintf(benchmark::State &state) {
  std::string path = outputPath("fprintf");
  FILE *file = std::fopen(path.c_str(), "wb");
  for (auto _ : state) {
    std::rewind(file);
    writeWithFprintf(file);
    std::fflush(file);
  }
  std::fclose(file);
  std::remove(path.c_str());
}

void BM_Limit(benchmark::State &state) {
  std::string path = outputPath("limit");
  FILE *file = std::fopen(path.c_str(), "wb");
  for (auto _ : state) {
    std::rewind(file);
    std::fwrite(values().data(), sizeof(RtFloat), values().size(), file);
    std::fflush(file);
  }
  std::fclose(file);
  std::remove(path.c_str());
}

BENCHMARK(BM_AsciiLibrary)->Name("FloatArrayAscii/library")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fprintf)->Name("FloatArrayAscii/fprintf")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryLibrary)->Name("FloatArrayBinary/library")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Limit)->Name("FloatArrayBinary/limit")->Unit(benchmark::kMillisecond);

// The library's ASCII numbers must be byte for byte those of fprintf("%g").
bool asciiMatchesFprintf() {
  // The words: "Points", "\"P\"" and the numbers.
  return ribbench::sameWordsBothWays(writeWithLibrary, writeWithFprintf, "Points").size() ==
         static_cast<size_t>(kValues) + 2;
}

// Passes everything to the console and keeps the mean time per iteration of each benchmark
// (over all its repetitions).
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      if (run.error_occurred) {
        failed_.push_back(run.benchmark_name() + ": " + run.error_message);
        continue;
      }
      Total &total = totals_[run.run_name.function_name];
      total.seconds += run.real_accumulated_time;
      total.cpuSeconds += run.cpu_accumulated_time;
      total.iterations += static_cast<double>(run.iterations);
    }
  }

  // One line per case with the ratios it has; returns false when a benchmark failed.
  bool printRatios() const {
    std::map<std::string, std::map<std::string, Total>> cases;
    for (const auto &[name, total] : totals_) {
      size_t slash = name.rfind('/');
      if (slash != std::string::npos && total.iterations > 0)
        cases[name.substr(0, slash)][name.substr(slash + 1)] = total;
    }
    std::printf("\n");
    for (const auto &entry : cases) {
      const std::string &name = entry.first;
      const auto &times = entry.second;
      auto has = [&](const char *role) { return times.count(role) > 0; };
      // Real time is what a caller waits; CPU time is steadier on a busy machine.
      auto ratio = [&](const char *slow, const char *fast) {
        const Total &a = times.at(slow), &b = times.at(fast);
        std::printf("%s: %s/%s = %.2fx (CPU time: %.2fx)\n", name.c_str(), slow, fast,
                    (a.seconds / a.iterations) / (b.seconds / b.iterations),
                    (a.cpuSeconds / a.iterations) / (b.cpuSeconds / b.iterations));
      };
      if (has("library") && has("fprintf")) ratio("fprintf", "library");
      if (has("library") && has("limit")) ratio("library", "limit");
    }
    for (const std::string &failure : failed_) std::printf("FAILED %s\n", failure.c_str());
    return failed_.empty();
  }

private:
  struct Total {
    double seconds = 0;
    double cpuSeconds = 0;
    double iterations = 0;
  };
  std::map<std::string, Total> totals_;
  std::vector<std::string> failed_;
};

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  if (!asciiMatchesFprintf()) {
    std::fprintf(stderr, "rib_write: the library's ASCII floats differ from fprintf(\"%%g\")\n");
    return 1;
  }
  std::printf("FloatArrayAscii: the library's %d numbers equal fprintf's \"%%g\" bytes\n", kValues);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.printRatios() ? 0 : 1;
}
