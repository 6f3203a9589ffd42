// RiContext.h - the C++ request interface of the RIB output library.
//
// Every RenderMan request is an operation of RiContext. A request with a parameter list has two
// forms: the list-gathering form (`Sphere(radius, zmin, zmax, thetamax, token, value, ...,
// RI_NULL)`) gathers up to 512 token/value pairs and calls the writing form through the virtual
// table
// (`SphereV(radius, zmin, zmax, thetamax, n, tokens, values)`). The library's own
// implementation writes RIB; RiBegin and RiNewContext (rib/ri.h) make one. rib::ForwardingContext
// (rib/RibRead.h) passes every operation on to another context, for filters.
//
//     RiContext *rib = static_cast<RiContext *>(RiNewContext(nullptr));   // standard output
//     rib->WorldBegin();
//     rib->Sphere(1, -1, 1, 360, RI_NULL);
//     rib->WorldEnd();
//     delete rib;                                                         // ends the output
//
// The operations come from the request table rib/RiRequests.def, one row per request, in the
// order of its rows: that order is part of the interface, since programs built against one version
// of this header call through the same virtual table slots. There are 137 operations: the
// destructor first, ErrorHandler last.
#pragma once

#include <cstdarg>

#include "rib/ri.h"

#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

class RiContext {
public:
  virtual ~RiContext() {}

#define RI_UNPAREN(...) __VA_ARGS__
#define RI_REQUEST(Result, Name, Parameters, Arguments) virtual Result Name Parameters = 0;
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  virtual Result Name(RI_UNPAREN Parameters, ...) = 0;                                             \
  virtual Result Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
#define RI_LIST_REQUEST_V_FIRST(Result, Name, Parameters, Arguments, LastFixed)                    \
  virtual Result Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[],                         \
                         RtPointer values[]) = 0;                                                  \
  virtual Result Name(RI_UNPAREN Parameters, ...) = 0;
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  virtual Result Name(RI_UNPAREN Parameters, ...) = 0;                                             \
  virtual Result Name##V VParameters = 0;
#include "rib/RiRequests.def"
#undef RI_UNPAREN
};

/// The context that the C procedures use; set by RiBegin, null before it.
extern RiContext *RiCurrentContext;

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
