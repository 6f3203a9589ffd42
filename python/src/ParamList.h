// ParamList.h - a request's parameter list from Python: one dict after the fixed arguments and/or
// keyword arguments, in that order, as the token and value arrays of a V form.
//
// Each token's declaration (rib/src/ParamDecl.h) decides how its value is read (floats, integers
// or texts) and how many values it must hold: paramValueCount of the declaration with the
// primitive's counts, exactly what the library will write. A token without a declaration, or of
// a type with no written form, is passed for the library to report.
//
//     ParamList params;
//     params.load("Sphere", dict, kwvalues, kwnames, &counts);   // ValueError when "P" is short
//     writer.SphereV(1, -1, 1, 360, params.count(), params.tokens(), params.values());
#pragma once

#include <pybind11/pybind11.h>

#include <memory>

#include "PrimitiveCounts.h"
#include "Values.h"

namespace ribpy {

class ParamList {
public:
  /// Reads the items of `dict` (a dict, or null) and then the keyword arguments (`names` a tuple
  /// of str or null, their values at `values`). `counts` are the primitive's, or null for a
  /// request that is not a primitive.
  void load(const char *request, PyObject *dict, PyObject *const *values, PyObject *names,
            const rib::PrimitiveCounts *counts);

  RtInt count() const { return count_; }
  RtToken *tokens() { return tokens_; }
  RtPointer *values() { return values_; }

private:
  void reserve(size_t count);
  void add(const char *request, PyObject *token, PyObject *value,
           const rib::PrimitiveCounts *counts);

  static constexpr size_t kInline = 8; // parameters without the heap
  RtInt count_ = 0;
  RtToken *tokens_ = inlineTokens_;
  RtPointer *values_ = inlineValues_;
  Values *read_ = inlineRead_;
  RtToken inlineTokens_[kInline];
  RtPointer inlineValues_[kInline];
  Values inlineRead_[kInline];
  std::unique_ptr<RtToken[]> heapTokens_;
  std::unique_ptr<RtPointer[]> heapValues_;
  std::unique_ptr<Values[]> heapRead_;
  pybind11::object items_; // the dict's items, held while the request is written
};

} // namespace ribpy
