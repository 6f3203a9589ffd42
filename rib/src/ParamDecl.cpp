// Declarations: the type and class tables, the declaration grammar and token lookup.
#include "ParamDecl.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>

#include "Diagnostics.h"
#include "InternString.h"

namespace rib {

namespace {

constexpr ParamTypeInfo kTypes[] = {
    {kTypeUnknown, "", 0, ValueKind::None, 0},
    {kTypeFloat, "float", 4, ValueKind::Float, 1},
    {kTypePoint, "point", 12, ValueKind::Float, 3},
    {kTypeColor, "color", 12, ValueKind::Float, 3},
    {kTypeString, "string", 4, ValueKind::String, 1},
    {kTypeInteger, "integer", 4, ValueKind::Integer, 1},
    {kTypeVector, "vector", 12, ValueKind::Float, 3},
    {kTypeNormal, "normal", 12, ValueKind::Float, 3},
    {kTypeHPoint, "hpoint", 16, ValueKind::Float, 4},
    {kTypeMatrix, "matrix", 64, ValueKind::Float, 16},
    {kTypeMPoint, "mpoint", 64, ValueKind::None, 0},
};

constexpr const char *kClassNames[] = {"",       "constant",    "uniform",   "varying",
                                       "vertex", "facevarying", "facevertex"};

struct Word {
  const char *text;
  uint8_t code;
};

// Matched as prefixes, in this order: "uniformfloat" reads as uniform float.
constexpr Word kClassWords[] = {
    {"uniform", kClassUniform},         {"varying", kClassVarying},
    {"vertex", kClassVertex},           {"constant", kClassConstant},
    {"facevarying", kClassFaceVarying}, {"facevertex", kClassFaceVertex},
};

constexpr Word kTypeWords[] = {
    {"float", kTypeFloat},   {"integer", kTypeInteger}, {"int", kTypeInteger},
    {"point", kTypePoint},   {"color", kTypeColor},     {"string", kTypeString},
    {"vector", kTypeVector}, {"normal", kTypeNormal},   {"hpoint", kTypeHPoint},
    {"matrix", kTypeMatrix}, {"mpoint", kTypeMPoint},
};

// The words an inline declaration may start with, walked once in this order.
constexpr const char *kInlineWords[] = {
    "constant", "uniform", "varying", "vertex", "facevarying", "facevertex",
    "float",    "integer", "int",     "point",  "vector",      "normal",
    "hpoint",   "color",   "string",  "matrix", "mpoint",
};

// Reads declaration text that need not be terminated.
struct Cursor {
  const char *at;
  const char *end;

  void skipBlanks() {
    while (at < end && *at == ' ') ++at;
  }
  bool take(const char *word) {
    size_t length = std::strlen(word);
    if (static_cast<size_t>(end - at) < length || std::memcmp(at, word, length) != 0) return false;
    at += length;
    return true;
  }
};

uint8_t takeWord(Cursor &cursor, const Word *words, size_t count, uint8_t otherwise) {
  for (size_t i = 0; i < count; ++i)
    if (cursor.take(words[i].text)) return words[i].code;
  return otherwise;
}

// "[n": a signed decimal, read up to the first non-digit. False when it does not fit 16 bits.
bool readArraySize(Cursor &cursor, int16_t &size) {
  bool negative = false;
  if (cursor.at < cursor.end && (*cursor.at == '-' || *cursor.at == '+'))
    negative = *cursor.at++ == '-';
  long value = 0;
  for (; cursor.at < cursor.end && *cursor.at >= '0' && *cursor.at <= '9'; ++cursor.at) {
    value = value * 10 + (*cursor.at - '0');
    if (value > 32768) return false;
  }
  if (negative) value = -value;
  if (value > 32767) return false;
  size = static_cast<int16_t>(value);
  return true;
}

struct ParsedDecl {
  uint8_t paramClass = kClassUniform;
  uint8_t type = kTypeUnknown;
  int16_t arraySize = 1;
};

// The declaration as written; `sizeInRange` false when its array size does not fit (the type is
// then unknown).
ParsedDecl parseQuietly(const char *text, size_t length, bool &sizeInRange) {
  ParsedDecl decl;
  Cursor cursor{text, text + length};
  cursor.skipBlanks();
  decl.paramClass = takeWord(cursor, kClassWords, std::size(kClassWords), kClassUniform);
  cursor.skipBlanks();
  decl.type = takeWord(cursor, kTypeWords, std::size(kTypeWords), kTypeUnknown);
  cursor.skipBlanks();
  if (cursor.at < cursor.end && *cursor.at == '[') {
    ++cursor.at;
    sizeInRange = readArraySize(cursor, decl.arraySize);
    if (!sizeInRange) {
      // A size that does not fit would wrap to a wrong count: record no written form instead.
      decl.type = kTypeUnknown;
      decl.arraySize = 1;
    }
  }
  return decl;
}

ParsedDecl parse(const char *name, const char *text, size_t length) {
  bool sizeInRange = true;
  const ParsedDecl decl = parseQuietly(text, length, sizeInRange);
  if (!sizeInRange)
    reportError(RIE_RANGE, "array size out of range in the declaration of \"%s\"",
                name ? name : "");
  return decl;
}

void assign(ParamDecl &entry, const ParsedDecl &decl) {
  entry.paramClass = decl.paramClass;
  entry.type = decl.type;
  entry.arraySize = decl.arraySize;
}

} // namespace

const char *declarationProblem(const char *declaration) {
  bool sizeInRange = true;
  const char *text = declaration ? declaration : "";
  const ParsedDecl decl = parseQuietly(text, std::strlen(text), sizeInRange);
  if (!sizeInRange) return "has an array size out of range";
  if (paramTypeInfo(decl.type).kind == ValueKind::None) return "names no type";
  return nullptr;
}

bool sameDeclaration(const ParamDecl &a, const ParamDecl &b) {
  return a.paramClass == b.paramClass && a.type == b.type && a.arraySize == b.arraySize;
}

const ParamTypeInfo &paramTypeInfo(uint8_t type) {
  for (const ParamTypeInfo &row : kTypes)
    if (row.code == type) return row;
  return kTypes[0];
}

const char *paramClassName(uint8_t paramClass) {
  return paramClass < std::size(kClassNames) ? kClassNames[paramClass] : "";
}

Declarations::Declarations() : base_(&standard()), own_(61) {}

Declarations::Declarations(BuildStandard) : base_(nullptr), own_(1021) {}

void Declarations::clear() noexcept {
  own_.deleteLevel(0);
  own_.setLevel(0);
  declared_.clear();
}

const ParamDecl *Declarations::findOwn(const char *name) const {
  return name ? static_cast<const ParamDecl *>(own_.peek(name)) : nullptr;
}

const ParamDecl *Declarations::find(const char *name) const {
  if (const ParamDecl *own = findOwn(name)) return own;
  return base_ ? base_->findOwn(name) : nullptr;
}

const char *Declarations::declare(const char *name, const char *declaration, size_t length,
                                  const char *key, bool forceNew) {
  if (!declaration) length = 0;
  ParsedDecl decl = parse(name, declaration ? declaration : "", length);
  if (!name) return nullptr;
  const char *paramName = nullptr;
  if (!forceNew) {
    // The name as a token finds it (leading blanks skipped, an inline declaration taken apart):
    // the table's own entry changes; a standard one gets an entry of the table's own.
    if (const ParamDecl *existing = lookup(name)) {
      if (existing == findOwn(existing->key)) {
        assign(*const_cast<ParamDecl *>(existing), decl);
        return existing->name;
      }
      key = existing->key;
      paramName = existing->name;
    }
  }
  if (!paramName) paramName = internString(name);
  const char *keyText = key ? internString(key) : paramName;
  const bool declaredName = keyText == paramName;
  if (declaredName) declared_.reserve(declared_.size() + 1);
  std::unique_ptr<ParamDecl> made(new ParamDecl(keyText, paramName));
  ParamDecl *entry = made.get();
  if (own_.insert(entry, false) != 0) {
    // The key is taken: the visible entry gets the new declaration.
    entry = static_cast<ParamDecl *>(own_.peek(keyText));
    if (!entry) return paramName;
  } else {
    made.release(); // the table owns it
    if (declaredName) declared_.push_back(entry);
  }
  assign(*entry, decl);
  return paramName;
}

const char *Declarations::declare(const char *name, const char *declaration, const char *key,
                                  bool forceNew) {
  return declare(name, declaration, declaration ? std::strlen(declaration) : 0, key, forceNew);
}

size_t inlineDeclLength(const char *token) {
  if (!token) return 0;
  size_t at = 0;
  for (const char *word : kInlineWords) {
    size_t length = std::strlen(word);
    if (std::strncmp(token + at, word, length) != 0) continue;
    char after = token[at + length];
    if (after != ' ' && after != '[') continue;
    at += length;
    if (after == '[') {
      const char *close = std::strchr(token + at, ']');
      at = close ? static_cast<size_t>(close - token) + 1 : std::strlen(token);
    }
    while (token[at] == ' ') ++at;
  }
  return at;
}

const ParamDecl *Declarations::lookup(const char *token) {
  if (!token) return nullptr;
  while (*token == ' ') ++token;
  if (const ParamDecl *found = find(token)) return found;
  size_t length = inlineDeclLength(token);
  if (length == 0) return nullptr;
  declare(token + length, token, length, token, true);
  return findOwn(token);
}

int paramDataSize(const ParamDecl &decl) { return decl.arraySize * paramTypeInfo(decl.type).bytes; }

int declarationText(const ParamDecl &decl, char *out, size_t capacity) {
  const char *className = paramClassName(decl.paramClass);
  const char *typeName = paramTypeInfo(decl.type).name;
  if (decl.arraySize > 1)
    return snprintf(out, capacity, "%s %s[%d]", className, typeName, decl.arraySize);
  return snprintf(out, capacity, decl.arraySize < 0 ? "%s %s[]" : "%s %s", className, typeName);
}

} // namespace rib
