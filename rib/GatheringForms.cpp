// RibWriter's list-gathering forms (Sphere, Surface, ...): each gathers its token/value pairs and
// calls its writing form through the virtual table, built from the table in rib/RiRequests.def.
// MotionBegin, whose variadic part holds sample times, is in BlockRequests.cpp.
#include "rib/GatheredParams.h"
#include "rib/RibWriter.h"

#define RI_UNPAREN(...) __VA_ARGS__

#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  Result RibWriter::Name(RI_UNPAREN Parameters, ...) {                                             \
    RIB_GATHER_PARAMS(params, LastFixed, #Name);                                                   \
    return Name##V(RI_UNPAREN Arguments, params.count, params.tokens, params.values);              \
  }
#define RI_SPECIAL_LIST_REQUEST RI_LIST_REQUEST

#include "rib/RiRequests.def"
