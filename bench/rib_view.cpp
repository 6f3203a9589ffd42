// The previewer: a snapshot of the 1,000,000-triangle mesh against reading the same file.
//
// The mesh of rib_read (the same PointsPolygons topology: 1000 x 500 quads of two triangles),
// its points laid out as a gently waved sheet that fills a 640 x 480 perspective picture, is
// written as ASCII RIB into a scratch file. Three ways of taking it in are timed:
//     read      the reader alone, into a context that does nothing (the baseline)
//     gather    read into view::ViewContext: the mesh cut into shaded camera-space triangles
//     snapshot  gather, then draw off-screen (Mesa through EGL) and write the PNG, as
//               rib-view --snapshot does
//     draw      the gathered picture alone, drawn and written as PNG
// Printed after Google Benchmark's table:
//     RibViewMesh: snapshot/read = 4.67x; the previewer's own share is 3.47x the reading
//     (tessellation and shading 1.65x, drawing and PNG 1.82x); read 53 ms
// The previewer's own share should come below the reading time.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "MeanTimes.h"
#include "TriangleMesh.h"
#include "rib/RiContext.h"
#include "rib/RibRead.h"
#include "rib/ri.h"
#include "tools/rib-view/OffscreenSurface.h"
#include "tools/rib-view/PictureDraw.h"
#include "tools/rib-view/PngFile.h"
#include "view/ViewContext.h"

namespace {

// Takes every request and does nothing with it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
class NullContext : public RiContext {
public:
#define RI_UNPAREN(...) __VA_ARGS__
#define RI_REQUEST(Result, Name, Parameters, Arguments)                                           \
  Result Name Parameters override { return static_cast<Result>(0); }
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  Result Name(RI_UNPAREN Parameters, ...) override { return static_cast<Result>(0); }                            \
  Result Name##V(RI_UNPAREN Parameters, RtInt, RtToken[], RtPointer[]) override {                  \
    return static_cast<Result>(0);                                                                               \
  }
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  Result Name(RI_UNPAREN Parameters, ...) override { return static_cast<Result>(0); }                            \
  Result Name##V VParameters override { return static_cast<Result>(0); }
#include "rib/RiRequests.def"
#undef RI_UNPAREN
};
#pragma GCC diagnostic pop

std::string scratchPath(const char *what, const char *extension) {
  return "/tmp/rib_view_" + std::string(what) + "_" + std::to_string(getpid()) + extension;
}

struct MeshScene {
  std::string rib = scratchPath("mesh", ".rib");
  std::string png = scratchPath("mesh", ".png");

  MeshScene() {
    const ribbench::TriangleMesh &m = ribbench::mesh();
    const int across = ribbench::kQuadsAcross + 1, down = ribbench::kQuadsDown + 1;
    std::vector<RtFloat> P(3 * size_t(across) * down);
    for (int j = 0; j < down; ++j)
      for (int i = 0; i < across; ++i) {
        RtFloat *p = &P[3 * (size_t(j) * across + i)];
        p[0] = -2.0f + 4.0f * i / (across - 1);
        p[1] = -1.5f + 3.0f * j / (down - 1);
        p[2] = 0.2f * std::sin(6.0f * p[0]) * std::cos(6.0f * p[1]);
      }
    RiBegin(const_cast<char *>(rib.c_str()));
    RiFormat(640, 480, 1);
    RtFloat fov = 60;
    RiProjection(const_cast<char *>("perspective"), "fov", &fov, RI_NULL);
    RiTranslate(0, 0, 3);
    RiWorldBegin();
    RtColor colour = {0.8f, 0.6f, 0.3f};
    RiColor(colour);
    RtToken tokens[] = {const_cast<char *>("P")};
    RtPointer values[] = {P.data()};
    RiPointsPolygonsV(m.triangles(), const_cast<RtInt *>(m.nvertices.data()),
                      const_cast<RtInt *>(m.vertices.data()), 1, tokens, values);
    RiWorldEnd();
    RiEnd();
  }
  ~MeshScene() {
    std::remove(rib.c_str());
    std::remove(png.c_str());
  }
};

const MeshScene &scene() {
  static const MeshScene written;
  return written;
}

void BM_Read(benchmark::State &state) {
  NullContext nothing;
  for (auto _ : state)
    if (rib::readRib(scene().rib.c_str(), nothing) != 0) {
      state.SkipWithError("the mesh file does not read cleanly");
      return;
    }
}

// Reads the mesh into a ViewContext; `draw` gets its picture. False when the mesh did not reach
// the picture.
template <typename Draw> bool gatherOnce(Draw draw) {
  size_t triangles = 0;
  view::ViewContext context({}, [&](view::Picture &&picture) {
    triangles = picture.triangles.size() / 3;
    draw(picture);
  });
  return rib::readRib(scene().rib.c_str(), context) == 0 && triangles >= 900000;
}

template <typename Draw> void gather(benchmark::State &state, Draw draw) {
  for (auto _ : state)
    if (!gatherOnce(draw)) {
      state.SkipWithError("the mesh does not reach the picture");
      return;
    }
}

void BM_Gather(benchmark::State &state) {
  gather(state, [](const view::Picture &) {});
}

void BM_Snapshot(benchmark::State &state) {
  ribview::OffscreenSurface surface;
  std::string problem;
  gather(state, [&](const view::Picture &picture) {
    problem = surface.prepare(picture.width, picture.height);
    if (!problem.empty()) return;
    ribview::drawPicture(picture, {});
    problem = ribview::writePng(scene().png, picture.width, picture.height, surface.read());
  });
  if (!problem.empty()) state.SkipWithError(problem.c_str());
}

// The drawing alone: the picture gathered once, drawn off-screen and written as PNG each time.
void BM_Draw(benchmark::State &state) {
  view::Picture mesh;
  ribview::OffscreenSurface surface;
  std::string problem = gatherOnce([&](view::Picture &picture) { mesh = std::move(picture); })
                            ? surface.prepare(mesh.width, mesh.height)
                            : "the mesh does not reach the picture";
  for (auto _ : state) {
    if (!problem.empty()) break;
    ribview::drawPicture(mesh, {});
    problem = ribview::writePng(scene().png, mesh.width, mesh.height, surface.read());
  }
  if (!problem.empty()) state.SkipWithError(problem.c_str());
}

BENCHMARK(BM_Read)->Name("RibViewMesh/read")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gather)->Name("RibViewMesh/gather")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Snapshot)->Name("RibViewMesh/snapshot")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw)->Name("RibViewMesh/draw")->Unit(benchmark::kMillisecond);

// The ratios of the mean times, after the table.
class RatioReporter : public ribbench::MeanTimeReporter {
public:
  bool printRatios() const {
    const double read = perIteration("RibViewMesh/read");
    const double gathered = perIteration("RibViewMesh/gather");
    const double snapshot = perIteration("RibViewMesh/snapshot");
    const double drawn = perIteration("RibViewMesh/draw");
    if (read > 0 && gathered > 0 && snapshot > 0 && drawn > 0)
      std::printf("\nRibViewMesh: snapshot/read = %.2fx; the previewer's own share is %.2fx the "
                  "reading (tessellation and shading %.2fx, drawing and PNG %.2fx); read %.0f ms\n",
                  snapshot / read, (gathered - read + drawn) / read, (gathered - read) / read,
                  drawn / read, read * 1e3);
    return printFailures();
  }
};

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  unsetenv("DISPLAY"); // off-screen, as in CI
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.printRatios() ? 0 : 1;
}
