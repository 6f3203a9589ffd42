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

FILE *openTarget(RibWriter &rib, const char *target) {
  if (!target) return stdout;
  rib.name = rib::internString(target);
  if (isRendererName(target) || target[0] == '|') {
    if (target[0] == '|') rib.name = rib::internString(target + 1);
    rib.isPipe = 1;
    return openPipe(rib.name);
  }
  FILE *file = fopen(target, "wb");
  if (!file) {
    rib::reportLine(RIE_NOFILE, "Error making RIB file: bad filename");
    exit(1);
  }
  return file;
}

} // namespace

RibWriter::RibWriter(const char *target, const rib::RibOption *options)
    : errorHandler(RiErrorPrint), name(nullptr), isPipe(0), uStep(3), vStep(3), compression(0),
      nextLightHandle(1), nextObjectHandle(1) {
  rib::RibSettings settings;
  for (int i = 0; options && i < kMaxOptions && options[i].token; ++i)
    rib::applyRibOption(settings, options[i].token, options[i].value, rib::OptionScope::NewContext);
  encoder.binary = settings.binary != 0;
  encoder.precision = settings.precision;
  compression = settings.compression;
  rib::gEchoDeclares = 1;
  encoder.attach(openTarget(*this, target));
  encoder.writeRaw("##RenderMan RIB-Structure 1.0\nversion 3.03\n");
  encoder.endRequest();
  rib::predeclareParams(*this);
}

RibWriter::~RibWriter() {
  FILE *stream = encoder.stream();
  if (!stream) return;
  encoder.endLine();
  encoder.attach(nullptr);
  if (isPipe)
    pclose(stream);
  else if (stream != stdout)
    fclose(stream);
}

RtContextHandle RiBegin(RtToken name) {
  rib::RibOption options[] = {
      {"binary", &gRibBinary}, {"precision", &gRibPrecision}, {nullptr, nullptr}};
  RiCurrentContext = new (std::nothrow) RibWriter(name, options);
  return RiCurrentContext;
}

RtContextHandle RiNewContext(RtToken name) { return new (std::nothrow) RibWriter(name); }
