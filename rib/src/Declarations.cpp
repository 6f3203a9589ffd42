// The Declare request, the token variables of rib/ri.h and the standard declarations.
#include <memory>
#include <new>

#include "Diagnostics.h"
#include "InternString.h"
#include "ParamDecl.h"
#include "RibWriter.h"

// Each token variable starts at its literal name and is re-pointed at the interned copy when the
// standard declarations are built (before the first context begins).
#define RI_DECLARED_TOKEN(variable, name, declaration) RtToken variable = const_cast<char *>(name);
#define RI_INTERNED_TOKEN(variable, name) RtToken variable = const_cast<char *>(name);
#include "rib/RiTokens.def"

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
  // Stored before it is written: a declaration that cannot be stored is left out whole. It
  // changes this context's declarations only.
  RtToken token = nullptr;
  try {
    token = const_cast<RtToken>(*declaration ? declarations.declare(name, declaration)
                                             : rib::internString(name));
  } catch (const std::bad_alloc &) {
    rib::reportError(RIE_NOMEM, "RiDeclare: out of memory; the request is left out");
    return nullptr;
  }
  if (echoDeclares) {
    encoder.writeKeyword("Declare");
    encoder.writeArguments(name, declaration);
    encoder.endLine();
  }
  return token;
}

namespace rib {

const Declarations &Declarations::standard() {
  // Built by the first table of the process, once, whichever thread gets there first; the
  // token variables are pointed at the interned names in the same step. Kept until exit.
  static const Declarations *const table = [] {
    std::unique_ptr<Declarations> made(new Declarations(BuildStandard{}));
#define RI_DECLARED_TOKEN(variable, name, declaration)                                             \
  variable = const_cast<RtToken>(made->declare(name, declaration));
#include "rib/RiTokens.def"
#define RI_INTERNED_TOKEN(variable, name) variable = internString(name);
#include "rib/RiTokens.def"
    return made.release();
  }();
  return *table;
}

void predeclareParams() { (void)Declarations::standard(); }

} // namespace rib
