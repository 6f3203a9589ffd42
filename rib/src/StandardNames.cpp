// The tables of StandardNames.h: every standard name of the interface is spelled here and nowhere
// else.
#include "StandardNames.h"

#include <cstring>
#include <iterator>

namespace rib {
namespace {

const StandardFilter kFilters[] = {
    {"gaussian", RiGaussianFilter}, {"box", RiBoxFilter},
    {"triangle", RiTriangleFilter}, {"catmull-rom", RiCatmullRomFilter},
    {"sinc", RiSincFilter},         {"bessel", RiBesselFilter},
    {"disk", RiDiskFilter},         {"mitchell", RiMitchellFilter},
};

const StandardBasis kBases[] = {
    {"bezier", &RiBezierBasis, 3},
    {"b-spline", &RiBSplineBasis, 1},
    {"catmull-rom", &RiCatmullRomBasis, 1},
    {"hermite", &RiHermiteBasis, 2},
    {"power", &RiPowerBasis, 4},
};

const StandardProcedural kProcedurals[] = {
    {"DelayedReadArchive", RiProcDelayedReadArchive, 1},
    {"RunProgram", RiProcRunProgram, 2},
    {"DynamicLoad", RiProcDynamicLoad, 2},
};

const StandardErrorHandler kErrorHandlers[] = {
    {"ignore", RiErrorIgnore},
    {"print", RiErrorPrint},
    {"abort", RiErrorAbort},
};

} // namespace

template <class Row> const Row *NameTable<Row>::find(const char *name) const {
  if (!name) return nullptr;
  for (const Row &row : *this)
    if (std::strcmp(row.name, name) == 0) return &row;
  return nullptr;
}

template struct NameTable<StandardFilter>;
template struct NameTable<StandardBasis>;
template struct NameTable<StandardProcedural>;
template struct NameTable<StandardErrorHandler>;

const NameTable<StandardFilter> kStandardFilters = {kFilters, std::size(kFilters)};
const NameTable<StandardBasis> kStandardBases = {kBases, std::size(kBases)};
const NameTable<StandardProcedural> kStandardProcedurals = {kProcedurals, std::size(kProcedurals)};
const NameTable<StandardErrorHandler> kStandardErrorHandlers = {kErrorHandlers,
                                                                std::size(kErrorHandlers)};

const char *filterName(RtFilterFunc filter) {
  for (const StandardFilter &row : kFilters)
    if (row.filter == filter) return row.name;
  return "";
}

const StandardBasis *basisOf(const RtBasis matrix) {
  for (const StandardBasis &row : kBases)
    if (*row.matrix == matrix) return &row;
  return nullptr;
}

const StandardProcedural *proceduralOf(RtProcSubdivFunc subdivide) {
  for (const StandardProcedural &row : kProcedurals)
    if (row.subdivide == subdivide) return &row;
  return nullptr;
}

const char *errorHandlerName(RtErrorHandler handler) {
  for (const StandardErrorHandler &row : kErrorHandlers)
    if (row.handler == handler) return row.name;
  return nullptr;
}

} // namespace rib
