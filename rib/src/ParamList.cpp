// The parameter list writers: each parameter is its token in quotes and its values, as many as the
// token's declaration says (times the primitive's count for its class). Parameters that cannot be
// written correctly (undeclared, a type with no written form, no values) are reported and left out
// whole, so that the rest of the request still reads correctly.
#include <cstdint>

#include "Diagnostics.h"
#include "ParamDecl.h"
#include "PrimitiveCounts.h"
#include "RibEncoder.h"

namespace rib {
namespace {

// Binary float arrays carry at most a 32-bit count.
constexpr int64_t kMaxValues = INT64_C(0xFFFFFFFF);

} // namespace

void RibEncoder::writeParam(RtToken token, RtPointer value, const PrimitiveCounts *counts) {
  if (!token) {
    reportError(RIE_BADTOKEN, "parameter without a token; it is left out");
    return;
  }
  const ParamDecl *decl = lookupParam(token);
  if (!decl) {
    reportError(RIE_BADTOKEN, "undeclared parameter \"%s\"", token);
    return;
  }
  const ParamTypeInfo &type = paramTypeInfo(decl->type);
  if (type.kind == ValueKind::None) {
    reportError(RIE_BADTOKEN, "parameter \"%s\" has a type with no written form; it is left out",
                token);
    return;
  }
  const int64_t count = paramValueCount(*decl, counts);
  if (count > 0 && !value) {
    reportError(RIE_MISSINGDATA, "parameter \"%s\" has no values; it is left out", token);
    return;
  }
  if (count > kMaxValues) {
    reportError(RIE_LIMIT, "parameter \"%s\" has too many values; it is left out", token);
    return;
  }
  writeChar(' ');
  writeText(token);
  writeChar(' ');
  switch (type.kind) {
  case ValueKind::Float: writeFloats(static_cast<const RtFloat *>(value), count); break;
  case ValueKind::Integer: writeInts(static_cast<const RtInt *>(value), count); break;
  case ValueKind::String:
    writeTextArray(static_cast<RtToken const *>(value), static_cast<size_t>(count));
    break;
  case ValueKind::None: break;
  }
}

void RibEncoder::writeParamList(const char *name, int count, int n, RtToken const tokens[],
                                RtPointer const values[]) {
  if (name) writeArguments(name);
  if (count > 0) writeArguments(static_cast<RtInt>(count));
  if (!tokens || !values) n = 0;
  for (int i = 0; i < n; ++i) writeParam(tokens[i], values[i], nullptr);
  endLine();
}

void RibEncoder::writeParamPairs(const char *name, int count, const RiParamPair *pairs) {
  if (name) writeArguments(name);
  if (count > 0) writeArguments(static_cast<RtInt>(count));
  for (; pairs && pairs->token; ++pairs) writeParam(pairs->token, pairs->value, nullptr);
  endLine();
}

void RibEncoder::writePrimParamList(const PrimitiveCounts &counts, int n, RtToken const tokens[],
                                    RtPointer const values[]) {
  if (!tokens || !values) n = 0;
  for (int i = 0; i < n; ++i) writeParam(tokens[i], values[i], &counts);
  endLine();
}

void RibEncoder::writePrimParamPairs(const PrimitiveCounts &counts, const RiParamPair *pairs) {
  for (; pairs && pairs->token; ++pairs) writeParam(pairs->token, pairs->value, &counts);
  endLine();
}

} // namespace rib
