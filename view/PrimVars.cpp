// Declarations and findPrimVars: the parameters of a request sorted into the few primitive
// variables the previewer draws with.
#include "Declarations.h"
#include "ParamDecl.h"
#include "PrimVars.h"

namespace view {
namespace {

VarClass storageOf(uint8_t paramClass) {
  switch (paramClass) {
  case rib::kClassConstant: return VarClass::Constant;
  case rib::kClassVarying: return VarClass::Varying;
  case rib::kClassVertex: return VarClass::Vertex;
  case rib::kClassFaceVarying:
  case rib::kClassFaceVertex: return VarClass::FaceVarying;
  default: return VarClass::Uniform;
  }
}

} // namespace

Declarations::Declarations() : table_(new rib::Declarations) {}
Declarations::~Declarations() = default;

bool Declarations::declare(const std::string &name, const char *declaration) {
  // A declaration that names no type is refused here rather than recorded without one.
  rib::Declarations scratch;
  const rib::ParamDecl *decl = scratch.find(scratch.declare(name.c_str(), declaration));
  if (!decl || decl->type == rib::kTypeUnknown) return false;
  table_->declare(name.c_str(), declaration);
  return true;
}

bool Declarations::find(const char *token, ParamInfo &info) const {
  const rib::ParamDecl *decl = token ? table_->lookup(token) : nullptr;
  if (!decl || decl->type == rib::kTypeUnknown || !decl->name || !*decl->name) return false;
  const rib::ParamTypeInfo &type = rib::paramTypeInfo(decl->type);
  info.name = decl->name;
  info.storage = storageOf(decl->paramClass);
  info.components = type.components * (decl->arraySize > 1 ? decl->arraySize : 1);
  info.isFloat = type.kind == rib::ValueKind::Float;
  return true;
}

PrimVars findPrimVars(RtInt n, const RtToken tokens[], const RtPointer values[],
                      const Declarations &declarations) {
  struct Wanted {
    const char *name;
    PrimVar PrimVars::*var;
    int components;
  };
  static const Wanted kWanted[] = {
      {"P", &PrimVars::P, 3},         {"Pw", &PrimVars::Pw, 4},
      {"Pz", &PrimVars::Pz, 1},       {"N", &PrimVars::N, 3},
      {"Cs", &PrimVars::Cs, 3},       {"Os", &PrimVars::Os, 3},
      {"width", &PrimVars::width, 1}, {"constantwidth", &PrimVars::constantwidth, 1},
  };
  PrimVars vars;
  for (RtInt i = 0; i < n; ++i) {
    ParamInfo info;
    if (!values || !values[i] || !declarations.find(tokens[i], info) || !info.isFloat) continue;
    for (const Wanted &wanted : kWanted) {
      // A variable of another size than the standard one (a "float Cs") cannot be drawn with.
      if (info.name != wanted.name || info.components != wanted.components) continue;
      PrimVar &var = vars.*wanted.var;
      var.storage = info.storage;
      var.values = static_cast<const float *>(values[i]);
      var.components = info.components;
    }
  }
  return vars;
}

} // namespace view
