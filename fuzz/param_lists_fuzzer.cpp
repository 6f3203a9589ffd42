// Fuzz target: parameter lists and value writers in ASCII and binary - predeclared, inline and
// undeclared tokens, string values with quotes, backslashes, newlines and bytes above 127 - and the
// requests whose texts reach the RIB stream (shader names, archive records).
#include <string>
#include <vector>

#include "FuzzRib.h"
#include "ParamDecl.h"

using namespace rib;

namespace {

// Tokens of every class and type, declared at context start or inline, and some undeclared.
const char *const kTokens[] = {"Ka",
                               "from",
                               "lightcolor",
                               "texturename",
                               "origin",
                               "transform",
                               "N",
                               "P",
                               "Pw",
                               "Cs",
                               "st",
                               "constantwidth",
                               "uniform string label",
                               "varying float[2] uv",
                               "vertex hpoint hp",
                               "constant matrix m",
                               "uniform int[3] flags",
                               "color varying backwards",
                               "mpoint mp",
                               "undeclared_token",
                               "",
                               "vertex normal[0] none",
                               "uniform float[] open"};

RtToken tokenFrom(FuzzedDataProvider &data, fuzzrib::TextStore &texts) {
  if (data.ConsumeIntegralInRange(0, 7) == 0) return texts.take(data, 32);
  return texts.keep(kTokens[data.ConsumeIntegralInRange<size_t>(0, std::size(kTokens) - 1)]);
}

enum class Request { Surface, Option, Polygon, Points, ReadArchive, Record, Strings, Geometry };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzzrib::TextStore texts;
  rib::RibWriter &rib = fuzzrib::freshContext(data.ConsumeBool());
  const bool ascii = !rib.encoder.binary;
  const auto request = static_cast<Request>(data.ConsumeIntegralInRange(0, 7));
  char *name = texts.take(data, 64);

  if (request == Request::Record) {
    // The format is the library user's and fixed; the text is anything.
    static const char *const kTypes[] = {"comment", "structure", "verbatim", "other"};
    const char *type = kTypes[data.ConsumeIntegralInRange(0, 3)];
    std::string text = data.ConsumeRandomLengthString(data.ConsumeBool() ? 64 : 20000);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    rib.ArchiveRecord(texts.keep(type), texts.keep("%s"), texts.keep(text));
    const std::string out = fuzzrib::written(rib);
    if (type[0] == 'c' || type[0] == 's') {
      // A record is comment lines only: no newline in the text may start a request.
      fuzzrib::checkAsciiRib(out);
      for (size_t at = 0; at < out.size(); at = out.find('\n', at) + 1)
        if (out[at] != '#') fuzzrib::fail("an archive record line does not start with #");
    } else if (type[0] == 'v' && out != text) {
      fuzzrib::fail("a verbatim record is not its text");
    } else if (type[0] == 'o' && !out.empty()) {
      fuzzrib::fail("a record of an unknown type wrote something");
    }
    // Verbatim text is the caller's own RIB, or anything.
    if (type[0] != 'v') fuzzrib::checkReadsBack(out, true);
    return 0;
  }

  if (request == Request::Strings) {
    // The array writers on their own, with texts of any bytes.
    const int n = data.ConsumeIntegralInRange(0, 8);
    fuzzrib::ExactArray<RtToken> strings(n);
    for (int i = 0; i < n; ++i) strings[i] = texts.take(data, 48);
    fuzzrib::ExactArray<RtFloat> floats(data.ConsumeIntegralInRange(0, 300));
    fuzzrib::fillFloats(data, floats);
    fuzzrib::ExactArray<RtInt> ints(data.ConsumeIntegralInRange(0, 40));
    fuzzrib::fillInts(data, ints, INT32_MIN, INT32_MAX);
    rib.encoder.writeStrings(strings.get(), n);
    rib.encoder.writeFloats(floats.get(), static_cast<int>(floats.size()));
    rib.encoder.writeInts(ints.get(), static_cast<int>(ints.size()));
    rib.encoder.endLine();
    const std::string out = fuzzrib::written(rib);
    bool finite = true;
    for (size_t i = 0; i < floats.size(); ++i) finite = finite && rib::isFinite(floats[i]);
    if (!finite) {
      // Left out whole: nothing of the line reaches the stream.
      if (!out.empty()) fuzzrib::fail("a line with a number that is not finite was written");
      return 0;
    }
    if (ascii) {
      fuzzrib::checkAsciiRib(out);
      const std::vector<std::string> quoted = fuzzrib::quotedTexts(out);
      if (quoted.size() != static_cast<size_t>(n)) fuzzrib::fail("strings lost or split");
      for (int i = 0; i < n; ++i)
        if (quoted[i] != strings[i]) fuzzrib::fail("a string does not read back as written");
    }
    return 0;
  }

  // A parameter list: values sized by each token's declaration and the primitive's counts.
  const RtInt nvertices = data.ConsumeIntegralInRange(-1, 12);
  const int n = data.ConsumeIntegralInRange(0, 12);
  std::vector<RtToken> tokens;
  std::vector<RtPointer> values;
  std::vector<fuzzrib::ParamValues> held;
  for (int i = 0; i < n; ++i) {
    RtToken token = tokenFrom(data, texts);
    const ParamDecl *decl = lookupParam(token);
    long long elements = 1;
    if (decl && (request == Request::Polygon || request == Request::Points)) {
      if (decl->paramClass == kClassVertex || decl->paramClass == kClassVarying)
        elements = nvertices < 0 ? 0 : nvertices;
    }
    fuzzrib::ParamValues v = fuzzrib::valuesFor(data, texts, token, elements);
    if (v.tooLarge) continue;
    tokens.push_back(token);
    values.push_back(data.ConsumeIntegralInRange(0, 15) == 0 ? nullptr : v.block.get());
    held.push_back(std::move(v));
  }
  const RtInt count = static_cast<RtInt>(tokens.size());
  RiLastError = RIE_NOERROR;
  switch (request) {
  case Request::Surface: rib.SurfaceV(name, count, tokens.data(), values.data()); break;
  case Request::Option: rib.AttributeV(name, count, tokens.data(), values.data()); break;
  case Request::Polygon: rib.PolygonV(nvertices, count, tokens.data(), values.data()); break;
  case Request::Points: rib.PointsV(nvertices, count, tokens.data(), values.data()); break;
  case Request::ReadArchive:
    rib.ReadArchiveV(name, nullptr, count, tokens.data(), values.data());
    break;
  case Request::Geometry: rib.GeometryV(name, count, tokens.data(), values.data()); break;
  default: break;
  }
  const std::string out = fuzzrib::written(rib);
  // A request left out whole (a value that is not finite) says so; any other is written.
  if (out.empty() && RiLastError != RIE_RANGE) fuzzrib::fail("a request vanished without a report");
  // Polygons and points take their size from their positions: without them they do not read.
  const bool sized = nvertices >= 0 && fuzzrib::hasVertexPositions(tokens);
  const bool wellFormed = (request != Request::Polygon && request != Request::Points) || sized;
  fuzzrib::checkReadsBack(out, wellFormed);
  if (ascii && !out.empty()) {
    fuzzrib::checkAsciiRib(out);
    // The request's own name is its first quoted text and reads back unchanged.
    if (request == Request::Surface || request == Request::Option ||
        request == Request::ReadArchive || request == Request::Geometry) {
      const std::vector<std::string> quoted = fuzzrib::quotedTexts(out);
      if (quoted.empty() || quoted[0] != name) fuzzrib::fail("the request's name is not intact");
    }
  }
  return 0;
}
