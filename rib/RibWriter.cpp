// Construction and teardown of RibWriter; RiBegin and RiNewContext.
// (First version: files and standard output only; options, pipes and predeclaration follow.)
#include "rib/RibWriter.h"

#include <cstdlib>
#include <string_view>

RiContext *RiCurrentContext = nullptr;
RtInt gRibBinary = 0;

RibWriter::RibWriter(const char *target, const RibOption *options)
    : errorHandler(RiErrorPrint), stream(nullptr), name(nullptr), isPipe(0), uStep(3), vStep(3),
      binary(0), compression(0), nextLightHandle(1), nextObjectHandle(1), precision(6) {
  for (int i = 0; options && i < 512 && options[i].token; ++i)
    if (std::string_view(options[i].token) == "binary")
      binary = *static_cast<const int32_t *>(options[i].value);
  name = target;
  stream = target ? fopen(target, "wb") : stdout;
  if (!stream) {
    fputs("Error making RIB file: bad filename\n", stderr);
    exit(1);
  }
  writeRaw("##RenderMan RIB-Structure 1.0\n");
  writeRaw("version 3.03\n");
}

RibWriter::~RibWriter() {
  if (!stream) return;
  fputc('\n', stream);
  if (stream != stdout) fclose(stream);
  stream = nullptr;
}

RtContextHandle RiBegin(RtToken name) {
  RibOption options[] = {{"binary", &gRibBinary}, {nullptr, nullptr}};
  RiCurrentContext = new RibWriter(name, options);
  return RiCurrentContext;
}

RtContextHandle RiNewContext(RtToken name) { return new RibWriter(name); }
