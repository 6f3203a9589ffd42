// Names.h - what Python passes by name where the interface passes a function or a matrix: the
// reconstruction filters, the spline bases, the error handlers and the procedural kinds, as the
// library's table of standard names (StandardNames.h) spells them.
//
//     RtFilterFunc filter = filterNamed(name);   // a standard filter; null for other names
#pragma once

#include <string>

#include "StandardNames.h"
#include "rib/ri.h"

namespace ribpy {

/// The standard filter, basis matrix (which the library writes by name), error handler or
/// procedural kind of that name; null for any other name.
RtFilterFunc filterNamed(const char *name);
RtBasis *basisNamed(const char *name);
RtErrorHandler errorHandlerNamed(const char *name);
const rib::StandardProcedural *proceduralNamed(const char *name);

/// `text`, kept for the life of the module (for docstrings and messages).
const char *keptText(std::string text);

/// The names of a table for messages: "a, b or c".
template <class Row> const char *namesOf(const rib::NameTable<Row> &table) {
  return keptText(rib::nameList(table, " or "));
}

/// The names each of the above takes, for messages and docstrings.
extern const char *const kFilterNames;
extern const char *const kBasisNames;
extern const char *const kErrorHandlerNames;
extern const char *const kProceduralNames;

} // namespace ribpy
