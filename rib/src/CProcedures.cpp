// The C procedures of the requests, made from the request table (rib/RiRequests.def): each
// forwards to the current context. Without one a procedure reports "RiBegin not called" naming
// itself, a severe error that ends the process. RiOption and RiOptionV are in OptionRequests.cpp.
//
// rib/ri.h declares the same procedures by hand, to read as documentation; the checks below hold
// each of its prototypes to its row, so the two cannot drift apart.
#include <cstdarg>
#include <type_traits>

#include "CurrentContext.h"
#include "GatheredParams.h"

namespace rib {

RiContext *contextFor(const char *procedure) {
  if (!RiCurrentContext) RiErrorPrint(RIE_NOTSTARTED, RIE_SEVERE, const_cast<char *>(procedure));
  return RiCurrentContext;
}

} // namespace rib

#define RI_UNPAREN(...) __VA_ARGS__

// ---- The prototypes of rib/ri.h against the table ----

#define RI_SAME_PROTOTYPE(Procedure, Result, Parameters)                                           \
  static_assert(std::is_same<decltype(&Procedure), Result(*) Parameters>::value,                   \
                "rib/ri.h declares " #Procedure " unlike its row in rib/RiRequests.def");
#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  RI_SAME_PROTOTYPE(Ri##Name, Result, Parameters)
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  RI_SAME_PROTOTYPE(Ri##Name, Result, (RI_UNPAREN Parameters, ...))                                \
  RI_SAME_PROTOTYPE(Ri##Name##V, Result, (RI_UNPAREN Parameters, RtInt, RtToken[], RtPointer[]))
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  RI_SAME_PROTOTYPE(Ri##Name, Result, (RI_UNPAREN Parameters, ...))                                \
  RI_SAME_PROTOTYPE(Ri##Name##V, Result, VParameters)
#include "rib/RiRequests.def"

// ---- The procedures ----

#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  extern "C" Result Ri##Name Parameters {                                                          \
    RiContext *context = rib::contextFor("Ri" #Name);                                              \
    if (!context) return static_cast<Result>(0);                                                   \
    return context->Name Arguments;                                                                \
  }
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  extern "C" Result Ri##Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[],                  \
                                RtPointer values[]) {                                              \
    RiContext *context = rib::contextFor("Ri" #Name "V");                                          \
    if (!context) return static_cast<Result>(0);                                                   \
    return context->Name##V(RI_UNPAREN Arguments, n, tokens, values);                              \
  }                                                                                                \
  extern "C" Result Ri##Name(RI_UNPAREN Parameters, ...) {                                         \
    RiContext *context = rib::contextFor("Ri" #Name);                                              \
    if (!context) return static_cast<Result>(0);                                                   \
    RIB_GATHER_PARAMS(params, LastFixed, "Ri" #Name);                                              \
    return context->Name##V(RI_UNPAREN Arguments, params.count, params.tokens, params.values);     \
  }
#define RI_SPECIAL_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  extern "C" Result Ri##Name##V VParameters {                                                      \
    RiContext *context = rib::contextFor("Ri" #Name "V");                                          \
    if (!context) return static_cast<Result>(0);                                                   \
    return context->Name##V VArguments;                                                            \
  }
#include "rib/RiRequests.def"

extern "C" RtVoid RiMotionBegin(RtInt n, ...) {
  RiContext *context = rib::contextFor("RiMotionBegin");
  if (!context) return;
  va_list arguments;
  va_start(arguments, n);
  rib::GatheredTimes times(n, arguments, "RiMotionBegin");
  va_end(arguments);
  if (!times.lost()) context->MotionBeginV(times.count(), times.times());
}

extern "C" RtVoid RiArchiveRecord(RtToken type, char *format, ...) {
  RiContext *context = rib::contextFor("RiArchiveRecord");
  if (!context) return;
  va_list arguments;
  va_start(arguments, format);
  context->ArchiveRecordV(type, format, arguments);
  va_end(arguments);
}

extern "C" RtVoid RiEnd(void) {
  RiContext *context = rib::contextFor("RiEnd");
  RiCurrentContext = nullptr;
  delete context;
}

extern "C" RtContextHandle RiGetContext(void) { return RiCurrentContext; }
