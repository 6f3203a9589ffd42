// RequestDefaults.h - every request of the interface as an operation that does nothing, for the
// previewer's state to derive from: the operations it defines hide these, the rest (texture
// making, display options, ...) do not change what a picture shows.
#pragma once

#include "rib/ri.h"

namespace view {

template <class T> T nothing() { return T(); }

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#endif

struct RequestDefaults {
#define RI_UNPAREN(...) __VA_ARGS__
#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  Result Name Parameters { return nothing<Result>(); }
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  Result Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[], RtPointer values[]) {           \
    return nothing<Result>();                                                                      \
  }
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  Result Name##V VParameters { return nothing<Result>(); }
#include "rib/RiRequests.def"
#undef RI_UNPAREN
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

} // namespace view
