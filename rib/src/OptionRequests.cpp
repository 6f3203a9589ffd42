// The option requests whose bodies are their own: ColorSamples, Option (which also carries the
// library's own option "rib") and the C procedures RiOption/RiOptionV, which take "rib" without a
// context so that a program can choose the encoding before RiBegin. The other camera and display
// options are written from their rows in rib/RiRequests.def.
#include "CurrentContext.h"
#include "GatheredParams.h"
#include "RibOptions.h"
#include "RibWriter.h"

RtInt gRibCompression = 0;
RtInt rib::gRibCompact = 0;
RtInt rib::gRibCompressionLevel = 6;

namespace {

// RiOption("rib", ...): the encoding of the contexts RiBegin makes later.
void applyToLaterContexts(RtInt n, RtToken tokens[], RtPointer values[]) {
  rib::RibSettings settings;
  settings.binary = gRibBinary;
  settings.compact = rib::gRibCompact;
  settings.compression = gRibCompression;
  settings.compressionLevel = rib::gRibCompressionLevel;
  settings.precision = gRibPrecision;
  for (RtInt i = 0; i < n; ++i)
    rib::applyRibOption(settings, tokens[i], values[i], rib::OptionScope::LaterContexts);
  gRibBinary = settings.binary;
  rib::gRibCompact = settings.compact;
  gRibCompression = settings.compression;
  rib::gRibCompressionLevel = settings.compressionLevel;
  gRibPrecision = settings.precision;
}

} // namespace

// RIB output always carries three colour components; nothing to write.
RtVoid rib::RibWriter::ColorSamples(RtInt, RtFloat[], RtFloat[]) {}

RtVoid rib::RibWriter::OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  if (rib::isRibOption(name)) {
    // An open context changes only its own encoding; "format" and the rest apply to RiBegin.
    rib::RibSettings settings;
    settings.binary = encoder.binary && !encoder.compact ? 1 : 0;
    settings.compact = encoder.compact ? 1 : 0;
    settings.precision = encoder.precision;
    for (RtInt i = 0; i < n; ++i)
      rib::applyRibOption(settings, tokens[i], values[i], rib::OptionScope::OpenContext);
    // "binary" ends the compact encoding: 1 binary floats, 0 ASCII.
    encoder.compact = settings.compact != 0;
    encoder.binary = settings.binary != 0 || encoder.compact;
    encoder.precision = settings.precision;
    return;
  }
  encoder.writeKeyword("Option");
  encoder.writeParamList(name, 0, n, tokens, values);
}

RtVoid RiOption(RtToken name, ...) {
  RIB_GATHER_PARAMS(params, name, "RiOption");
  if (rib::isRibOption(name)) {
    applyToLaterContexts(params.count, params.tokens, params.values);
    return;
  }
  if (RiContext *context = rib::contextFor("RiOption"))
    context->OptionV(name, params.count, params.tokens, params.values);
}

RtVoid RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  if (rib::isRibOption(name)) {
    applyToLaterContexts(n, tokens, values);
    return;
  }
  if (RiContext *context = rib::contextFor("RiOptionV")) context->OptionV(name, n, tokens, values);
}
