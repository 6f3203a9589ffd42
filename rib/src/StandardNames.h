// StandardNames.h - the standard objects of the C interface that RIB and Python name by word:
// reconstruction filters, spline bases (with their usual steps), procedural kinds and error
// handlers. One table each, read both ways: the writer finds a name by the object's address
// (a caller's own filter or a copy of a matrix has none), the reader and Python find the object
// by its name.
//
//     const char *word = filterName(RiGaussianFilter);               // "gaussian"
//     const StandardBasis *basis = findBasis("b-spline");            // &RiBSplineBasis, step 1
//     std::string names = nameList(kStandardFilters, " or ");        // "gaussian, ..., or sinc"
#pragma once

#include <cstddef>
#include <string>

#include "rib/ri.h"

namespace rib {

struct StandardFilter {
  const char *name;
  RtFilterFunc filter;
};

struct StandardBasis {
  const char *name;
  RtBasis *matrix;
  int step; // the step that moves a patch mesh on by one patch with this basis
};

struct StandardProcedural {
  const char *name;
  RtProcSubdivFunc subdivide;
  int texts; // the data texts it reads: DelayedReadArchive one, the others two
};

struct StandardErrorHandler {
  const char *name;
  RtErrorHandler handler;
};

/// One table of standard names: rows with a `name`.
template <class Row> struct NameTable {
  const Row *rows;
  size_t count;

  const Row *begin() const { return rows; }
  const Row *end() const { return rows + count; }
  /// The row of `name` (exact spelling), or null; a null name has none.
  const Row *find(const char *name) const;
};

extern const NameTable<StandardFilter> kStandardFilters;
extern const NameTable<StandardBasis> kStandardBases;
extern const NameTable<StandardProcedural> kStandardProcedurals;
extern const NameTable<StandardErrorHandler> kStandardErrorHandlers;

inline const StandardFilter *findFilter(const char *name) { return kStandardFilters.find(name); }
inline const StandardBasis *findBasis(const char *name) { return kStandardBases.find(name); }
inline const StandardProcedural *findProcedural(const char *name) {
  return kStandardProcedurals.find(name);
}
inline const StandardErrorHandler *findErrorHandler(const char *name) {
  return kStandardErrorHandlers.find(name);
}

/// The RIB name of a standard filter; "" for any other function (written as empty quotes).
const char *filterName(RtFilterFunc filter);
/// The standard basis that `matrix` is (by address), or null for any other matrix.
const StandardBasis *basisOf(const RtBasis matrix);
/// The procedural kind of a subdivide function, or null for any other function.
const StandardProcedural *proceduralOf(RtProcSubdivFunc subdivide);
/// The RIB name of a standard error handler, or null for any other function.
const char *errorHandlerName(RtErrorHandler handler);

/// The table's names for messages: "a, b, c" with `beforeLast` before the last ("a, b or c").
template <class Row> std::string nameList(const NameTable<Row> &table, const char *beforeLast) {
  std::string list;
  for (size_t i = 0; i < table.count; ++i) {
    if (i > 0) list += i + 1 == table.count ? beforeLast : ", ";
    list += table.rows[i].name;
  }
  return list;
}

} // namespace rib
