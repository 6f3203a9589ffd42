// The RibWriter operations made from the request table (rib/RiRequests.def): every list-gathering
// form, and the writing bodies of the requests whose row says how they are written (Line, Named,
// Listed, Quadric, Unlisted). Requests with a body of their own (Own) are written in the file of
// their family.
#include "GatheredParams.h"
#include "PrimitiveCounts.h"
#include "RibWriter.h"

#define RI_UNPAREN(...) __VA_ARGS__
#define RI_FIRST(first, ...) first
#define RI_V_PARAMETERS(Parameters)                                                                \
  (RI_UNPAREN Parameters, RtInt n, RtToken tokens[], RtPointer values[])

namespace {

// Marks arguments that a body made from the table does not write (ReadArchive's callback, the
// parameter list of the texture-making requests).
template <class... Arguments> void unused(const Arguments &...) {}

} // namespace

// ---- List-gathering forms: gather the pairs, then the writing form through the virtual table ----

#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed, Body)                      \
  Result RibWriter::Name(RI_UNPAREN Parameters, ...) {                                             \
    RIB_GATHER_PARAMS(params, LastFixed, #Name);                                                   \
    return Name##V(RI_UNPAREN Arguments, params.count, params.tokens, params.values);              \
  }
#include "rib/RiRequests.def"

// ---- Writing bodies by kind ----

// Line: the keyword and the fixed arguments.
#define RI_BODY_Line(Name, Parameters, Arguments)                                                  \
  RtVoid RibWriter::Name Parameters {                                                              \
    encoder.writeRaw(#Name);                                                                       \
    encoder.writeArguments Arguments;                                                              \
    encoder.endLine();                                                                             \
  }
// Named: the keyword, the name (left out when null) and the parameter list.
#define RI_BODY_Named(Name, Parameters, Arguments)                                                 \
  RtVoid RibWriter::Name##V RI_V_PARAMETERS(Parameters) {                                          \
    unused Arguments;                                                                              \
    encoder.writeRaw(#Name);                                                                       \
    encoder.writeParamList(RI_FIRST Arguments, 0, n, tokens, values);                              \
  }
// Listed: the keyword, the fixed arguments and the parameter list (announced first: the arguments
// hold texts of any length).
#define RI_BODY_Listed(Name, Parameters, Arguments)                                                \
  RtVoid RibWriter::Name##V RI_V_PARAMETERS(Parameters) {                                          \
    encoder.expectParams(nullptr, n, tokens, values);                                              \
    encoder.writeRaw(#Name);                                                                       \
    encoder.writeArguments Arguments;                                                              \
    encoder.writeParamList(nullptr, 0, n, tokens, values);                                         \
  }
// Quadric: the fixed arguments, then parameters sized by the parametric corners (4 vertex and
// varying values, 1 uniform).
#define RI_BODY_Quadric(Name, Parameters, Arguments)                                               \
  RtVoid RibWriter::Name##V RI_V_PARAMETERS(Parameters) {                                          \
    encoder.writeRaw(#Name);                                                                       \
    encoder.writeArguments Arguments;                                                              \
    encoder.writePrimParamList(rib::quadricCounts(), n, tokens, values);                           \
  }
// Unlisted: the keyword and the fixed arguments; the parameter list is accepted, not written.
#define RI_BODY_Unlisted(Name, Parameters, Arguments)                                              \
  RtVoid RibWriter::Name##V RI_V_PARAMETERS(Parameters) {                                          \
    unused(n, tokens, values);                                                                     \
    encoder.writeRaw(#Name);                                                                       \
    encoder.writeArguments Arguments;                                                              \
    encoder.endLine();                                                                             \
  }
#define RI_BODY_Own(Name, Parameters, Arguments)

#define RI_REQUEST(Result, Name, Parameters, Arguments, Body)                                      \
  RI_BODY_##Body(Name, Parameters, Arguments)
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed, Body)                      \
  RI_BODY_##Body(Name, Parameters, Arguments)
#include "rib/RiRequests.def"
