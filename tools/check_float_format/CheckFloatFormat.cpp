// check_float_format: formats all 2^32 float bit patterns with formatFloatG (or formatFloatDigits
// with --digits D) and with snprintf("%.*g"), and counts every difference in the bytes. Exits 0
// only when there are none.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FloatFormat.h"

using rib::formatFloatDigits;
using rib::formatFloatG;
using rib::kFloatTextMax;

namespace {

constexpr uint64_t kPatternCount = uint64_t(1) << 32;
constexpr uint64_t kChunkSize = uint64_t(1) << 20;
constexpr uint64_t kChunkCount = kPatternCount / kChunkSize;
constexpr int kShownDifferences = 10;

struct Options {
  int digits = 6;
  int threads = 2;
};

void usage() {
  std::fprintf(stderr, "usage: check_float_format [--digits D (1-17, default 6)] "
                       "[--threads N (1-64, default 2)]\n");
}

bool parseInt(const char *text, int low, int high, int &value) {
  char *end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

/// Returns false (after one line naming the problem) on a bad argument.
bool parseOptions(int argc, char **argv, Options &options) {
  for (int i = 1; i < argc; i += 2) { // every option takes one value
    const std::string arg = argv[i];
    int *target = arg == "--digits"    ? &options.digits
                  : arg == "--threads" ? &options.threads
                                       : nullptr;
    if (target == nullptr) {
      std::fprintf(stderr, "check_float_format: unknown argument '%s'\n", argv[i]);
      return false;
    }
    const int high = target == &options.digits ? 17 : 64;
    if (i + 1 >= argc || !parseInt(argv[i + 1], 1, high, *target)) {
      std::fprintf(stderr, "check_float_format: %s needs a whole number from 1 to %d\n",
                   arg.c_str(), high);
      return false;
    }
  }
  return true;
}

struct SharedState {
  int digits = 6;
  std::atomic<uint64_t> nextChunk{0};
  std::atomic<uint64_t> chunksDone{0};
  std::atomic<uint64_t> differences{0};
  std::mutex examplesLock;
  std::vector<std::string> examples;
};

void recordDifference(SharedState &state, uint32_t bits, const char *ours, int ourLength,
                      const char *reference) {
  std::lock_guard<std::mutex> lock(state.examplesLock);
  if (state.examples.size() >= kShownDifferences) return;
  char line[160];
  std::snprintf(line, sizeof line, "0x%08" PRIx32 ": ours \"%.*s\", C library \"%s\"", bits,
                ourLength, ours, reference);
  state.examples.emplace_back(line);
}

void checkChunks(SharedState &state) {
  char ours[kFloatTextMax + 1];
  char reference[64];
  for (;;) {
    const uint64_t chunk = state.nextChunk.fetch_add(1);
    if (chunk >= kChunkCount) return;
    uint64_t differences = 0;
    for (uint64_t i = chunk * kChunkSize; i < (chunk + 1) * kChunkSize; ++i) {
      const uint32_t bits = static_cast<uint32_t>(i);
      float value;
      std::memcpy(&value, &bits, sizeof value);
      const int length = state.digits == 6 ? formatFloatG(value, ours)
                                           : formatFloatDigits(value, state.digits, ours);
      const int referenceLength = std::snprintf(reference, sizeof reference, "%.*g", state.digits,
                                                static_cast<double>(value));
      if (length != referenceLength ||
          std::memcmp(ours, reference, static_cast<size_t>(length)) != 0) {
        ++differences;
        recordDifference(state, bits, ours, length, reference);
      }
    }
    state.differences += differences;
    ++state.chunksDone;
  }
}

void showProgress(const SharedState &state) {
  std::fprintf(stderr, "\r%5.1f%% checked, %" PRIu64 " differences",
               100.0 * state.chunksDone / kChunkCount, state.differences.load());
  std::fflush(stderr);
}

} // namespace

int main(int argc, char **argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    usage();
    return 2;
  }
  SharedState state;
  state.digits = options.digits;
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> workers;
  for (int i = 0; i < options.threads; ++i) workers.emplace_back(checkChunks, std::ref(state));
  if (isatty(STDERR_FILENO)) {
    while (state.chunksDone < kChunkCount) {
      showProgress(state);
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    showProgress(state);
    std::fputc('\n', stderr);
  }
  for (auto &worker : workers) worker.join();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  for (const auto &example : state.examples) std::printf("%s\n", example.c_str());
  std::printf("%" PRIu64 " float patterns checked against \"%%.%dg\": %" PRIu64
              " differences (%.1f s, %d threads)\n",
              kPatternCount, options.digits, state.differences.load(), seconds, options.threads);
  return state.differences == 0 ? 0 : 1;
}
