// Declarations.h - what the previewer knows of the parameters a stream names: the standard
// declarations, what Declare said (in this context only), and inline declarations written in
// front of a token ("varying color Cs"). The declarations are the library's own (the same grammar
// and standard names the reader checks a stream with), seen as the sizes the tessellators need.
//
//     view::Declarations declarations;
//     declarations.declare("Cd", "varying color");
//     view::ParamInfo info;
//     declarations.find("uniform float width", info);   // info.name == "width", one float each
#pragma once

#include <memory>
#include <string>

#include "PrimVars.h"

namespace rib {
class Declarations;
}

namespace view {

struct ParamInfo {
  std::string name; // the bare name
  VarClass storage = VarClass::Uniform;
  int components = 0;  // floats (or other values) per element: type size times array size
  bool isFloat = true; // false: strings and integers
};

class Declarations {
public:
  Declarations();
  ~Declarations();
  /// Records `declaration` ("[class] type [[n]]") for `name`; false when it names no known type.
  bool declare(const std::string &name, const char *declaration);
  /// The declaration of a token: inline, else declared, else standard. False when unknown.
  bool find(const char *token, ParamInfo &info) const;

private:
  // Looking an inline token up records it in the table, which changes nothing a caller sees.
  std::unique_ptr<rib::Declarations> table_;
};

} // namespace view
