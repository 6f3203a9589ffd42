// Declarations and findPrimVars: the parameters of a request sorted into the few primitive
// variables the previewer draws with.
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "Declarations.h"
#include "PrimVars.h"

namespace view {
namespace {

struct NamedClass {
  const char *word;
  VarClass storage;
};
const NamedClass kClasses[] = {
    {"constant", VarClass::Constant}, {"uniform", VarClass::Uniform},
    {"varying", VarClass::Varying},   {"vertex", VarClass::Vertex},
    {"facevarying", VarClass::FaceVarying}, {"facevertex", VarClass::FaceVarying},
};

struct NamedType {
  const char *word;
  int components;
  bool isFloat;
};
const NamedType kTypes[] = {
    {"float", 1, true},   {"point", 3, true},   {"vector", 3, true},   {"normal", 3, true},
    {"color", 3, true},   {"hpoint", 4, true},  {"matrix", 16, true},  {"mpoint", 16, true},
    {"integer", 1, false}, {"int", 1, false},   {"string", 1, false},
};

struct Standard {
  const char *name;
  const char *declaration;
};
const Standard kStandard[] = {
    {"P", "vertex point"},   {"Pw", "vertex hpoint"},   {"Pz", "vertex float"},
    {"N", "varying normal"}, {"Np", "uniform normal"},  {"Cs", "varying color"},
    {"Os", "varying color"}, {"width", "varying float"}, {"constantwidth", "constant float"},
    {"s", "varying float"},  {"t", "varying float"},    {"st", "varying float[2]"},
    // What the previewer reads of the standard shaders, and Projection's field of view.
    {"fov", "float"},        {"intensity", "float"},    {"lightcolor", "color"},
    {"from", "point"},       {"to", "point"},           {"coneangle", "float"},
    {"conedeltaangle", "float"}, {"beamdistribution", "float"},
    {"Ka", "float"},         {"Kd", "float"},           {"Ks", "float"},
    {"roughness", "float"},  {"specularcolor", "color"}, {"sense", "string"},
};

} // namespace

Declarations::Declarations() {
  for (const Standard &standard : kStandard) declare(standard.name, standard.declaration);
}

bool Declarations::parse(const char *declaration, ParamInfo &info) {
  std::istringstream words(declaration ? declaration : "");
  std::string word;
  info.storage = VarClass::Uniform;
  info.components = 0;
  bool typed = false;
  while (words >> word) {
    int count = 1;
    const size_t bracket = word.find('[');
    if (bracket != std::string::npos) {
      count = std::atoi(word.c_str() + bracket + 1);
      word.resize(bracket);
      if (count < 1) count = 1;
    }
    if (word.empty()) {
      if (typed) info.components *= count;
      continue;
    }
    bool known = false;
    for (const NamedClass &c : kClasses)
      if (word == c.word) info.storage = c.storage, known = true;
    for (const NamedType &t : kTypes)
      if (word == t.word) {
        info.components = t.components * count;
        info.isFloat = t.isFloat;
        typed = known = true;
      }
    if (!known) return false;
  }
  return typed;
}

bool Declarations::declare(const std::string &name, const char *declaration) {
  ParamInfo info;
  if (!parse(declaration, info)) return false;
  info.name = name;
  table_[name] = info;
  return true;
}

bool Declarations::find(const char *token, ParamInfo &info) const {
  if (!token) return false;
  // An inline declaration: the last word is the name, what comes before declares it.
  const char *space = std::strrchr(token, ' ');
  if (space) {
    const std::string declaration(token, space);
    if (!parse(declaration.c_str(), info)) return false;
    info.name = space + 1;
    return !info.name.empty();
  }
  const auto found = table_.find(token);
  if (found == table_.end()) return false;
  info = found->second;
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
      {"P", &PrimVars::P, 3},   {"Pw", &PrimVars::Pw, 4},         {"Pz", &PrimVars::Pz, 1},
      {"N", &PrimVars::N, 3},   {"Cs", &PrimVars::Cs, 3},         {"Os", &PrimVars::Os, 3},
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
