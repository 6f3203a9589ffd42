// MeanTimes.h - Google Benchmark's console table, plus each benchmark's mean time per iteration
// kept for the ratios a benchmark program prints after the table.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace ribbench {

// Passes everything to the console and keeps each benchmark's mean time per iteration.
class MeanTimeReporter : public benchmark::ConsoleReporter {
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

  // Seconds per iteration of the benchmark `name`, wall clock or CPU time; 0 when it did not run.
  double perIteration(const std::string &name, bool cpu = false) const {
    auto found = totals_.find(name);
    if (found == totals_.end() || found->second.iterations == 0) return 0.0;
    const Total &t = found->second;
    return (cpu ? t.cpuSeconds : t.seconds) / t.iterations;
  }

  // A FAILED line for each benchmark that stopped with an error; true when none did.
  bool printFailures() const {
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

} // namespace ribbench
