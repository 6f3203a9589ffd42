#include "Names.h"

#include <cstring>

namespace ribpy {
namespace {

template <class T> struct Named {
  const char *name;
  T value;
};

template <class T, size_t N> T lookup(const Named<T> (&table)[N], const char *name) {
  for (const Named<T> &row : table)
    if (std::strcmp(row.name, name) == 0) return row.value;
  return nullptr;
}

const Named<RtFilterFunc> kFilters[] = {
    {"gaussian", RiGaussianFilter},      {"box", RiBoxFilter},   {"triangle", RiTriangleFilter},
    {"catmull-rom", RiCatmullRomFilter}, {"sinc", RiSincFilter},
};

const Named<RtBasis *> kBases[] = {
    {"bezier", &RiBezierBasis},
    {"b-spline", &RiBSplineBasis},
    {"catmull-rom", &RiCatmullRomBasis},
    {"hermite", &RiHermiteBasis},
    {"power", &RiPowerBasis},
};

const Named<RtErrorHandler> kErrorHandlers[] = {
    {"ignore", RiErrorIgnore}, {"print", RiErrorPrint}, {"abort", RiErrorAbort}};

const ProceduralKind kProcedurals[] = {
    {"DelayedReadArchive", RiProcDelayedReadArchive, 1},
    {"RunProgram", RiProcRunProgram, 2},
    {"DynamicLoad", RiProcDynamicLoad, 2},
};

} // namespace

const char *const kFilterNames = "gaussian, box, triangle, catmull-rom or sinc";
const char *const kBasisNames = "bezier, b-spline, catmull-rom, hermite or power";
const char *const kErrorHandlerNames = "ignore, print or abort";
const char *const kProceduralNames = "DelayedReadArchive, RunProgram or DynamicLoad";

RtFilterFunc filterNamed(const char *name) { return lookup(kFilters, name); }
RtBasis *basisNamed(const char *name) { return lookup(kBases, name); }
RtErrorHandler errorHandlerNamed(const char *name) { return lookup(kErrorHandlers, name); }

const ProceduralKind *proceduralNamed(const char *name) {
  for (const ProceduralKind &kind : kProcedurals)
    if (std::strcmp(kind.name, name) == 0) return &kind;
  return nullptr;
}

} // namespace ribpy
