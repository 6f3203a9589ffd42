// ParamDecl.h - parameter declarations: what a token's values are, so lists can be written.
//
// A declaration is "[class] [type] [[size]]", e.g. "varying color" or "uniform float[3]"; it is
// recorded by Declare or written inline in front of a token ("vertex point Pref"). The writers of
// parameter lists ask lookupParam for a token's declaration to know how many values to write.
//
//     parseDeclaration(gDeclTable, "Kq", "varying color", nullptr, false);
//     const ParamDecl *decl = lookupParam("Kq");        // class varying, type color, size 1
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "SymbolTable.h"

namespace rib {

enum ParamType : uint8_t {
  kTypeUnknown = 0,
  kTypeFloat = 1,
  kTypePoint = 2,
  kTypeColor = 3,
  kTypeString = 4,
  kTypeInteger = 5,
  kTypeVector = 6,
  kTypeNormal = 7,
  kTypeHPoint = 8,
  kTypeMatrix = 9,
  kTypeMPoint = 16,
};

enum ParamClass : uint8_t {
  kClassConstant = 1,
  kClassUniform = 2,
  kClassVarying = 3,
  kClassVertex = 4,
  kClassFaceVarying = 5, // one value per vertex of each face, shared vertices counted per face
  kClassFaceVertex = 6,  // the same count as facevarying
};

/// How a type's values are written: floats, integers, texts, or not at all.
enum class ValueKind { None, Float, Integer, String };

struct ParamTypeInfo {
  uint8_t code;
  const char *name; // empty for unrecognised types
  int bytes;        // per element
  ValueKind kind;
  int components; // values per element
};

/// The row of a type code; unknown codes give the row of type 0 (no name, no written form).
const ParamTypeInfo &paramTypeInfo(uint8_t type);
/// "constant", "uniform", "varying", "vertex", "facevarying", "facevertex"; empty for other codes.
const char *paramClassName(uint8_t paramClass);

struct ParamDecl : Symbol {
  const char *name; // interned bare parameter name
  uint8_t type = kTypeUnknown;
  uint8_t paramClass = kClassUniform;
  int16_t arraySize = 1; // 1 without brackets; may be negative ("[]" in the text)

  ParamDecl(const char *keyText, const char *paramName) : Symbol(keyText), name(paramName) {}
};

/// The process-wide declarations (5003 buckets to start with), shared by every context.
extern SymbolTable gDeclTable;
/// 1: Declare writes its RIB line. Set by every context's construction.
extern int32_t gEchoDeclares;

/// Parses `declaration` (null reads as empty) and records it for `name`: unless forceNew, an
/// existing declaration of name is overwritten; else a new entry keyed by `key` (or the name) is
/// added. Returns the interned parameter name.
const char *parseDeclaration(SymbolTable &table, const char *name, const char *declaration,
                             const char *key, bool forceNew);
/// The same with a declaration given as `length` bytes (not terminated).
const char *parseDeclaration(SymbolTable &table, const char *name, const char *declaration,
                             size_t length, const char *key, bool forceNew);
/// Length of the class and type words (with blanks and any bracketed size) at the start of a
/// token; 0 when there are none.
size_t inlineDeclLength(const char *token);
/// The declaration of a token (declared name, or an inline declaration followed by a name); null
/// when there is none. An inline declaration is recorded under the whole token.
const ParamDecl *lookupParam(const char *token);
/// Why a declaration text cannot be written as a parameter's form ("names no type", "has an
/// array size out of range"), or null when it can; reports nothing.
const char *declarationProblem(const char *declaration);

/// A name's declaration as it stood, to be put back after an input that declared the name anew
/// has been read (each input declares for itself).
struct SavedDeclaration {
  std::string name;
  bool existed = false;
  uint8_t paramClass = kClassUniform;
  uint8_t type = kTypeUnknown;
  int16_t arraySize = 1;
};
SavedDeclaration saveDeclaration(const char *name);
/// Puts the saved declaration back; a name that had none is left without a written form.
void restoreDeclaration(const SavedDeclaration &saved);

/// Bytes of one value of a token: array size times bytes per element; 0 when undeclared.
int paramDataSize(const char *token);
/// "class type", then "[size]" when the size is above 1 or "[]" when it is negative. Writes at most
/// `capacity` bytes with the terminator; returns the full length.
int declarationText(const ParamDecl &decl, char *out, size_t capacity);

/// Declares the standard and renderer-specific parameters (writing nothing) and points the token
/// variables of rib/ri.h at the interned names, once per process: a later call changes nothing.
/// Throws std::bad_alloc when memory runs out (a later call then tries again).
void predeclareParams();

} // namespace rib
