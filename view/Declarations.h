// Declarations.h - what the previewer knows of the parameters a stream names: the standard
// primitive variables, what Declare said (in this context only), and inline declarations written
// in front of a token ("varying color Cs").
//
//     view::Declarations declarations;
//     declarations.declare("Cd", "varying color");
//     view::ParamInfo info;
//     declarations.find("uniform float width", info);   // info.name == "width", one float each
#pragma once

#include <string>
#include <unordered_map>

#include "PrimVars.h"

namespace view {

struct ParamInfo {
  std::string name;     // the bare name
  VarClass storage = VarClass::Uniform;
  int components = 0;   // floats (or other values) per element: type size times array size
  bool isFloat = true;  // false: strings and integers
};

class Declarations {
public:
  Declarations();
  /// Records `declaration` ("[class] type [[n]]") for `name`; false when it cannot be read.
  bool declare(const std::string &name, const char *declaration);
  /// The declaration of a token: inline, else declared, else standard. False when unknown.
  bool find(const char *token, ParamInfo &info) const;

  /// Parses "[class] type [[n]]"; false when it names no known type.
  static bool parse(const char *declaration, ParamInfo &info);

private:
  std::unordered_map<std::string, ParamInfo> table_;
};

} // namespace view
