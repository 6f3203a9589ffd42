// The parameter list writers: each parameter is its token in quotes and its values, as many as the
// token's declaration says (times the primitive's count for its class). Parameters that cannot be
// written correctly (undeclared, a type with no written form, no values) are reported and left out
// whole, so that the rest of the request still reads correctly.
//
// A list is announced to the encoder before anything of it is written (or earlier, by a body whose
// positional part may be long), so that a request that fills the buffer has its list's floats
// checked before its first bytes go out.
#include <cstdint>
#include <new>

#include "Diagnostics.h"
#include "ParamDecl.h"
#include "PrimitiveCounts.h"
#include "RibEncoder.h"

namespace rib {
namespace {

// Binary float arrays carry at most a 32-bit count.
constexpr int64_t kMaxValues = INT64_C(0xFFFFFFFF);

// The float values a parameter carries, or none (null) when it is not written as floats.
struct FloatValues {
  const RtFloat *values = nullptr;
  int64_t count = 0;
};

FloatValues floatValues(const ParamDecl &decl, RtPointer value, const PrimitiveCounts *counts) {
  FloatValues floats;
  if (paramTypeInfo(decl.type).kind != ValueKind::Float || !value) return floats;
  floats.count = paramValueCount(decl, counts);
  if (floats.count <= kMaxValues) floats.values = static_cast<const RtFloat *>(value);
  return floats;
}

} // namespace

void RibEncoder::writeParam(RtToken token, RtPointer value, const PrimitiveCounts *counts) {
  if (!token) {
    reportError(RIE_BADTOKEN, "parameter without a token; it is left out");
    return;
  }
  const ParamDecl *decl = nullptr;
  try {
    decl = declarations->lookup(token); // an inline declaration is stored on its first use
  } catch (const std::bad_alloc &) {
    leaveOutForMemory();
    return;
  }
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
  if (!expecting_) expectParams(nullptr, n, tokens, values);
  if (!isWholeList(n, tokens, values)) n = 0;
  if (name) writeArguments(name);
  if (count > 0) writeArguments(static_cast<RtInt>(count));
  inExpectedList_ = true;
  for (int i = 0; i < n; ++i) writeParam(tokens[i], values[i], nullptr);
  inExpectedList_ = false;
  endLine();
}

void RibEncoder::writeParamPairs(const char *name, int count, const RiParamPair *pairs) {
  if (!expecting_) expectPairs(nullptr, pairs);
  if (name) writeArguments(name);
  if (count > 0) writeArguments(static_cast<RtInt>(count));
  inExpectedList_ = true;
  for (; pairs && pairs->token; ++pairs) writeParam(pairs->token, pairs->value, nullptr);
  inExpectedList_ = false;
  endLine();
}

void RibEncoder::writePrimParamList(const PrimitiveCounts &counts, int n, RtToken const tokens[],
                                    RtPointer const values[]) {
  if (!expecting_) expectParams(&counts, n, tokens, values);
  if (!isWholeList(n, tokens, values)) n = 0;
  inExpectedList_ = true;
  for (int i = 0; i < n; ++i) writeParam(tokens[i], values[i], &counts);
  inExpectedList_ = false;
  endLine();
}

void RibEncoder::writePrimParamPairs(const PrimitiveCounts &counts, const RiParamPair *pairs) {
  if (!expecting_) expectPairs(&counts, pairs);
  inExpectedList_ = true;
  for (; pairs && pairs->token; ++pairs) writeParam(pairs->token, pairs->value, &counts);
  inExpectedList_ = false;
  endLine();
}

// ---- Checks ahead ----

void RibEncoder::expectParams(const PrimitiveCounts *counts, int n, RtToken const tokens[],
                              RtPointer const values[]) {
  expecting_ = true;
  const bool whole = isWholeList(n, tokens, values);
  expected_ = ExpectedParams{counts, whole ? n : 0, tokens, values, nullptr};
  // A list that cannot be read as given is not guessed at: the whole request is left out.
  if (!whole && n != 0) {
    fault_ = Fault::BadList;
    badListCount_ = n;
  }
}

void RibEncoder::expectPairs(const PrimitiveCounts *counts, const RiParamPair *pairs) {
  expecting_ = true;
  expected_ = ExpectedParams{counts, 0, nullptr, nullptr, pairs};
}

void RibEncoder::checkAhead() {
  if (checkedAhead_ || !expecting_) return;
  checkedAhead_ = true;
  try {
    if (!expectedParamsFinite()) fault_ = Fault::NonFinite;
  } catch (const std::bad_alloc &) {
    fault_ = Fault::NoMemory;
  }
}

bool RibEncoder::expectedParamsFinite() {
  // What writeParam would write as floats; parameters it leaves out are skipped here too.
  auto finite = [&](RtToken token, RtPointer value) {
    const ParamDecl *decl = token ? declarations->lookup(token) : nullptr;
    if (!decl) return true;
    const FloatValues floats = floatValues(*decl, value, expected_.counts);
    if (floats.values && !given(floats.values, static_cast<size_t>(floats.count), 4)) return true;
    return !floats.values || allFinite(floats.values, static_cast<size_t>(floats.count));
  };
  for (int i = 0; i < expected_.n; ++i)
    if (!finite(expected_.tokens[i], expected_.values[i])) return false;
  for (const RiParamPair *pair = expected_.pairs; pair && pair->token; ++pair)
    if (!finite(pair->token, pair->value)) return false;
  return true;
}

} // namespace rib
