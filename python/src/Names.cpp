#include "Names.h"

#include <forward_list>

namespace ribpy {

const char *keptText(std::string text) {
  static std::forward_list<std::string> kept;
  kept.push_front(std::move(text));
  return kept.front().c_str();
}

const char *const kFilterNames = namesOf(rib::kStandardFilters);
const char *const kBasisNames = namesOf(rib::kStandardBases);
const char *const kErrorHandlerNames = namesOf(rib::kStandardErrorHandlers);
const char *const kProceduralNames = namesOf(rib::kStandardProcedurals);

RtFilterFunc filterNamed(const char *name) {
  const rib::StandardFilter *row = rib::findFilter(name);
  return row ? row->filter : nullptr;
}

RtBasis *basisNamed(const char *name) {
  const rib::StandardBasis *row = rib::findBasis(name);
  return row ? row->matrix : nullptr;
}

RtErrorHandler errorHandlerNamed(const char *name) {
  const rib::StandardErrorHandler *row = rib::findErrorHandler(name);
  return row ? row->handler : nullptr;
}

const rib::StandardProcedural *proceduralNamed(const char *name) {
  return rib::findProcedural(name);
}

} // namespace ribpy
