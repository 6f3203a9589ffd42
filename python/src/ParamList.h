// ParamList.h - a request's parameter list from Python: one dict after the fixed arguments and/or
// keyword arguments, in that order, as the token and value arrays of a V form.
//
// Each token's declaration (rib/src/ParamDecl.h) decides how its value is read (floats, integers
// or texts) and how many values it must hold: paramValueCount of the declaration with the
// primitive's counts, exactly what the library will write. A token without a declaration, or of
// a type with no written form, is passed for the library to report.
//
// Reading a value may run Python code (a number's __float__, an object's __array__), which may
// declare a token anew or change a basis. So the values are read first, each with the
// declaration it was read by, and checked only after the last one: between check() and the
// write no Python code runs.
//
//     ParamList params;
//     params.load(context, "Sphere", dict, kwvalues, kwnames);
//     params.check(writer.declarations, &counts);  // ValueError when "P" is short
//     writer.SphereV(1, -1, 1, 360, params.count(), params.tokens(), params.values());
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>

#include "PrimitiveCounts.h"
#include "Values.h"

namespace rib {
class Declarations;
}

namespace ribpy {

class Context;

class ParamList {
public:
  /// Reads the items of `dict` (a dict, or null) and then the keyword arguments (`names` a tuple
  /// of str or null, their values at `values`).
  /// The tokens are looked up in the context's declarations.
  void load(Context &context, const char *request, PyObject *dict, PyObject *const *values,
            PyObject *names);
  /// ValueError unless each token is still declared as when its value was read and its value
  /// holds what the library will read for it. `counts` are the primitive's, or null for a
  /// request that is not a primitive. Runs no Python code.
  void check(rib::Declarations &declarations, const rib::PrimitiveCounts *counts) const;
  /// The values of `token` as read (exact name), or null when the list has no such token.
  const Values *find(const char *token) const;

  RtInt count() const { return count_; }
  RtToken *tokens() { return tokens_; }
  RtPointer *values() { return values_; }

private:
  void reserve(size_t count);
  void add(Context &context, const char *request, PyObject *token, PyObject *value);

  /// A declaration as it was when a value was read by it (the table changes in place).
  struct Pinned {
    bool declared = false;
    uint8_t type = 0;
    uint8_t paramClass = 0;
    int16_t arraySize = 0;
  };

  static constexpr size_t kInline = 8; // parameters without the heap
  RtInt count_ = 0;
  RtToken *tokens_ = inlineTokens_;
  RtPointer *values_ = inlineValues_;
  Pinned *pinned_ = inlinePinned_;
  Values *read_ = inlineRead_;
  RtToken inlineTokens_[kInline];
  RtPointer inlineValues_[kInline];
  Pinned inlinePinned_[kInline];
  Values inlineRead_[kInline];
  std::unique_ptr<RtToken[]> heapTokens_;
  std::unique_ptr<RtPointer[]> heapValues_;
  std::unique_ptr<Pinned[]> heapPinned_;
  std::unique_ptr<Values[]> heapRead_;
  pybind11::object items_; // the dict's items, held while the request is written
};

} // namespace ribpy
