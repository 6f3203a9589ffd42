// The Declare request, the token variables of rib/ri.h and the predeclared parameters.
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

RtToken RibWriter::Declare(char *name, char *declaration) {
  if (rib::gEchoDeclares == 1) {
    encoder.writeRaw("Declare");
    encoder.writeArguments(name, declaration);
    encoder.endLine();
  }
  if (!name) return nullptr;
  if (declaration && *declaration)
    return const_cast<RtToken>(
        rib::parseDeclaration(rib::gDeclTable, name, declaration, nullptr, false));
  return rib::internString(name);
}

namespace rib {

void predeclareParams(RiContext &context) {
  int32_t savedEcho = gEchoDeclares;
  gEchoDeclares = 0;
#define RI_DECLARED_TOKEN(variable, name, declaration)                                             \
  variable = context.Declare(const_cast<char *>(name), const_cast<char *>(declaration));
#include "rib/RiTokens.def"
#define RI_INTERNED_TOKEN(variable, name) variable = internString(name);
#include "rib/RiTokens.def"
  gEchoDeclares = savedEcho;
}

} // namespace rib
