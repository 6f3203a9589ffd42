// The float formatter alone, against snprintf("%g") and std::to_chars with six digits, on two
// inputs: scene-like values (coordinates and colours) and random finite bit patterns. The Array
// cases write whole arrays to a stream as RIB does: one fprintf per value against formatting into
// a buffer written with one fwrite. "time_per_value" is the figure to compare.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "rib/FloatFormat.h"

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
      values.push_back(values.size() % 4 == 3 ? std::round(c * 4.0f) / 4.0f
                                              : values.size() % 4 == 2 ? unit(random) : c);
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

void BM_FloatFormat_snprintf(benchmark::State &state) {
  const std::vector<float> values = makeInput(static_cast<Input>(state.range(0)));
  char text[64];
  for (auto _ : state) {
    for (float v : values) {
      benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%g", static_cast<double>(v)));
      benchmark::ClobberMemory();
    }
  }
  reportPerValue(state);
}

void BM_FloatFormat_toChars(benchmark::State &state) {
  const std::vector<float> values = makeInput(static_cast<Input>(state.range(0)));
  char text[64];
  for (auto _ : state) {
    for (float v : values) {
      auto result = std::to_chars(text, text + sizeof text, static_cast<double>(v),
                                  std::chars_format::general, 6);
      benchmark::DoNotOptimize(result.ptr);
      benchmark::ClobberMemory();
    }
  }
  reportPerValue(state);
}

void BM_FloatFormat_formatFloatG(benchmark::State &state) {
  const std::vector<float> values = makeInput(static_cast<Input>(state.range(0)));
  char text[kFloatTextMax];
  for (auto _ : state) {
    for (float v : values) {
      benchmark::DoNotOptimize(formatFloatG(v, text));
      benchmark::ClobberMemory();
    }
  }
  reportPerValue(state);
}

void BM_FloatFormatArray_fprintf(benchmark::State &state) {
  const std::vector<float> values = makeInput(static_cast<Input>(state.range(0)));
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

void BM_FloatFormatArray_formatFloatG(benchmark::State &state) {
  const std::vector<float> values = makeInput(static_cast<Input>(state.range(0)));
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

// Argument 0: scene-like values; 1: random finite bit patterns.
BENCHMARK(BM_FloatFormat_snprintf)->Arg(0)->Arg(1);
BENCHMARK(BM_FloatFormat_toChars)->Arg(0)->Arg(1);
BENCHMARK(BM_FloatFormat_formatFloatG)->Arg(0)->Arg(1);
BENCHMARK(BM_FloatFormatArray_fprintf)->Arg(0)->Arg(1);
BENCHMARK(BM_FloatFormatArray_formatFloatG)->Arg(0)->Arg(1);

}  // namespace
