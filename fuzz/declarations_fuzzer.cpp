// Fuzz target: Declare with random names and declaration texts, inline-declared tokens, then
// parameter lists of those tokens with values exactly as large as their declarations say.
#include <string>
#include <vector>

#include "FuzzRib.h"
#include "ParamDecl.h"

using namespace rib;

namespace {

// Class and type words, so that inline declarations are found more often than by chance.
const char *const kWords[] = {"constant", "uniform", "varying", "vertex", "float",  "integer",
                              "int",      "point",   "vector",  "normal", "hpoint", "color",
                              "string",   "matrix",  "mpoint",  "[",      "]",      " ",
                              "[2]",      "[-1]",    "[]",      "[0]",    "[40000]"};

std::string wordsFrom(FuzzedDataProvider &data) {
  std::string text;
  const int words = data.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < words; ++i) {
    text += kWords[data.ConsumeIntegralInRange<size_t>(0, std::size(kWords) - 1)];
    if (data.ConsumeBool()) text += ' ';
  }
  return text;
}

std::string textFrom(FuzzedDataProvider &data) {
  std::string text = data.ConsumeBool() ? wordsFrom(data) : std::string();
  text += data.ConsumeRandomLengthString(24);
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzzrib::TextStore texts;
  rib::RibWriter &rib = fuzzrib::freshContext(data.ConsumeBool());
  const bool ascii = !rib.encoder.binary;

  // Declarations: one RIB line each, whatever the text holds.
  std::vector<char *> tokens;
  const int declarations = data.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < declarations; ++i) {
    char *name = texts.keep(textFrom(data));
    char *declaration =
        data.ConsumeIntegralInRange(0, 9) == 0 ? nullptr : texts.keep(textFrom(data));
    RtToken token = rib.Declare(name, declaration);
    if (!token) fuzzrib::fail("Declare returned no token");
    tokens.push_back(token);
  }
  // Tokens with an inline declaration, and plain texts that may or may not be declared.
  const int extra = data.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < extra; ++i) tokens.push_back(texts.keep(textFrom(data)));
  for (char *token : tokens) {
    if (token[0] == '\0' || data.ConsumeBool()) continue;
    (void)lookupParam(token);
    (void)paramDataSize(token);
    const ParamDecl *decl = lookupParam(token);
    if (decl) {
      char text[64];
      const int length = declarationText(*decl, text, sizeof text);
      if (length < 0) fuzzrib::fail("declarationText returned a negative length");
    }
  }

  // One list of declared-size parameters and one primitive of random size.
  std::vector<fuzzrib::ParamValues> held;
  std::vector<RtToken> listTokens;
  std::vector<RtPointer> listValues;
  for (char *token : tokens) {
    fuzzrib::ParamValues values = fuzzrib::valuesFor(data, texts, token, 1);
    if (values.tooLarge) continue;
    listTokens.push_back(token);
    listValues.push_back(values.block.get());
    held.push_back(std::move(values));
  }
  rib.SurfaceV(texts.keep("fuzz"), static_cast<RtInt>(listTokens.size()), listTokens.data(),
               listValues.data());

  const RtInt npoints = data.ConsumeIntegralInRange(0, 6);
  held.clear();
  listTokens.clear();
  listValues.clear();
  for (char *token : tokens) {
    // Points: vertex and varying parameters carry npoints elements, uniform and constant one.
    const ParamDecl *decl = lookupParam(token);
    const bool perPoint =
        decl && (decl->paramClass == kClassVertex || decl->paramClass == kClassVarying);
    fuzzrib::ParamValues values = fuzzrib::valuesFor(data, texts, token, perPoint ? npoints : 1);
    if (values.tooLarge) continue;
    listTokens.push_back(token);
    listValues.push_back(values.block.get());
    held.push_back(std::move(values));
  }
  rib.PointsV(npoints, static_cast<RtInt>(listTokens.size()), listTokens.data(), listValues.data());

  if (ascii) fuzzrib::checkAsciiRib(fuzzrib::written(rib));
  // Declarations of any text, and points sized by whatever was declared: syntax only.
  fuzzrib::checkReadsBack(fuzzrib::written(rib), false);
  return 0;
}
