// ForwardingContext: every operation of the request table made on the target context. The
// list-gathering forms gather their pairs and call this object's writing form, so that a filter
// that overrides the writing form sees the request whichever form the caller used.
#include "GatheredParams.h"
#include "rib/RibRead.h"

#define RI_UNPAREN(...) __VA_ARGS__

namespace rib {

ForwardingContext::~ForwardingContext() {}

#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  Result ForwardingContext::Name Parameters { return target_->Name Arguments; }
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  Result ForwardingContext::Name(RI_UNPAREN Parameters, ...) {                                     \
    RIB_GATHER_PARAMS(params, LastFixed, #Name);                                                   \
    return Name##V(RI_UNPAREN Arguments, params.count, params.tokens, params.values);              \
  }                                                                                                \
  Result ForwardingContext::Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[],              \
                                    RtPointer values[]) {                                          \
    return target_->Name##V(RI_UNPAREN Arguments, n, tokens, values);                              \
  }
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  Result ForwardingContext::Name##V VParameters { return target_->Name##V VArguments; }
#include "rib/RiRequests.def"

RtVoid ForwardingContext::MotionBegin(RtInt n, ...) {
  va_list arguments;
  va_start(arguments, n);
  GatheredTimes times(n, arguments, "RiMotionBegin");
  va_end(arguments);
  if (!times.lost()) MotionBeginV(times.count(), times.times());
}

RtVoid ForwardingContext::ArchiveRecord(RtToken type, char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ArchiveRecordV(type, format, arguments);
  va_end(arguments);
}

} // namespace rib
