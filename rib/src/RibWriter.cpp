// Construction and teardown of RibWriter (options, target, header, predeclaration); RiBegin and
// RiNewContext.
#include "RibWriter.h"

#include <cstdlib>
#include <new>

#include "Diagnostics.h"
#include "InternString.h"
#include "ParamDecl.h"
#include "RibOptions.h"
#include "SameText.h"

RiContext *RiCurrentContext = nullptr;
RtInt gRibBinary = 0;
RtInt gRibPrecision = 6;

namespace {

constexpr int kMaxOptions = 512;

// The renderers that a bare name starts through a pipe (exact, case-sensitive names).
constexpr const char *kRendererNames[] = {"rendrib", "rgl", "prman"};

bool isRendererName(const char *name) {
  for (const char *renderer : kRendererNames)
    if (rib::sameText(name, renderer)) return true;
  return false;
}

FILE *openPipe(const char *command) {
  fflush(nullptr); // what the program printed so far comes before anything the command prints
  FILE *pipe = popen(command, "w"); // POSIX pipes do not translate newlines
  if (!pipe) {
    rib::reportLine(RIE_SYSTEM, "Error opening pipe to %s", command);
    exit(1);
  }
  return pipe;
}

// The context's name for its target (interned; for "|cmd" the command) and whether it is a pipe.
void nameTarget(rib::RibWriter &rib, const char *target) {
  if (!target) return;
  rib.isPipe = isRendererName(target) || target[0] == '|';
  rib.name = rib::internString(target[0] == '|' ? target + 1 : target);
}

FILE *openTarget(const rib::RibWriter &rib, const char *target) {
  if (!target) return stdout;
  if (rib.isPipe) return openPipe(rib.name);
  FILE *file = fopen(target, "wb");
  if (!file) {
    rib::reportLine(RIE_NOFILE, "Error making RIB file: bad filename");
    exit(1);
  }
  return file;
}

// A new context, or null after one line saying that there was no memory for it.
rib::RibWriter *makeContext(const char *procedure, RtToken target, const rib::RibOption *options) {
  rib::RibWriter *context = nullptr;
  try {
    context = new (std::nothrow) rib::RibWriter(target, options);
  } catch (const std::bad_alloc &) {
    context = nullptr;
  }
  if (!context) {
    if (target)
      rib::reportError(RIE_NOMEM, "%s: out of memory; no context for \"%s\"", procedure, target);
    else
      rib::reportError(RIE_NOMEM, "%s: out of memory; no context for standard output", procedure);
  }
  return context;
}

} // namespace

rib::RibWriter::RibWriter(const char *target, const rib::RibOption *options)
    : errorHandler(RiErrorPrint), name(nullptr), isPipe(0), uStep(3), vStep(3), compression(0),
      nextLightHandle(1), nextObjectHandle(1) {
  applyOptions(options);
  // What needs memory comes before the target is opened: a context that cannot be made (the
  // exception leaves the constructor) leaves no file or command behind.
  nameTarget(*this, target);
  rib::predeclareParams();
  start(openTarget(*this, target));
}

rib::RibWriter::RibWriter(FILE *stream, const char *streamName, const rib::RibOption *options)
    : errorHandler(RiErrorPrint), name(nullptr), isPipe(0), uStep(3), vStep(3), compression(0),
      nextLightHandle(1), nextObjectHandle(1) {
  applyOptions(options);
  if (streamName) name = rib::internString(streamName);
  rib::predeclareParams();
  start(stream);
}

void rib::RibWriter::applyOptions(const rib::RibOption *options) {
  rib::RibSettings settings;
  for (int i = 0; options && i < kMaxOptions && options[i].token; ++i)
    rib::applyRibOption(settings, options[i].token, options[i].value, rib::OptionScope::NewContext);
  encoder.binary = settings.binary != 0 || settings.compact != 0;
  encoder.compact = settings.compact != 0;
  encoder.precision = settings.precision;
  compression = settings.compression;
  rib::gEchoDeclares = 1;
  if (compression) encoder.compress(settings.compressionLevel);
}

void rib::RibWriter::start(FILE *stream) {
  encoder.attach(stream, name, isPipe != 0);
  encoder.writeRaw("##RenderMan RIB-Structure 1.0\nversion 3.03\n");
  encoder.endRequest();
}

rib::RibWriter::~RibWriter() { endOutput(); }

void rib::RibWriter::endOutput() {
  if (!encoder.stream()) return;
  encoder.endLine();
  encoder.close();
}

RtContextHandle RiBegin(RtToken name) {
  rib::RibOption options[] = {
      {"binary", &gRibBinary},       {"compact", &rib::gRibCompact},
      {"gzip", &gRibCompression},    {"compressionlevel", &rib::gRibCompressionLevel},
      {"precision", &gRibPrecision}, {nullptr, nullptr}};
  RiCurrentContext = makeContext("RiBegin", name, options);
  return RiCurrentContext;
}

RtContextHandle RiNewContext(RtToken name) { return makeContext("RiNewContext", name, nullptr); }
