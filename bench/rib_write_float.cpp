// The float formatter alone, against snprintf("%g") and std::to_chars with six digits (and, in the
// cases ending in 9, with nine), on two inputs: scene-like values (coordinates and colours) and
// random finite bit patterns. The Array cases write whole arrays to a stream as RIB does: one
// fprintf per value against formatting into a buffer written with one fwrite. "time_per_value" is
// the figure to compare.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "FloatFormat.h"

using rib::formatFloatDigits;
using rib::formatFloatG;
using rib::kFloatTextMax;

namespace {

constexpr size_t kValueCount = 4096;

enum class Input { Scene, BitPatterns };

std::vector<float> makeInput(Input input) {
  std::mt19937 random(12345);
  std::vector<float> values;
  values.reserve(kValueCount);
  std::uniform_real_distribution<float> coordinate(-20.0f, 20.0f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  while (values.size() < kValueCount) {
    if (input == Input::Scene) {
      const float c = coordinate(random);
      values.push_back(values.size() % 4 == 3   ? std::round(c * 4.0f) / 4.0f
                       : values.size() % 4 == 2 ? unit(random)
                                                : c);
    } else {
      const uint32_t bits = static_cast<uint32_t>(random());
      float value;
      std::memcpy(&value, &bits, sizeof value);
      if (std::isfinite(value)) values.push_back(value);
    }
  }
  return values;
}

void reportPerValue(benchmark::State &state) {
  // Seconds per value, shown with an SI prefix ("15.2n" is 15.2 ns).
  state.counters["time_per_value"] = benchmark::Counter(
      static_cast<double>(kValueCount),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <Input kInput, int kDigits = 6> void BM_FloatFormat_snprintf(benchmark::State &state) {
  const std::vector<float> values = makeInput(kInput);
  char text[64];
  for (auto _ : state) {
    for (float v : values) {
      benchmark::DoNotOptimize(
          std::snprintf(text, sizeof text, "%.*g", kDigits, static_cast<double>(v)));
      benchmark::ClobberMemory();
    }
  }
  reportPerValue(state);
}

template <Input kInput, int kDigits = 6> void BM_FloatFormat_toChars(benchmark::State &state) {
  const std::vector<float> values = makeInput(kInput);
  char text[64];
  for (auto _ : state) {
    for (float v : values) {
      auto result = std::to_chars(text, text + sizeof text, static_cast<double>(v),
                                  std::chars_format::general, kDigits);
      benchmark::DoNotOptimize(result.ptr);
      benchmark::ClobberMemory();
    }
  }
  reportPerValue(state);
}

template <Input kInput> void BM_FloatFormat_formatFloatG(benchmark::State &state) {
  const std::vector<float> values = makeInput(kInput);
  char text[kFloatTextMax];
  for (auto _ : state) {
    for (float v : values) {
      benchmark::DoNotOptimize(formatFloatG(v, text));
      benchmark::ClobberMemory();
    }
  }
  reportPerValue(state);
}

template <Input kInput> void BM_FloatFormat_formatFloatDigits9(benchmark::State &state) {
  const std::vector<float> values = makeInput(kInput);
  char text[kFloatTextMax];
  for (auto _ : state) {
    for (float v : values) {
      benchmark::DoNotOptimize(formatFloatDigits(v, 9, text));
      benchmark::ClobberMemory();
    }
  }
  reportPerValue(state);
}

template <Input kInput> void BM_FloatFormatArray_fprintf(benchmark::State &state) {
  const std::vector<float> values = makeInput(kInput);
  FILE *sink = std::fopen("/dev/null", "wb");
  if (sink == nullptr) {
    state.SkipWithError("cannot open /dev/null");
    return;
  }
  for (auto _ : state) {
    for (float v : values) std::fprintf(sink, "%g ", static_cast<double>(v));
  }
  std::fclose(sink);
  reportPerValue(state);
}

template <Input kInput> void BM_FloatFormatArray_formatFloatG(benchmark::State &state) {
  const std::vector<float> values = makeInput(kInput);
  FILE *sink = std::fopen("/dev/null", "wb");
  if (sink == nullptr) {
    state.SkipWithError("cannot open /dev/null");
    return;
  }
  std::vector<char> buffer(kValueCount * (kFloatTextMax + 1));
  for (auto _ : state) {
    char *p = buffer.data();
    for (float v : values) {
      p += formatFloatG(v, p);
      *p++ = ' ';
    }
    std::fwrite(buffer.data(), 1, static_cast<size_t>(p - buffer.data()), sink);
  }
  std::fclose(sink);
  reportPerValue(state);
}

// Named by the ratio convention of rib_write: "library" is ours, "fprintf" the C library's "%g"
// (snprintf into a buffer for the formatter alone).
BENCHMARK_TEMPLATE(BM_FloatFormat_formatFloatG, Input::Scene)->Name("FloatFormatScene/library");
BENCHMARK_TEMPLATE(BM_FloatFormat_snprintf, Input::Scene)->Name("FloatFormatScene/fprintf");
BENCHMARK_TEMPLATE(BM_FloatFormat_toChars, Input::Scene)->Name("FloatFormatScene/to_chars");
BENCHMARK_TEMPLATE(BM_FloatFormat_formatFloatG, Input::BitPatterns)
    ->Name("FloatFormatBits/library");
BENCHMARK_TEMPLATE(BM_FloatFormat_snprintf, Input::BitPatterns)->Name("FloatFormatBits/fprintf");
BENCHMARK_TEMPLATE(BM_FloatFormat_toChars, Input::BitPatterns)->Name("FloatFormatBits/to_chars");
BENCHMARK_TEMPLATE(BM_FloatFormat_formatFloatDigits9, Input::Scene)
    ->Name("FloatFormatScene9/library");
BENCHMARK_TEMPLATE(BM_FloatFormat_snprintf, Input::Scene, 9)->Name("FloatFormatScene9/fprintf");
BENCHMARK_TEMPLATE(BM_FloatFormat_toChars, Input::Scene, 9)->Name("FloatFormatScene9/to_chars");
BENCHMARK_TEMPLATE(BM_FloatFormat_formatFloatDigits9, Input::BitPatterns)
    ->Name("FloatFormatBits9/library");
BENCHMARK_TEMPLATE(BM_FloatFormat_snprintf, Input::BitPatterns, 9)
    ->Name("FloatFormatBits9/fprintf");
BENCHMARK_TEMPLATE(BM_FloatFormat_toChars, Input::BitPatterns, 9)
    ->Name("FloatFormatBits9/to_chars");
BENCHMARK_TEMPLATE(BM_FloatFormatArray_formatFloatG, Input::Scene)
    ->Name("FloatFormatArrayScene/library");
BENCHMARK_TEMPLATE(BM_FloatFormatArray_fprintf, Input::Scene)
    ->Name("FloatFormatArrayScene/fprintf");
BENCHMARK_TEMPLATE(BM_FloatFormatArray_formatFloatG, Input::BitPatterns)
    ->Name("FloatFormatArrayBits/library");
BENCHMARK_TEMPLATE(BM_FloatFormatArray_fprintf, Input::BitPatterns)
    ->Name("FloatFormatArrayBits/fprintf");

} // namespace
