// The readers of the requests whose RIB form their row in rib/RiRequests.def gives: the keyword,
// the fixed arguments in the row's order and C types, and (for list rows) the parameter list.
// Rows with a body of their own have a RIB form of their own too (RibOwnReaders.cpp,
// RibGeometryReaders.cpp).
#include "RibRequestRead.h"

namespace rib {
namespace {

const PrimitiveCounts kQuadricCounts = quadricCounts();

} // namespace

// Line: the fixed arguments and nothing else.
#define RI_READ_Line(Name, Parameters)                                                             \
  {#Name, [](RequestRead &read) {                                                                  \
     read.fixed<void Parameters>([&read](auto... values) { read.context().Name(values...); });     \
   }},
// Named and Listed: the fixed arguments, then parameters of their declared sizes.
#define RI_READ_LIST(Name, Parameters, Counts)                                                     \
  {#Name, [](RequestRead &read) {                                                                  \
     read.listed<void Parameters>(Counts, [&read](auto... values) {                                \
       read.context().Name##V(values..., read.paramCount(), read.tokens(), read.values());         \
     });                                                                                           \
   }},
#define RI_READ_Named(Name, Parameters) RI_READ_LIST(Name, Parameters, nullptr)
#define RI_READ_Listed(Name, Parameters) RI_READ_LIST(Name, Parameters, nullptr)
// Quadric: parameters sized as the writer sizes them, by the parametric corners.
#define RI_READ_Quadric(Name, Parameters) RI_READ_LIST(Name, Parameters, &kQuadricCounts)
#define RI_READ_Own(Name, Parameters)

#define RI_REQUEST(Result, Name, Parameters, Arguments, Body) RI_READ_##Body(Name, Parameters)
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed, Body)                      \
  RI_READ_##Body(Name, Parameters)

const RequestReader kTableReaders[] = {
#include "rib/RiRequests.def"
};

const size_t kTableReaderCount = sizeof kTableReaders / sizeof kTableReaders[0];

} // namespace rib
