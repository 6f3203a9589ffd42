// ParamDecl.h - parameter declarations: what a token's values are, so lists can be written.
//
// A declaration is "[class] [type] [[size]]", e.g. "varying color" or "uniform float[3]"; it is
// recorded by Declare or written inline in front of a token ("vertex point Pref"). The writers of
// parameter lists ask their context's Declarations for a token's declaration to know how many
// values to write.
//
//     rib::Declarations declarations;                   // what a context starts with
//     declarations.declare("Kq", "varying color");
//     const ParamDecl *decl = declarations.lookup("Kq"); // class varying, type color, size 1
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

/// A table of declarations: the standard ones, built once per process and never changed, under
/// the table's own. Each context has one, and so has each reading of RIB: a Declare, an inline
/// declaration or a reading changes only the table it is made in. A table serves one thread at a
/// time; the standard declarations are shared and only read.
///
///     rib::Declarations declarations;                      // the standard ones
///     declarations.declare("Kq", "varying color");
///     const ParamDecl *decl = declarations.lookup("Kq");   // class varying, type color, size 1
class Declarations {
public:
  /// The standard declarations and nothing of its own. Throws std::bad_alloc when the standard
  /// ones cannot be built (a later table tries again).
  Declarations();
  ~Declarations() = default;
  Declarations(const Declarations &) = delete;
  Declarations &operator=(const Declarations &) = delete;

  /// The declaration of a token (declared name, or an inline declaration followed by a name); null
  /// when there is none. An inline declaration is recorded under the whole token. Throws
  /// std::bad_alloc when there is no memory to record it.
  const ParamDecl *lookup(const char *token);
  /// The declaration of a name as declared (own, else standard), recording nothing.
  const ParamDecl *find(const char *name) const;
  /// The table's own declaration of a name, ignoring the standard ones.
  const ParamDecl *findOwn(const char *name) const;

  /// Parses `declaration` (null reads as empty) and records it for `name`: unless forceNew, the
  /// table's own declaration of name is overwritten (a standard one is shadowed); else a new entry
  /// keyed by `key` (or the name) is added. Returns the interned parameter name. Throws
  /// std::bad_alloc without memory.
  const char *declare(const char *name, const char *declaration, const char *key = nullptr,
                      bool forceNew = false);
  /// The same with a declaration given as `length` bytes (not terminated).
  const char *declare(const char *name, const char *declaration, size_t length, const char *key,
                      bool forceNew);

  /// Forgets the table's own declarations: the standard ones alone are left. Throws nothing.
  void clear() noexcept;

  /// The names declared in this table (not inline tokens), in the order of their first
  /// declaration.
  const std::vector<const ParamDecl *> &declaredNames() const { return declared_; }

  /// The standard declarations alone, shared by every table.
  static const Declarations &standard();

private:
  struct BuildStandard {};
  explicit Declarations(BuildStandard);

  const Declarations *base_; // the standard table; null for the standard table itself
  SymbolTable own_;
  std::vector<const ParamDecl *> declared_;
};

/// Length of the class and type words (with blanks and any bracketed size) at the start of a
/// token; 0 when there are none.
size_t inlineDeclLength(const char *token);
/// Why a declaration text cannot be written as a parameter's form ("names no type", "has an
/// array size out of range"), or null when it can; reports nothing.
const char *declarationProblem(const char *declaration);
/// True when two declarations give the same class, type and size.
bool sameDeclaration(const ParamDecl &a, const ParamDecl &b);

/// Bytes of one value of a declaration: array size times bytes per element.
int paramDataSize(const ParamDecl &decl);
/// "class type", then "[size]" when the size is above 1 or "[]" when it is negative. Writes at most
/// `capacity` bytes with the terminator; returns the full length.
int declarationText(const ParamDecl &decl, char *out, size_t capacity);

/// Builds the standard declarations and points the token variables of rib/ri.h at the interned
/// names, once per process and thread-safely (Declarations::standard()): a later call changes
/// nothing. Throws std::bad_alloc when memory runs out (a later call then tries again).
void predeclareParams();

} // namespace rib
