// The RibWriter operations made from the request table (rib/RiRequests.def): every list-gathering
// form, and the writing bodies of the requests whose form (RequestForms.h) says how they are
// written (Line, Named, Listed, Quadric). Requests with a body of their own (Own) are
// written in the file of their family.
#include "Diagnostics.h"
#include "GatheredParams.h"
#include "PrimitiveCounts.h"
#include "RequestForms.h"
#include "RibWriter.h"

#define RI_UNPAREN(...) __VA_ARGS__
#define RI_FIRST(first, ...) first
#define RI_FIRST_TEXT(first, ...) #first
#define RI_V_PARAMETERS(Parameters)                                                                \
  (RI_UNPAREN Parameters, RtInt n, RtToken tokens[], RtPointer values[])

namespace {

// Marks arguments that a body made from the table does not write (ReadArchive's callback).
template <class... Arguments> void unused(const Arguments &...) {}

// +1 for a request that opens a block (FrameBegin, ..., MotionBegin: its name ends in "Begin"),
// -1 for one that closes a block (its name ends in "End"), 0 for any other.
constexpr int blockStep(const char *name) {
  size_t length = 0;
  while (name[length] != '\0') ++length;
  auto endsWith = [&](const char *suffix, size_t n) {
    if (length < n) return false;
    for (size_t i = 0; i < n; ++i)
      if (name[length - n + i] != suffix[i]) return false;
    return true;
  };
  return endsWith("Begin", 5) ? 1 : endsWith("End", 3) ? -1 : 0;
}

// Else and ElseIf end one branch of a condition and open the next, at the IfBegin's depth.
constexpr bool isBranch(const char *name) {
  return name[0] == 'E' && name[1] == 'l' && name[2] == 's' && name[3] == 'e';
}

} // namespace

// ---- List-gathering forms: gather the pairs, then the writing form through the virtual table ----

#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  Result rib::RibWriter::Name(RI_UNPAREN Parameters, ...) {                                        \
    RIB_GATHER_PARAMS(params, LastFixed, #Name);                                                   \
    return Name##V(RI_UNPAREN Arguments, params.count, params.tokens, params.values);              \
  }
#include "rib/RiRequests.def"

// ---- Writing bodies by kind ----

// Line: the keyword and the fixed arguments. The block requests among them (FrameBegin, ...,
// SolidEnd) raise and lower the encoder's block level, which indents what lies inside.
#define RI_BODY_Line(Name, Parameters, Arguments)                                                  \
  RtVoid rib::RibWriter::Name Parameters {                                                         \
    if constexpr (blockStep(#Name) < 0 || isBranch(#Name)) encoder.closeBlock();                   \
    encoder.writeKeyword(#Name);                                                                   \
    encoder.writeArguments Arguments;                                                              \
    encoder.endLine();                                                                             \
    if constexpr (blockStep(#Name) > 0 || isBranch(#Name)) encoder.openBlock();                    \
  }
// Named: the keyword, the name and the parameter list. Without its name the request has no RIB
// form: it is left out.
#define RI_BODY_Named(Name, Parameters, Arguments)                                                 \
  RtVoid rib::RibWriter::Name##V RI_V_PARAMETERS(Parameters) {                                     \
    unused Arguments;                                                                              \
    if (!(RI_FIRST Arguments)) {                                                                   \
      rib::reportError(RIE_MISSINGDATA, "Ri" #Name " without a " RI_FIRST_TEXT Arguments           \
                                        "; the request is left out");                              \
      return;                                                                                      \
    }                                                                                              \
    encoder.writeKeyword(#Name);                                                                   \
    encoder.writeParamList(RI_FIRST Arguments, 0, n, tokens, values);                              \
  }
// Listed: the keyword, the fixed arguments and the parameter list (announced first: the arguments
// hold texts of any length).
#define RI_BODY_Listed(Name, Parameters, Arguments)                                                \
  RtVoid rib::RibWriter::Name##V RI_V_PARAMETERS(Parameters) {                                     \
    encoder.expectParams(nullptr, n, tokens, values);                                              \
    encoder.writeKeyword(#Name);                                                                   \
    encoder.writeArguments Arguments;                                                              \
    encoder.writeParamList(nullptr, 0, n, tokens, values);                                         \
  }
// Quadric: the fixed arguments, then parameters sized by the parametric corners (4 vertex and
// varying values, 1 uniform).
#define RI_BODY_Quadric(Name, Parameters, Arguments)                                               \
  RtVoid rib::RibWriter::Name##V RI_V_PARAMETERS(Parameters) {                                     \
    encoder.writeKeyword(#Name);                                                                   \
    encoder.writeArguments Arguments;                                                              \
    encoder.writePrimParamList(rib::quadricCounts(), n, tokens, values);                           \
  }
#define RI_BODY_Own(Name, Parameters, Arguments)

#define RI_BODY(Written, Read, Name, Parameters, Arguments)                                        \
  RI_BODY_##Written(Name, Parameters, Arguments)
#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  RIB_WITH_FORM(Name, RI_BODY, Name, Parameters, Arguments)
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  RIB_WITH_FORM(Name, RI_BODY, Name, Parameters, Arguments)
#include "rib/RiRequests.def"
