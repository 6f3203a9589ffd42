// The previewer's page, its WebAssembly half: runs in a worker (web/view-worker.js), reads the RIB
// files the page was given (in the in-memory file system's current folder, so that ReadArchive
// finds them by their names and nothing else) through the previewer's core, and keeps the
// finished pictures for the worker to hand to the page, which draws them with WebGL. Problems
// are kept as rib-check prints them, "FILE:LINE: message" and "FILE:LINE: note: message".
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "Diagnostics.h"
#include "rib/RibRead.h"
#include "view/ViewContext.h"

namespace {

struct Reading {
  std::vector<view::Picture> pictures;
  std::string problems;
  double lastProgress = 0;
};
Reading gReading;

// Every report of the library and the reader, line for line as a tool prints it.
void keepReport(void *, rib::DiagnosticKind, const char *text, size_t length) {
  gReading.problems.append(text, length);
}

// How far input `input` has been read, at most ten times a second (the page shows it).
void showProgress(int input, std::uint64_t offset) {
  const double now = emscripten_get_now();
  if (now - gReading.lastProgress < 100) return;
  gReading.lastProgress = now;
  EM_ASM({ postMessage({progress: {input: $0, offset: $1}}); }, input, static_cast<double>(offset));
}

// An input read through a stream that counts the bytes the reader takes, so that progress shows
// inside a long request too (a mesh of a million triangles is one request).
struct CountedInput {
  std::FILE *file;
  int input;
  std::uint64_t offset;
};

ssize_t readCounted(void *cookie, char *into, size_t most) {
  CountedInput &counted = *static_cast<CountedInput *>(cookie);
  const size_t got = std::fread(into, 1, most, counted.file);
  if (got == 0 && std::ferror(counted.file)) return -1;
  counted.offset += got;
  showProgress(counted.input, counted.offset);
  return static_cast<ssize_t>(got);
}

// Reads the input `name` of the folder into the session; -1: it cannot be opened.
int readCountingProgress(rib::RibReadSession &session, const std::string &name, int input) {
  CountedInput counted{std::fopen(name.c_str(), "rb"), input, 0};
  if (counted.file == nullptr) return session.read(name.c_str()); // says why, as natively
  std::FILE *stream = fopencookie(&counted, "rb", {readCounted, nullptr, nullptr, nullptr});
  const int found = stream != nullptr ? session.read(stream, name.c_str()) : session.read(name.c_str());
  if (stream != nullptr) std::fclose(stream);
  std::fclose(counted.file);
  return found;
}

// The numbers of a picture that are not its vertices, in one array for JavaScript.
enum PictureField {
  kNumber, kFrameNumber, kHasFrameNumber, kWidth, kHeight, kViewportX, kViewportY,
  kViewportWidth, kViewportHeight, kTriangleVertices, kLineVertices, kProjection,
  kPictureFields = kProjection + 16
};
double gPictureFields[kPictureFields];

} // namespace

extern "C" {

// Reads the files named in `names` (one per line, in the current folder) as one stream, as the
// native previewer reads its arguments. Returns the number of problems; -1: a file was unreadable.
EMSCRIPTEN_KEEPALIVE int viewRead(const char *names) {
  gReading = Reading{};
  const rib::DiagnosticTarget previous = rib::setDiagnosticSink(keepReport, nullptr);
  int problems = 0;
  {
    view::ViewContext scene({}, [](view::Picture &&picture) {
      gReading.pictures.push_back(std::move(picture));
    });
    rib::RibReadSession session(scene);
    int input = 0;
    const std::string list = names;
    for (std::size_t at = 0; at < list.size(); ++input) {
      std::size_t end = list.find('\n', at);
      if (end == std::string::npos) end = list.size();
      const std::string name = list.substr(at, end - at);
      at = end + 1;
      scene.setInputName(name);
      const int found = readCountingProgress(session, name, input);
      if (found < 0 || problems < 0) problems = -1;
      else problems += found;
    }
  }
  rib::setDiagnosticSink(previous.sink, previous.user);
  return problems;
}

EMSCRIPTEN_KEEPALIVE const char *viewProblems() { return gReading.problems.c_str(); }

EMSCRIPTEN_KEEPALIVE int viewPictureCount() { return static_cast<int>(gReading.pictures.size()); }

// Picture `index`'s numbers (PictureField order); its vertices are at viewTriangles/viewLines,
// seven floats each (x, y, z, r, g, b, a).
EMSCRIPTEN_KEEPALIVE const double *viewPicture(int index) {
  const view::Picture &p = gReading.pictures[static_cast<std::size_t>(index)];
  const double fields[kProjection] = {
      double(p.number), double(p.frameNumber), p.hasFrameNumber ? 1.0 : 0.0, double(p.width),
      double(p.height), double(p.viewportX), double(p.viewportY), double(p.viewportWidth),
      double(p.viewportHeight), double(p.triangles.size()), double(p.lines.size())};
  for (int i = 0; i < kProjection; ++i) gPictureFields[i] = fields[i];
  for (int i = 0; i < 16; ++i) gPictureFields[kProjection + i] = p.projection[i];
  return gPictureFields;
}

static_assert(sizeof(view::DrawVertex) == 7 * sizeof(float), "seven floats per vertex");

EMSCRIPTEN_KEEPALIVE const float *viewTriangles(int index) {
  return reinterpret_cast<const float *>(
      gReading.pictures[static_cast<std::size_t>(index)].triangles.data());
}

EMSCRIPTEN_KEEPALIVE const float *viewLines(int index) {
  return reinterpret_cast<const float *>(
      gReading.pictures[static_cast<std::size_t>(index)].lines.data());
}

// Lets go of the pictures once the page has them.
EMSCRIPTEN_KEEPALIVE void viewRelease() { gReading = Reading{}; }

} // extern "C"
