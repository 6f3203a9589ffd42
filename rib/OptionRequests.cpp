// The option requests: camera, display and renderer options, given before the world block.
//
// The RibWriter operations write one line each; their floats are always "%g" text (the binary
// encoding applies only inside parameter lists). The C procedures hand each request to the
// current context, and report a severe "RiBegin not called" error naming themselves when there is
// none. The library's own option "rib" (or "RIB") is handled here too: it needs no context, so a
// program can choose the binary encoding before RiBegin.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "rib/CurrentContext.h"
#include "rib/FilterNames.h"
#include "rib/GatheredParams.h"
#include "rib/RibWriter.h"

RtInt gRibCompression = 0;

namespace {

bool isRibOption(RtToken name) {
  return name && (std::strcmp(name, "rib") == 0 || std::strcmp(name, "RIB") == 0);
}

bool tokenIs(RtToken token, const char *text) { return token && std::strcmp(token, text) == 0; }

// The text a "rib" option value names (the value points to the text pointer), or null after a
// one-line report when there is none.
const char *textValue(RtToken token, RtPointer value) {
  const char *const *textPointer = static_cast<const char *const *>(value);
  if (textPointer && *textPointer) return *textPointer;
  fprintf(stderr, "zizurezar error: rib option \"%s\" has no text value; ignored\n", token);
  return nullptr;
}

// The integer a "rib" option value points to, or null after a one-line report.
const RtInt *intValue(RtToken token, RtPointer value) {
  if (value) return static_cast<const RtInt *>(value);
  fprintf(stderr, "zizurezar error: rib option \"%s\" has no integer value; ignored\n", token);
  return nullptr;
}

// The digits a "precision" value asks for, or null after a one-line report: "%g" takes 1 to 17.
const RtInt *precisionValue(RtToken token, RtPointer value) {
  const RtInt *digits = intValue(token, value);
  if (digits && (*digits < 1 || *digits > 17)) {
    fprintf(stderr, "zizurezar error: rib option \"precision\" must be 1 to 17, not %d; ignored\n",
            static_cast<int>(*digits));
    return nullptr;
  }
  return digits;
}

// The "rib" option of the C interface: sets the encoding of the contexts RiBegin makes later.
void applyRibOption(RtInt n, RtToken tokens[], RtPointer values[]) {
  for (RtInt i = 0; i < n; ++i) {
    if (tokenIs(tokens[i], "format")) {
      if (const char *text = textValue(tokens[i], values[i]))
        gRibBinary = std::strcmp(text, "binary") == 0 ? 1 : 0;
    } else if (tokenIs(tokens[i], "binary")) {
      if (const RtInt *binary = intValue(tokens[i], values[i])) gRibBinary = *binary;
    } else if (tokenIs(tokens[i], "compression")) {
      if (const char *text = textValue(tokens[i], values[i]))
        gRibCompression = std::strcmp(text, "gzip") == 0 ? 1 : 0;
    } else if (tokenIs(tokens[i], "precision")) {
      if (const RtInt *digits = precisionValue(tokens[i], values[i])) gRibPrecision = *digits;
    }
  }
}

} // namespace

// ---- RibWriter: camera options ----

RtVoid RibWriter::Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) {
  writeFormatted("Format %d %d %g\n", xresolution, yresolution, pixelaspectratio);
}

RtVoid RibWriter::FrameAspectRatio(RtFloat frameaspectratio) {
  writeFormatted("FrameAspectRatio %g\n", frameaspectratio);
}

RtVoid RibWriter::ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) {
  writeFormatted("ScreenWindow %g %g %g %g\n", left, right, bottom, top);
}

RtVoid RibWriter::CropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax) {
  writeFormatted("CropWindow %g %g %g %g\n", xmin, xmax, ymin, ymax);
}

RtVoid RibWriter::ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Projection");
  writeParamList(name, 0, n, tokens, values);
}

RtVoid RibWriter::Clipping(RtFloat hither, RtFloat yon) {
  writeFormatted("Clipping %g %g\n", hither, yon);
}

RtVoid RibWriter::DepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance) {
  writeFormatted("DepthOfField %g %g %g\n", fstop, focallength, focaldistance);
}

RtVoid RibWriter::Shutter(RtFloat opentime, RtFloat closetime) {
  writeFormatted("Shutter %g %g\n", opentime, closetime);
}

// ---- RibWriter: display and renderer options ----

RtVoid RibWriter::PixelVariance(RtFloat variation) {
  writeFormatted("PixelVariance %g\n", variation);
}

RtVoid RibWriter::PixelSamples(RtFloat xsamples, RtFloat ysamples) {
  writeFormatted("PixelSamples %g %g\n", xsamples, ysamples);
}

RtVoid RibWriter::PixelFilter(RtFilterFunc filterfunc, RtFloat xwidth, RtFloat ywidth) {
  writeFormatted("PixelFilter \"%s\" %g %g\n", filterName(filterfunc), xwidth, ywidth);
}

RtVoid RibWriter::Exposure(RtFloat gain, RtFloat gamma) {
  writeFormatted("Exposure %g %g\n", gain, gamma);
}

RtVoid RibWriter::Quantize(RtToken type, RtInt one, RtInt min, RtInt max,
                           RtFloat ditheramplitude) {
  writeFormatted("Quantize \"%s\" %d %d %d %g\n", type, one, min, max, ditheramplitude);
}

RtVoid RibWriter::DisplayV(char *name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                           RtPointer values[]) {
  writeFormatted("Display \"%s\" \"%s\" \"%s\"", name, type, mode);
  writeParamList(nullptr, 0, n, tokens, values);
}

RtVoid RibWriter::HiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeRaw("Hider");
  writeParamList(type, 0, n, tokens, values);
}

// RIB output always carries three colour components; nothing to write.
RtVoid RibWriter::ColorSamples(RtInt, RtFloat[], RtFloat[]) {}

RtVoid RibWriter::RelativeDetail(RtFloat relativedetail) {
  writeFormatted("RelativeDetail %g\n", relativedetail);
}

RtVoid RibWriter::OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  if (isRibOption(name)) {
    // An open context changes only its own encoding; "format" and the rest apply to RiBegin.
    for (RtInt i = 0; i < n; ++i) {
      if (tokenIs(tokens[i], "binary")) {
        if (const RtInt *value = intValue(tokens[i], values[i])) binary = *value;
      } else if (tokenIs(tokens[i], "precision")) {
        if (const RtInt *digits = precisionValue(tokens[i], values[i])) precision = *digits;
      }
    }
    return;
  }
  writeRaw("Option");
  writeParamList(name, 0, n, tokens, values);
}

// ---- The C procedures of the "rib" option; the others are built from rib/RiRequests.def ----

RtVoid RiOption(RtToken name, ...) {
  RIB_GATHER_PARAMS(params, name, "RiOption");
  if (isRibOption(name)) {
    applyRibOption(params.count, params.tokens, params.values);
    return;
  }
  if (RiContext *context = contextFor("RiOption"))
    context->OptionV(name, params.count, params.tokens, params.values);
}

RtVoid RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  if (isRibOption(name)) {
    applyRibOption(n, tokens, values);
    return;
  }
  if (RiContext *context = contextFor("RiOptionV")) context->OptionV(name, n, tokens, values);
}
