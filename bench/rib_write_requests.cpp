// Many small requests: the cost of a request's way through the library rather than of its numbers.
//
// Each iteration writes 200,000 small objects, each "AttributeBegin; Color; Translate; Sphere with
// "Kd" [k]; AttributeEnd", through the C++ interface (the Sphere with its list-gathering form, as
// programs call it), against one fprintf per line of the same text. Before timing, both files are
// checked to hold the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "RibWriteCheck.h"
#include "RibWriter.h"

namespace {

constexpr int kObjects = 200000;

struct Object {
  RtColor color;
  RtFloat x, y, z, radius, kd;
};

Object objectAt(int i) {
  Object o;
  o.color[0] = static_cast<RtFloat>(i % 256) / 255.0f;
  o.color[1] = 0.5f;
  o.color[2] = static_cast<RtFloat>((i / 256) % 256) / 255.0f;
  o.x = static_cast<RtFloat>(i % 1000) * 0.01f - 5.0f;
  o.y = static_cast<RtFloat>(i % 77) * 0.125f;
  o.z = -static_cast<RtFloat>(i % 313) * 0.3f;
  o.radius = 0.25f + static_cast<RtFloat>(i % 7) * 0.5f;
  o.kd = static_cast<RtFloat>(i % 10) / 10.0f;
  return o;
}

void writeWithLibrary(rib::RibWriter &rib) {
  static char kdToken[] = "Kd";
  for (int i = 0; i < kObjects; ++i) {
    Object o = objectAt(i);
    rib.AttributeBegin();
    rib.Color(o.color);
    rib.Translate(o.x, o.y, o.z);
    rib.Sphere(o.radius, -o.radius, o.radius, 360.0f, kdToken, &o.kd, RI_NULL);
    rib.AttributeEnd();
  }
}

void writeWithFprintf(FILE *file) {
  for (int i = 0; i < kObjects; ++i) {
    Object o = objectAt(i);
    auto d = [](RtFloat v) { return static_cast<double>(v); };
    std::fputs("AttributeBegin\n", file);
    std::fprintf(file, "Color [%g %g %g]\n", d(o.color[0]), d(o.color[1]), d(o.color[2]));
    std::fprintf(file, "Translate %g %g %g \n", d(o.x), d(o.y), d(o.z));
    std::fprintf(file, "Sphere %g %g %g %g \"Kd\" [%g]\n", d(o.radius), d(-o.radius), d(o.radius),
                 360.0, d(o.kd));
    std::fputs("AttributeEnd\n", file);
  }
}

bool sameBytes() {
  const std::string libraryPath = ribbench::outputPath("requests_check_library");
  const std::string fprintfPath = ribbench::outputPath("requests_check_fprintf");
  {
    rib::RibWriter rib(libraryPath.c_str());
    writeWithLibrary(rib);
  }
  FILE *file = std::fopen(fprintfPath.c_str(), "wb");
  if (!file) return false;
  std::fputs("##RenderMan RIB-Structure 1.0\nversion 3.03\n", file);
  writeWithFprintf(file);
  std::fputs("\n", file);
  std::fclose(file);
  const bool same = ribbench::fileText(libraryPath) == ribbench::fileText(fprintfPath);
  std::remove(libraryPath.c_str());
  std::remove(fprintfPath.c_str());
  return same;
}

void BM_RequestsLibrary(benchmark::State &state) {
  if (!sameBytes()) {
    state.SkipWithError("the library's bytes differ from fprintf's");
    return;
  }
  ribbench::timeLibrary(state, "requests_library", nullptr, writeWithLibrary);
}

void BM_RequestsFprintf(benchmark::State &state) {
  ribbench::timeFile(state, "requests_fprintf", writeWithFprintf);
}

} // namespace

BENCHMARK(BM_RequestsLibrary)->Name("SmallRequests/library")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RequestsFprintf)->Name("SmallRequests/fprintf")->Unit(benchmark::kMillisecond);
