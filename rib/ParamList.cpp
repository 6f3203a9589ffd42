// The parameter list writers: each parameter is its token in quotes and its values, as many as the
// token's declaration says. Parameters that cannot be written correctly (undeclared, a type with no
// written form, no values) are reported on standard error and left out whole, so that the rest of
// the request still reads correctly.
#include <cstdint>
#include <cstdio>

#include "rib/ParamDecl.h"
#include "rib/RibText.h"
#include "rib/RibWriter.h"

namespace {

// Binary float arrays carry at most a 32-bit length.
constexpr int64_t kMaxValues = INT64_C(0xFFFFFFFF);

// Element counts for a primitive's parameters, by class.
struct PrimCounts {
  int vertex;
  int varying;
  int uniform;

  int64_t forClass(uint8_t paramClass) const {
    switch (paramClass) {
    case kClassUniform:
      return uniform;
    case kClassVarying:
      return varying;
    case kClassVertex:
      return vertex;
    default:
      return 1; // constant
    }
  }
};

// The declaration of a parameter that can be written, or null after saying why not.
const ParamDecl *writableDecl(RtToken token) {
  if (!token) {
    fputs("zizurezar error: parameter without a token; it is left out\n", stderr);
    return nullptr;
  }
  const ParamDecl *decl = lookupParam(token);
  if (!decl) {
    fprintf(stderr, "zizurezar error: undeclared parameter \"%s\"\n", token);
    return nullptr;
  }
  if (paramTypeInfo(decl->type).kind == ValueKind::None) {
    fprintf(stderr,
            "zizurezar error: parameter \"%s\" has a type with no written form; it is left out\n",
            token);
    return nullptr;
  }
  return decl;
}

// Writes one parameter with `elements` elements of its declared type, or reports and skips it.
void putParam(RibChunk &out, const RibWriter &rib, RtToken token, RtPointer value,
              int64_t elements) {
  const ParamDecl *decl = writableDecl(token);
  if (!decl) return;
  const ParamTypeInfo &type = paramTypeInfo(decl->type);
  int64_t count = elements * decl->arraySize * type.components;
  if (count < 0) count = 0;
  if (count > 0 && !value) {
    fprintf(stderr, "zizurezar error: parameter \"%s\" has no values; it is left out\n", token);
    return;
  }
  if (count > kMaxValues) {
    fprintf(stderr, "zizurezar error: parameter \"%s\" has too many values; it is left out\n",
            token);
    return;
  }
  size_t n = static_cast<size_t>(count);
  out.put(' ');
  putQuoted(out, token);
  out.put(' ');
  switch (type.kind) {
  case ValueKind::Float:
    putFloatArray(out, static_cast<const RtFloat *>(value), n, rib.binary != 0, rib.precision);
    break;
  case ValueKind::Integer:
    putIntArray(out, static_cast<const RtInt *>(value), n);
    break;
  case ValueKind::String:
    putTextArray(out, static_cast<RtToken const *>(value), n);
    break;
  case ValueKind::None:
    break;
  }
}

// A parameter of a non-primitive request carries its declared array size of elements.
void putParamDeclared(RibChunk &out, const RibWriter &rib, RtToken token, RtPointer value) {
  putParam(out, rib, token, value, 1);
}

void putPrimParam(RibChunk &out, const RibWriter &rib, const PrimCounts &counts, RtToken token,
                  RtPointer value) {
  const ParamDecl *decl = token ? lookupParam(token) : nullptr;
  putParam(out, rib, token, value, decl ? counts.forClass(decl->paramClass) : 1);
}

void putNameAndCount(RibChunk &out, const char *name, int count) {
  if (name) {
    out.put(' ');
    putQuoted(out, name);
  }
  if (count > 0) {
    out.put(' ');
    putInt(out, count);
  }
}

} // namespace

void RibWriter::writeParamList(const char *name, int count, int n, RtToken const tokens[],
                               RtPointer const values[]) {
  RibChunk out(stream);
  putNameAndCount(out, name, count);
  if (!tokens || !values) n = 0;
  for (int i = 0; i < n; ++i) putParamDeclared(out, *this, tokens[i], values[i]);
  out.put('\n');
}

void RibWriter::writeParamPairs(const char *name, int count, const RiParamPair *pairs) {
  RibChunk out(stream);
  putNameAndCount(out, name, count);
  for (; pairs && pairs->token; ++pairs) putParamDeclared(out, *this, pairs->token, pairs->value);
  out.put('\n');
}

void RibWriter::writePrimParamList(int vertexCount, int varyingCount, int uniformCount, int n,
                                   RtToken const tokens[], RtPointer const values[]) {
  RibChunk out(stream);
  PrimCounts counts{vertexCount, varyingCount, uniformCount};
  if (!tokens || !values) n = 0;
  for (int i = 0; i < n; ++i) putPrimParam(out, *this, counts, tokens[i], values[i]);
  out.put('\n');
}

void RibWriter::writePrimParamPairs(int vertexCount, int varyingCount, int uniformCount,
                                    const RiParamPair *pairs) {
  RibChunk out(stream);
  PrimCounts counts{vertexCount, varyingCount, uniformCount};
  for (; pairs && pairs->token; ++pairs)
    putPrimParam(out, *this, counts, pairs->token, pairs->value);
  out.put('\n');
}
