// The compact encoding and gzip compression, on the 1,000,000-triangle mesh of rib_write_mesh and
// the 200,000 small objects of rib_write_requests.
//
// Case "XCompact": roles "compact" (every token binary) and "binary" (the float-binary encoding
// of today); the ratio binary/compact is at least 1 when compact is written at least as fast.
// Case "XGzip": roles "library" (ASCII compressed by the library at level 6) and "pipe" (ASCII
// written by the library into the command "gzip -6 > file"). Both are timed in processor time,
// the command's included (the children's time from getrusage), so pipe/library is the saving in
// processor time; each iteration makes a new context, the command's start counts for the pipe.
// Before timing, every file's size is printed beside the figures of other writers' binary files
// (25.6 MB for the mesh, 13.8 MB for the small objects) and gzip's own at level 6.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "RibEncodings.h"
#include "RibWriteCheck.h"
#include "RibWriter.h"
#include "TriangleMesh.h"

namespace {

using ribbench::outputPath;

constexpr int kObjects = 200000;
constexpr double kOtherMeshBytes = 25.6e6;
constexpr double kOtherObjectsBytes = 13.8e6;

void writeMesh(RiContext &rib) {
  const ribbench::TriangleMesh &m = ribbench::mesh();
  RtToken tokens[] = {const_cast<char *>("P"), const_cast<char *>("N")};
  RtPointer values[] = {const_cast<RtFloat *>(m.P.data()), const_cast<RtFloat *>(m.N.data())};
  rib.PointsPolygonsV(m.triangles(), const_cast<RtInt *>(m.nvertices.data()),
                      const_cast<RtInt *>(m.vertices.data()), 2, tokens, values);
}

// The objects of rib_write_requests.
void writeObjects(RiContext &rib) {
  static char kdToken[] = "Kd";
  for (int i = 0; i < kObjects; ++i) {
    RtColor color = {static_cast<RtFloat>(i % 256) / 255.0f, 0.5f,
                     static_cast<RtFloat>((i / 256) % 256) / 255.0f};
    RtFloat radius = 0.25f + static_cast<RtFloat>(i % 7) * 0.5f;
    RtFloat kd = static_cast<RtFloat>(i % 10) / 10.0f;
    rib.AttributeBegin();
    rib.Color(color);
    rib.Translate(static_cast<RtFloat>(i % 1000) * 0.01f - 5.0f,
                  static_cast<RtFloat>(i % 77) * 0.125f, -static_cast<RtFloat>(i % 313) * 0.3f);
    rib.Sphere(radius, -radius, radius, 360.0f, kdToken, &kd, RI_NULL);
    rib.AttributeEnd();
  }
}

// The options of a context: encoding, gzip and its level.
struct Encoding {
  int32_t binary = 0, compact = 0, gzip = 0, level = 6;
  rib::RibOption options[5] = {{"binary", &binary},
                               {"compact", &compact},
                               {"gzip", &gzip},
                               {"compressionlevel", &level},
                               {nullptr, nullptr}};
};

long long fileSize(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// Bytes of a whole file written with `encoding` (null target: into `command`).
long long bytesWritten(void (*scene)(RiContext &), Encoding &encoding,
                       const char *command = nullptr) {
  const std::string path = outputPath("encodings_size");
  {
    const std::string target = command ? "|" + std::string(command) + " > " + path : path;
    rib::RibWriter rib(target.c_str(), encoding.options);
    scene(rib);
  }
  const long long size = fileSize(path);
  std::remove(path.c_str());
  return size;
}

double processorSeconds() {
  timespec own;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &own);
  rusage children;
  getrusage(RUSAGE_CHILDREN, &children);
  auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return static_cast<double>(own.tv_sec) + static_cast<double>(own.tv_nsec) * 1e-9 +
         seconds(children.ru_utime) + seconds(children.ru_stime);
}

void timeEncoding(benchmark::State &state, void (*scene)(RiContext &), bool compact) {
  Encoding encoding;
  encoding.binary = compact ? 0 : 1;
  encoding.compact = compact ? 1 : 0;
  ribbench::timeLibrary(state, compact ? "compact" : "binary", encoding.options, scene);
}

// Processor time of whole files, gzip-compressed by the library or by the command.
void timeGzip(benchmark::State &state, void (*scene)(RiContext &), bool pipe) {
  const std::string path = outputPath(pipe ? "gzip_pipe" : "gzip_library");
  const std::string target = pipe ? "|gzip -6 > " + path : path;
  Encoding encoding;
  encoding.gzip = pipe ? 0 : 1;
  for (auto _ : state) {
    const double start = processorSeconds();
    {
      rib::RibWriter rib(target.c_str(), encoding.options);
      scene(rib);
    }
    state.SetIterationTime(processorSeconds() - start);
  }
  std::remove(path.c_str());
}

void BM_MeshCompact(benchmark::State &state) { timeEncoding(state, writeMesh, true); }
void BM_MeshBinary(benchmark::State &state) { timeEncoding(state, writeMesh, false); }
void BM_ObjectsCompact(benchmark::State &state) { timeEncoding(state, writeObjects, true); }
void BM_ObjectsBinary(benchmark::State &state) { timeEncoding(state, writeObjects, false); }
void BM_MeshGzip(benchmark::State &state) { timeGzip(state, writeMesh, false); }
void BM_MeshGzipPipe(benchmark::State &state) { timeGzip(state, writeMesh, true); }
void BM_ObjectsGzip(benchmark::State &state) { timeGzip(state, writeObjects, false); }
void BM_ObjectsGzipPipe(benchmark::State &state) { timeGzip(state, writeObjects, true); }

} // namespace

BENCHMARK(BM_MeshCompact)->Name("PointsPolygonsMeshCompact/compact")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeshBinary)->Name("PointsPolygonsMeshCompact/binary")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectsCompact)->Name("SmallRequestsCompact/compact")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectsBinary)->Name("SmallRequestsCompact/binary")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeshGzip)
    ->Name("PointsPolygonsMeshGzip/library")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeshGzipPipe)
    ->Name("PointsPolygonsMeshGzip/pipe")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectsGzip)
    ->Name("SmallRequestsGzip/library")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectsGzipPipe)
    ->Name("SmallRequestsGzip/pipe")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

namespace ribbench {

void printEncodingSizes() {
  struct Scene {
    const char *name;
    void (*write)(RiContext &);
    double others;
  };
  const Scene scenes[] = {{"PointsPolygonsMesh", writeMesh, kOtherMeshBytes},
                          {"SmallRequests", writeObjects, kOtherObjectsBytes}};
  for (const Scene &scene : scenes) {
    Encoding ascii, binary, compact, gzip, gzipBinary, gzipCompact, pipe;
    binary.binary = gzipBinary.binary = gzipBinary.gzip = 1;
    compact.compact = 1;
    gzip.gzip = 1;
    gzipCompact.gzip = gzipCompact.compact = 1;
    const double asciiBytes = static_cast<double>(bytesWritten(scene.write, ascii));
    const double binaryBytes = static_cast<double>(bytesWritten(scene.write, binary));
    const double compactBytes = static_cast<double>(bytesWritten(scene.write, compact));
    const double gzipBytes = static_cast<double>(bytesWritten(scene.write, gzip));
    const double gzipBinaryBytes = static_cast<double>(bytesWritten(scene.write, gzipBinary));
    const double gzipCompactBytes = static_cast<double>(bytesWritten(scene.write, gzipCompact));
    const double pipeBytes = static_cast<double>(bytesWritten(scene.write, pipe, "gzip -6"));
    std::printf(
        "%s: ASCII %.2f MB, binary %.2f MB, compact %.2f MB (other writers' binary %.1f "
        "MB: %.3fx of theirs, %.3fx of our binary); gzip -6 of ASCII %.2f MB, library "
        "gzip level 6 %.2f MB (%.3fx of gzip -6), binary gzip %.2f MB, compact gzip %.2f MB\n",
        scene.name, asciiBytes / 1e6, binaryBytes / 1e6, compactBytes / 1e6, scene.others / 1e6,
        compactBytes / scene.others, compactBytes / binaryBytes, pipeBytes / 1e6, gzipBytes / 1e6,
        gzipBytes / pipeBytes, gzipBinaryBytes / 1e6, gzipCompactBytes / 1e6);
  }
}

} // namespace ribbench
