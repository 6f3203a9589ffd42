// Writing RIB: the library against the simplest way to write the same bytes.
//
// Every case "X" registers benchmarks named "X/library" and "X/fprintf" (and optionally
// "X/limit"); other bench/rib_write_*.cpp files add cases the same way. A case "X9" is case "X"
// with floats of 9 significant digits (the "precision" that reads back exactly) instead of 6.
// Before them, rib_write_encodings prints the sizes of the mesh and of the small objects in every
// encoding. After all benchmarks ran, one line per case gives the ratios of the median times:
//     FloatArrayAscii: fprintf/library = 7.4x
//     FloatArrayBinary: library/limit = 1.1x
//     FloatArrayAscii9: library 9 digits/6 digits = 1.2x
// The cases here write a primitive's "P" parameter of 1,000,002 floats (333,334 points) to a
// file, in ASCII and in binary. The fprintf baseline writes each value with fprintf(f, "%g ", v)
// (or "%.9g "); the limit is one fwrite of the raw array. Before timing, the ASCII files are
// checked to hold exactly the baseline's numbers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "RibEncodings.h"
#include "RibWriteCheck.h"
#include "RibWriter.h"
#include "TriangleMesh.h"

using namespace rib;

namespace {

using ribbench::outputPath;

constexpr int kPoints = 333334;
constexpr int kValues = 3 * kPoints;

// Scene-like numbers: coordinates of several magnitudes, some whole, some tiny.
const std::vector<RtFloat> &values() {
  static const std::vector<RtFloat> built = ribbench::sceneNumbers(kValues, 2026);
  return built;
}

void writeWithLibrary(rib::RibWriter &rib) {
  RtToken tokens[] = {const_cast<char *>("P")};
  RtPointer pointers[] = {const_cast<RtFloat *>(values().data())};
  rib.PointsV(kPoints, 1, tokens, pointers);
}

template <int kDigits> void writeWithFprintf(FILE *file) {
  std::fputs("Points \"P\" [", file);
  for (RtFloat v : values())
    std::fprintf(file, ribbench::fprintfFloat(kDigits), static_cast<double>(v));
  std::fputs("]\n", file);
}

void libraryCase(benchmark::State &state, bool binary, int32_t digits) {
  int32_t flag = binary ? 1 : 0;
  rib::RibOption options[] = {{"binary", &flag}, {"precision", &digits}, {nullptr, nullptr}};
  ribbench::timeLibrary(state, binary ? "binary" : "ascii", options, writeWithLibrary);
}

template <int kDigits> void BM_AsciiLibrary(benchmark::State &state) {
  libraryCase(state, false, kDigits);
}
void BM_BinaryLibrary(benchmark::State &state) { libraryCase(state, true, 6); }

template <int kDigits> void BM_Fprintf(benchmark::State &state) {
  ribbench::timeFile(state, "fprintf", writeWithFprintf<kDigits>);
}

void BM_Limit(benchmark::State &state) {
  ribbench::timeFile(state, "limit", [](FILE *file) {
    std::fwrite(values().data(), sizeof(RtFloat), values().size(), file);
  });
}

BENCHMARK_TEMPLATE(BM_AsciiLibrary, 6)
    ->Name("FloatArrayAscii/library")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Fprintf, 6)->Name("FloatArrayAscii/fprintf")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_AsciiLibrary, 9)
    ->Name("FloatArrayAscii9/library")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Fprintf, 9)->Name("FloatArrayAscii9/fprintf")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryLibrary)->Name("FloatArrayBinary/library")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Limit)->Name("FloatArrayBinary/limit")->Unit(benchmark::kMillisecond);

// The library's ASCII numbers must be byte for byte those of fprintf("%g") or ("%.9g").
template <int kDigits> bool asciiMatchesFprintf() {
  // The words: "Points", "\"P\"" and the numbers.
  return ribbench::sameWordsBothWays(writeWithLibrary, writeWithFprintf<kDigits>, "Points", kDigits)
             .size() == static_cast<size_t>(kValues) + 2;
}

// Passes everything to the console and keeps, for each benchmark, the time per iteration of every
// repetition, or the median Google Benchmark computed when only aggregates are reported; the
// ratios compare medians, which a neighbour's burst of work barely moves.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      if (run.error_occurred) {
        failed_.push_back(run.benchmark_name() + ": " + run.error_message);
        continue;
      }
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
                          run.aggregate_unit == benchmark::kTime;
      if ((run.run_type != Run::RT_Iteration && !median) || run.iterations == 0) continue;
      // Both kinds hold times summed over `iterations`.
      const double iterations = static_cast<double>(run.iterations);
      Times &times = times_[run.run_name.function_name];
      times.seconds.push_back(run.real_accumulated_time / iterations);
      times.cpuSeconds.push_back(run.cpu_accumulated_time / iterations);
      if (median) times.median = {times.seconds.back(), times.cpuSeconds.back()};
    }
  }

  // One line per case with the ratios it has; returns false when a benchmark failed.
  bool printRatios() const {
    std::map<std::string, std::map<std::string, Median>> cases;
    for (const auto &[name, times] : times_) {
      size_t slash = name.rfind('/');
      if (slash != std::string::npos)
        cases[name.substr(0, slash)][name.substr(slash + 1)] =
            times.median ? *times.median : Median{median(times.seconds), median(times.cpuSeconds)};
    }
    std::printf("\n");
    // Real time is what a caller waits; CPU time is steadier on a busy machine.
    auto print = [](const std::string &name, const char *what, const Median &a, const Median &b) {
      std::printf("%s: %s = %.2fx (CPU time: %.2fx)\n", name.c_str(), what, a.seconds / b.seconds,
                  a.cpuSeconds / b.cpuSeconds);
    };
    for (const auto &entry : cases) {
      const std::string &name = entry.first;
      const auto &roles = entry.second;
      auto has = [&](const char *role) { return roles.count(role) > 0; };
      if (has("library") && has("fprintf"))
        print(name, "fprintf/library", roles.at("fprintf"), roles.at("library"));
      if (has("library") && has("limit"))
        print(name, "library/limit", roles.at("library"), roles.at("limit"));
      if (has("compact") && has("binary"))
        print(name, "binary/compact", roles.at("binary"), roles.at("compact"));
      // Manual times: processor time, the gzip command's included.
      if (has("library") && has("pipe"))
        print(name, "pipe into gzip -6/library (processor time)", roles.at("pipe"),
              roles.at("library"));
      if (name.empty() || name.back() != '9' || !has("library")) continue;
      const auto sixDigits = cases.find(name.substr(0, name.size() - 1));
      if (sixDigits != cases.end() && sixDigits->second.count("library") > 0)
        print(name, "library 9 digits/6 digits", roles.at("library"),
              sixDigits->second.at("library"));
    }
    for (const std::string &failure : failed_) std::printf("FAILED %s\n", failure.c_str());
    return failed_.empty();
  }

private:
  struct Median {
    double seconds = 0;
    double cpuSeconds = 0;
  };
  struct Times {
    std::vector<double> seconds;
    std::vector<double> cpuSeconds;
    std::optional<Median> median; // Google Benchmark's, over the repetitions
  };

  static double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  }

  std::map<std::string, Times> times_;
  std::vector<std::string> failed_;
};

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  if (!asciiMatchesFprintf<6>() || !asciiMatchesFprintf<9>()) {
    std::fprintf(
        stderr,
        "rib_write: the library's ASCII floats differ from fprintf(\"%%g\" or \"%%.9g\")\n");
    return 1;
  }
  std::printf(
      "FloatArrayAscii: the library's %d numbers equal fprintf's \"%%g\" and \"%%.9g\" bytes\n",
      kValues);
  ribbench::printEncodingSizes();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.printRatios() ? 0 : 1;
}
