// The C procedures of the requests: each forwards to the current context, built from the table in
// rib/RiRequests.def. Without a current context a procedure reports "RiBegin not called" naming
// itself, a severe error that ends the process. RiOption and RiOptionV are in OptionRequests.cpp.
#include <cstdarg>

#include "rib/CurrentContext.h"
#include "rib/GatheredParams.h"

RiContext *contextFor(const char *procedure) {
  if (!RiCurrentContext) RiErrorPrint(RIE_NOTSTARTED, RIE_SEVERE, const_cast<char *>(procedure));
  return RiCurrentContext;
}

#define RI_UNPAREN(...) __VA_ARGS__

#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  extern "C" Result Ri##Name Parameters {                                                          \
    RiContext *context = contextFor("Ri" #Name);                                                   \
    if (!context) return static_cast<Result>(0);                                                   \
    return context->Name Arguments;                                                                \
  }

#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  extern "C" Result Ri##Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[],                  \
                                RtPointer values[]) {                                              \
    RiContext *context = contextFor("Ri" #Name "V");                                               \
    if (!context) return static_cast<Result>(0);                                                   \
    return context->Name##V(RI_UNPAREN Arguments, n, tokens, values);                              \
  }                                                                                                \
  extern "C" Result Ri##Name(RI_UNPAREN Parameters, ...) {                                         \
    RiContext *context = contextFor("Ri" #Name);                                                   \
    if (!context) return static_cast<Result>(0);                                                   \
    RIB_GATHER_PARAMS(params, LastFixed, "Ri" #Name);                                              \
    return context->Name##V(RI_UNPAREN Arguments, params.count, params.tokens, params.values);     \
  }

#include "rib/RiRequests.def"

extern "C" RtVoid RiMotionBegin(RtInt n, ...) {
  RiContext *context = contextFor("RiMotionBegin");
  if (!context) return;
  va_list arguments;
  va_start(arguments, n);
  GatheredTimes times(n, arguments);
  va_end(arguments);
  context->MotionBeginV(times.count(), times.times());
}

extern "C" RtVoid RiArchiveRecord(RtToken type, char *format, ...) {
  RiContext *context = contextFor("RiArchiveRecord");
  if (!context) return;
  va_list arguments;
  va_start(arguments, format);
  context->ArchiveRecordV(type, format, arguments);
  va_end(arguments);
}

extern "C" RtVoid RiEnd(void) {
  RiContext *context = contextFor("RiEnd");
  RiCurrentContext = nullptr;
  delete context;
}

extern "C" RtContextHandle RiGetContext(void) { return RiCurrentContext; }
