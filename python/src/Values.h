// Values.h - the numbers or texts of one argument or parameter as the library reads them: a
// pointer and a length, borrowed from the Python object where it already holds them that way.
//
// A float32 (int32) C-contiguous buffer - a numpy array, an array.array, a memoryview - is read
// where it lies. Python numbers and flat sequences of them are copied (a few values inline, no
// heap); anything else numpy takes as numbers (nested sequences, other dtypes and layouts) is
// converted once. Texts are UTF-8 pointers into str objects that stay referenced. Whatever was
// borrowed or converted is held until the Values object goes, after the request is written.
//
//     Values P;
//     P.loadFloats(object, Where{"PointsPolygons", "P", true});
//     P.need(3 * points);   // ValueError: PointsPolygons: "P" has 9 values, 12 needed
//     writer.PointsPolygonsV(..., P.pointer(), ...);
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "RequestError.h"
#include "rib/ri.h"

namespace ribpy {

/// The bytes of the texts of one request call that Python does not hold as UTF-8: a str that
/// rib.read made of bytes that are not UTF-8 (Python's "surrogateescape" form, as os.fsdecode
/// makes) goes back to those bytes, held here until the call has written its request.
class EncodedTexts {
public:
  EncodedTexts() : outer_(current_) { current_ = this; }
  ~EncodedTexts() { current_ = outer_; }
  EncodedTexts(const EncodedTexts &) = delete;
  EncodedTexts &operator=(const EncodedTexts &) = delete;

  /// The call being read on this thread (a number's __float__ may make calls of its own).
  static EncodedTexts *current() { return current_; }
  void keep(pybind11::object bytes) { kept_.push_back(std::move(bytes)); }

private:
  static thread_local EncodedTexts *current_;
  EncodedTexts *outer_;
  std::vector<pybind11::object> kept_;
};

/// The UTF-8 text of a str, for the library (the bytes it was read from when it holds escaped
/// ones); ValueError when it holds a NUL character (the library would end the text there) or
/// cannot be encoded.
char *utf8Text(PyObject *text, const Where &where);
/// A number (int, float, numpy scalar, anything with __float__) as the library's float;
/// ValueError for NaN, an infinity or a number beyond the float range, which RIB cannot hold.
RtFloat floatArgument(PyObject *number, const Where &where);
/// An int (or anything with __index__, not a float) as a 32-bit integer.
RtInt intArgument(PyObject *number, const Where &where);

class Values {
public:
  Values() = default;
  ~Values() { clear(); }
  Values(const Values &) = delete;
  Values &operator=(const Values &) = delete;

  /// Numbers: a number, a sequence or an array of any shape (flattened in C order); every one
  /// finite and within the float range.
  void loadFloats(PyObject *object, const Where &where);
  /// Integers: an int, a sequence of ints or an integer array; values outside 32 bits are refused.
  void loadInts(PyObject *object, const Where &where);
  /// Texts: a str or a sequence of str.
  void loadTexts(PyObject *object, const Where &where);
  /// For a token the library will report itself (undeclared, or a type without a written form):
  /// texts, integers or floats, whichever the object holds, or no values at all.
  void loadAny(PyObject *object, const Where &where);

  /// Values the library hands over (read from RIB), where they lie; their number is what the
  /// request's size rules ask of them: need() records the largest count instead of checking it.
  void lend(const void *data);
  /// The largest count need() was asked for since lend().
  size_t needed() const { return needed_; }

  size_t size() const { return size_; }
  RtFloat *floats() const { return static_cast<RtFloat *>(data_); }
  RtInt *ints() const { return static_cast<RtInt *>(data_); }
  RtToken *texts() const { return static_cast<RtToken *>(data_); }
  RtPointer pointer() const { return data_; }
  const Where &where() const { return where_; }

  /// ValueError unless at least `count` values are there (a count below 1 needs none).
  void need(long long count) const;
  /// ValueError unless exactly `count` values are there; `what` says so in the message.
  void needExactly(size_t count, const char *what) const;

private:
  template <class T> T *allocate(size_t count);
  bool borrowBuffer(PyObject *object, char format);
  void copyArray(PyObject *object, bool integers);
  void checkFinite(const pybind11::array *given) const;
  void clear();

  Where where_;
  bool lent_ = false;
  mutable size_t needed_ = 0;
  void *data_ = nullptr;
  size_t size_ = 0;
  alignas(8) unsigned char inline_[64]; // up to 16 numbers or 8 texts without the heap
  std::unique_ptr<uint64_t[]> heap_;
  Py_buffer view_;
  bool hasView_ = false;
  pybind11::object owner_; // a converted array or a tuple of texts
};

} // namespace ribpy
