// The readers of the requests whose form (RequestForms.h) says how they are read: the keyword, the
// fixed arguments in the row's order and C types, and (for list rows) the parameter list. The
// others have readers of their own (RibOwnReaders.cpp, RibGeometryReaders.cpp).
#include "RequestForms.h"
#include "RibRequestRead.h"

namespace rib {
namespace {

const PrimitiveCounts kQuadricCounts = quadricCounts();

} // namespace

// Plain: the fixed arguments and nothing else.
#define RI_READ_Plain(Name, Parameters)                                                            \
  {#Name, [](RequestRead &read) {                                                                  \
     read.fixed<void Parameters>([&read](auto... values) { read.context().Name(values...); });     \
   }},
// Listed: the fixed arguments, then parameters of their declared sizes.
#define RI_READ_LIST(Name, Parameters, Counts)                                                     \
  {#Name, [](RequestRead &read) {                                                                  \
     read.listed<void Parameters>(Counts, [&read](auto... values) {                                \
       read.context().Name##V(values..., read.paramCount(), read.tokens(), read.values());         \
     });                                                                                           \
   }},
#define RI_READ_Listed(Name, Parameters) RI_READ_LIST(Name, Parameters, nullptr)
// Quadric: parameters sized as the writer sizes them, by the parametric corners.
#define RI_READ_Quadric(Name, Parameters) RI_READ_LIST(Name, Parameters, &kQuadricCounts)
#define RI_READ_Own(Name, Parameters)
#define RI_READ_None(Name, Parameters)

#define RI_READER(Written, Read, Name, Parameters) RI_READ_##Read(Name, Parameters)
#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  RIB_WITH_FORM(Name, RI_READER, Name, Parameters)
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  RIB_WITH_FORM(Name, RI_READER, Name, Parameters)

const RequestReader kTableReaders[] = {
#include "rib/RiRequests.def"
};

const size_t kTableReaderCount = sizeof kTableReaders / sizeof kTableReaders[0];

} // namespace rib
