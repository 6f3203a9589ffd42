// The Declare request, the token variables of rib/ri.h and the predeclared parameters.
#include <new>

#include "Diagnostics.h"
#include "InternString.h"
#include "ParamDecl.h"
#include "RibWriter.h"

namespace rib {
int32_t gEchoDeclares = 0;
} // namespace rib

// Each token variable starts at its literal name and is re-pointed at the interned copy when a
// context begins.
#define RI_DECLARED_TOKEN(variable, name, declaration) RtToken variable = const_cast<char *>(name);
#define RI_INTERNED_TOKEN(variable, name) RtToken variable = const_cast<char *>(name);
#include "rib/RiTokens.def"

namespace {

// Records the declaration of `name` (a name without one is only interned) and returns its token;
// throws std::bad_alloc when there is no memory to store it.
RtToken declare(const char *name, const char *declaration) {
  if (!name) return nullptr;
  if (declaration && *declaration)
    return const_cast<RtToken>(
        rib::parseDeclaration(rib::gDeclTable, name, declaration, nullptr, false));
  return rib::internString(name);
}

} // namespace

RtToken rib::RibWriter::Declare(char *name, char *declaration) {
  // A Declare without both texts has no RIB form that reads back: it is not written. A name
  // alone is still interned, and its token returned, as before.
  if (!name) {
    rib::reportError(RIE_MISSINGDATA, "RiDeclare without a name; the request is left out");
    return nullptr;
  }
  if (!declaration) {
    rib::reportError(RIE_MISSINGDATA,
                     "RiDeclare of \"%s\" without a declaration; the request is left out", name);
    try {
      return rib::internString(name);
    } catch (const std::bad_alloc &) {
      return nullptr;
    }
  }
  // Stored before it is written: a declaration that cannot be stored is left out whole.
  RtToken token = nullptr;
  try {
    token = declare(name, declaration);
  } catch (const std::bad_alloc &) {
    rib::reportError(RIE_NOMEM, "RiDeclare: out of memory; the request is left out");
    return nullptr;
  }
  if (rib::gEchoDeclares == 1) {
    encoder.writeKeyword("Declare");
    encoder.writeArguments(name, declaration);
    encoder.endLine();
  }
  return token;
}

namespace rib {

void predeclareParams() {
  // Declarations are process-wide: a later context must not overwrite what a program declared
  // for the contexts that exist already, so the standard set is stored by the first one only.
  static bool done = false;
  if (done) return;
#define RI_DECLARED_TOKEN(variable, name, declaration) variable = declare(name, declaration);
#include "rib/RiTokens.def"
#define RI_INTERNED_TOKEN(variable, name) variable = internString(name);
#include "rib/RiTokens.def"
  done = true;
}

} // namespace rib
