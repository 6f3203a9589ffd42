// Construction and teardown of RibWriter (options, target, header, predeclaration); RiBegin and
// RiNewContext.
#include "rib/RibWriter.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "rib/InternString.h"
#include "rib/ParamDecl.h"

RiContext *RiCurrentContext = nullptr;
RtInt gRibBinary = 0;
RtInt gRibPrecision = 6;

namespace {

constexpr int kMaxOptions = 512;

// The renderers that a bare name starts through a pipe (exact, case-sensitive names).
constexpr const char *kRendererNames[] = {"rendrib", "rgl", "prman"};

bool isRendererName(const char *name) {
  for (const char *renderer : kRendererNames)
    if (std::strcmp(name, renderer) == 0) return true;
  return false;
}

int32_t intValue(const void *value) { return value ? *static_cast<const int32_t *>(value) : 0; }

bool textValueIs(const void *value, const char *expected) {
  const char *text = value ? *static_cast<const char *const *>(value) : nullptr;
  return text && std::strcmp(text, expected) == 0;
}

FILE *openPipe(const char *command, const char *mode) {
  fflush(nullptr); // what the program printed so far comes before anything the command prints
  FILE *pipe = popen(command, mode);
  if (!pipe) {
    fprintf(stderr, "Error opening pipe to %s\n", command);
    exit(1);
  }
  return pipe;
}

// The construction options: a text option sets its field to 1 when the text is `one` and to 0
// otherwise; an integer option copies the integer.
struct OptionRow {
  const char *token;
  int32_t RibWriter::*field;
  const char *one; // null: the value is an integer
};

constexpr OptionRow kOptions[] = {
    {"format", &RibWriter::binary, "binary"},
    {"binary", &RibWriter::binary, nullptr},
    {"compression", &RibWriter::compression, "gzip"},
    {"gzip", &RibWriter::compression, nullptr},
    {"precision", &RibWriter::precision, nullptr},
};

void applyOptions(RibWriter &rib, const RibOption *options) {
  for (int i = 0; options && i < kMaxOptions && options[i].token; ++i) {
    for (const OptionRow &row : kOptions) {
      if (std::strcmp(options[i].token, row.token) != 0) continue;
      const void *value = options[i].value;
      rib.*row.field = row.one ? (textValueIs(value, row.one) ? 1 : 0) : intValue(value);
    }
  }
}

void openTarget(RibWriter &rib, const char *target) {
  if (!target) {
    rib.stream = stdout;
    return;
  }
  rib.name = internString(target);
  if (isRendererName(target)) {
    rib.stream = openPipe(rib.name, "w");
    rib.isPipe = 1;
  } else if (target[0] == '|') {
    rib.name = internString(target + 1);
    rib.stream = openPipe(rib.name, "w"); // POSIX pipes do not translate newlines
    rib.isPipe = 1;
  } else {
    rib.stream = fopen(target, "wb");
    if (!rib.stream) {
      fputs("Error making RIB file: bad filename\n", stderr);
      exit(1);
    }
  }
}

} // namespace

RibWriter::RibWriter(const char *target, const RibOption *options)
    : errorHandler(RiErrorPrint), stream(nullptr), name(nullptr), isPipe(0), uStep(3), vStep(3),
      binary(0), compression(0), nextLightHandle(1), nextObjectHandle(1), precision(6) {
  applyOptions(*this, options);
  gEchoDeclares = 1;
  openTarget(*this, target);
  writeRaw("##RenderMan RIB-Structure 1.0\n");
  writeRaw("version 3.03\n");
  predeclareParams(*this);
}

RibWriter::~RibWriter() {
  if (!stream) return;
  fputc('\n', stream);
  if (isPipe)
    pclose(stream);
  else if (stream != stdout)
    fclose(stream);
  stream = nullptr;
}

RtContextHandle RiBegin(RtToken name) {
  RibOption options[] = {{"binary", &gRibBinary}, {"precision", &gRibPrecision}, {nullptr, nullptr}};
  RiCurrentContext = new (std::nothrow) RibWriter(name, options);
  return RiCurrentContext;
}

RtContextHandle RiNewContext(RtToken name) { return new (std::nothrow) RibWriter(name); }
