// The readers of the requests outside geometry whose RIB form is their own: colours, bounds and
// matrices (given as one array or number by number), motion times, lights and objects with the
// numbers the input gives them, declarations, options and error handlers.
#include <cstring>
#include <iterator>
#include <string>

#include "ParamDecl.h"
#include "RibOptions.h"
#include "RibRequestRead.h"
#include "RibText.h"
#include "StandardNames.h"

namespace rib {
namespace {

// ---- Fixed-size float arrays ----

void readColor(RequestRead &read) {
  RtColor color;
  if (read.takeNumbers(color, 3, "the color") && read.atEnd()) read.context().Color(color);
}

void readOpacity(RequestRead &read) {
  RtColor color;
  if (read.takeNumbers(color, 3, "the opacity") && read.atEnd()) read.context().Opacity(color);
}

void readTextureCoordinates(RequestRead &read) {
  RtFloat st[8];
  if (read.takeNumbers(st, 8, "the coordinates") && read.atEnd())
    read.context().TextureCoordinates(st[0], st[1], st[2], st[3], st[4], st[5], st[6], st[7]);
}

void readBound(RequestRead &read) {
  RtBound bound;
  if (read.takeNumbers(bound, 6, "the bound") && read.atEnd()) read.context().Bound(bound);
}

void readDetail(RequestRead &read) {
  RtBound bound;
  if (read.takeNumbers(bound, 6, "the bound") && read.atEnd()) read.context().Detail(bound);
}

void readConcatTransform(RequestRead &read) {
  RtMatrix matrix;
  if (read.takeNumbers(&matrix[0][0], 16, "the matrix") && read.atEnd())
    read.context().ConcatTransform(matrix);
}

void readTransform(RequestRead &read) {
  RtMatrix matrix;
  if (read.takeNumbers(&matrix[0][0], 16, "the matrix") && read.atEnd())
    read.context().Transform(matrix);
}

void readMotionBegin(RequestRead &read) {
  const RtFloat *times;
  RtInt n;
  if (read.takeFloats(times, n, "the times") && read.atEnd())
    read.context().MotionBeginV(n, const_cast<RtFloat *>(times));
}

void readColorSamples(RequestRead &read) {
  const RtFloat *toRGB, *fromRGB;
  RtInt n, m;
  if (!(read.takeFloats(toRGB, n, "nRGB") && read.takeFloats(fromRGB, m, "RGBn") && read.atEnd()))
    return;
  if (n != m || n % 3 != 0)
    read.fail("ColorSamples: nRGB and RGBn must hold three numbers per sample each, not %d and %d",
              n, m);
  else
    read.context().ColorSamples(n / 3, const_cast<RtFloat *>(toRGB),
                                const_cast<RtFloat *>(fromRGB));
}

// ---- Lights and objects: the input's numbers stand for the handles the context returns ----

void readLight(RequestRead &read, bool area) {
  char *name;
  std::string key;
  if (!(read.take(name) && read.takeHandleKey(key))) return;
  RibDispatch::State &state = read.state();
  if (!read.takeParams(nullptr)) {
    state.refusedLights.insert(key);
    return;
  }
  RiContext &context = read.context();
  state.refusedLights.erase(key);
  state.lights[key] =
      area ? context.AreaLightSourceV(name, read.paramCount(), read.tokens(), read.values())
           : context.LightSourceV(name, read.paramCount(), read.tokens(), read.values());
}

void readLightSource(RequestRead &read) { readLight(read, false); }
void readAreaLightSource(RequestRead &read) { readLight(read, true); }

void readObjectBegin(RequestRead &read) {
  std::string key;
  if (!read.takeHandleKey(key)) return;
  RibDispatch::State &state = read.state();
  if (!read.atEnd()) {
    state.refusedObjects.insert(key);
    return;
  }
  state.refusedObjects.erase(key);
  state.objects[key] = read.context().ObjectBegin();
}

// ---- Declarations, options, error handlers ----

void readDeclare(RequestRead &read) {
  char *name, *declaration;
  if (!(read.take(name) && read.take(declaration) && read.atEnd())) return;
  // A name with a blank could never be used: a parameter list's token reads as another name.
  if (*name == '\0' || std::strchr(name, ' ')) {
    read.fail("Declare: the name \"%s\" is %s", shownText(name).c_str(),
              *name ? "not one word" : "empty");
    return;
  }
  // Checked before the context sees it: a declaration without a written form is left out.
  if (const char *problem = declarationProblem(declaration)) {
    read.fail("Declare: \"%s\" %s", shownText(declaration).c_str(), problem);
    return;
  }
  // The input's own table first: what the context makes of it is the context's.
  read.state().declarations->declare(name, declaration);
  read.state().noteWriterDeclaration(name);
  read.context().Declare(name, declaration);
}

void readOption(RequestRead &read) {
  char *name;
  if (!read.take(name)) return;
  // The library's own option would change how the rest is written, which is not the input's
  // to choose: it is passed on as written, an option like any other.
  if (isRibOption(name)) {
    read.state().passOn(read.request());
    return;
  }
  if (read.takeParams(nullptr))
    read.context().OptionV(name, read.paramCount(), read.tokens(), read.values());
}

void readErrorHandler(RequestRead &read) {
  char *name;
  if (!(read.take(name) && read.atEnd())) return;
  if (const StandardErrorHandler *standard = findErrorHandler(name)) {
    read.context().ErrorHandler(standard->handler);
    return;
  }
  // A renderer's own handler ("printonce"): the renderer knows it, so it goes on as read.
  const std::string shown = shownText(name);
  read.state().noteOnce("handler " + shown, read.request().where,
                        "ErrorHandler: handler \"" + shown +
                            "\" is not a standard one; passed on as read");
  read.state().passOn(read.request());
}

// ---- Requests of the later interface ----

void readArchiveBegin(RequestRead &read) {
  char *name;
  if (read.take(name) && read.takeParams(nullptr))
    read.context().ArchiveBeginV(name, read.paramCount(), read.tokens(), read.values());
}

void readMakeOcclusion(RequestRead &read) {
  char **picfiles, *shadowfile;
  RtInt npics;
  if (read.takeTexts(picfiles, npics, "picfiles") && read.take(shadowfile) &&
      read.takeParams(nullptr))
    read.context().MakeOcclusionV(npics, picfiles, shadowfile, read.paramCount(), read.tokens(),
                                  read.values());
}

} // namespace

const RequestReader kOwnReaders[] = {
    {"Color", readColor},
    {"Opacity", readOpacity},
    {"TextureCoordinates", readTextureCoordinates},
    {"Bound", readBound},
    {"Detail", readDetail},
    {"ConcatTransform", readConcatTransform},
    {"Transform", readTransform},
    {"MotionBegin", readMotionBegin},
    {"ColorSamples", readColorSamples},
    {"LightSource", readLightSource},
    {"AreaLightSource", readAreaLightSource},
    {"ObjectBegin", readObjectBegin},
    {"Declare", readDeclare},
    {"Option", readOption},
    {"ErrorHandler", readErrorHandler},
    {"ArchiveBegin", readArchiveBegin},
    {"MakeOcclusion", readMakeOcclusion},
};

const size_t kOwnReaderCount = std::size(kOwnReaders);

} // namespace rib
