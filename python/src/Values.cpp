// Reading Python numbers, sequences, buffers and numpy arrays into the library's arrays.
#include "Values.h"

#include <pybind11/numpy.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "FiniteFloats.h"

namespace py = pybind11;

namespace ribpy {
namespace {

// Half a unit above FLT_MAX: a double from here on rounds to infinity as a float.
constexpr double kFloatOverflow = 0x1.ffffffp+127;

// A double as the library's float (one just above FLT_MAX rounds to it); ValueError for what RIB
// cannot hold, which the library would leave out with only a line on standard error. `single`:
// the argument is this number, else it holds it among others.
RtFloat narrow(double value, const Where &where, bool single) {
  if (std::isnan(value)) fail(PyExc_ValueError, where, single ? "is NaN" : "holds NaN");
  if (std::isinf(value))
    fail(PyExc_ValueError, where, single ? "is infinite" : "holds an infinity");
  if (std::fabs(value) >= kFloatOverflow)
    fail(PyExc_ValueError, where, "%s beyond the float range", single ? "is" : "holds a number");
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return static_cast<RtFloat>(value);
}

// A Python float or int (bool included) as a float.
RtFloat floatOf(PyObject *number, const Where &where, bool single) {
  if (PyFloat_Check(number)) return narrow(PyFloat_AS_DOUBLE(number), where, single);
  const double value = PyLong_AsDouble(number);
  if (value == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    fail(PyExc_ValueError, where, "holds an integer beyond the float range");
  }
  return narrow(value, where, single);
}

// A Python int (bool included) as a 32-bit integer.
RtInt intOf(PyObject *number, const Where &where) {
  int overflow = 0;
  const long long value = PyLong_AsLongLongAndOverflow(number, &overflow);
  if (overflow != 0 || value < INT_MIN || value > INT_MAX) {
    PyErr_Clear();
    fail(PyExc_ValueError, where, "holds an integer outside the 32-bit range");
  }
  return static_cast<RtInt>(value);
}

// A conversion that Python refused: its TypeError names the argument, anything else goes on.
[[noreturn]] void refused(PyObject *object, const Where &where, const char *what) {
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) throw py::error_already_set();
  PyErr_Clear();
  fail(PyExc_TypeError, where, "must be %s, not %s", what, typeName(object));
}

bool isNumber(PyObject *object) { return PyFloat_Check(object) || PyLong_Check(object); }

// A buffer's element format as the library's type: float32 ('f') or int32 ('i', or a 4-byte
// 'l'), in the machine's byte order.
bool nativeFormat(const char *format, char wanted) {
  if (!format) return false; // plain bytes
  const bool little = PY_LITTLE_ENDIAN != 0;
  if (*format == '@' || *format == '=' || (*format == '<' && little) ||
      ((*format == '>' || *format == '!') && !little))
    ++format;
  if (format[0] == '\0' || format[1] != '\0') return false;
  return format[0] == wanted || (wanted == 'i' && format[0] == 'l');
}

template <class T> bool fitsInt(T value) {
  if constexpr (std::is_signed<T>::value)
    return value >= INT_MIN && value <= INT_MAX;
  else
    return value <= static_cast<T>(INT_MAX);
}

template <class T> bool aligned(const void *data) {
  return reinterpret_cast<uintptr_t>(data) % alignof(T) == 0;
}

} // namespace

thread_local EncodedTexts *EncodedTexts::current_ = nullptr;

char *utf8Text(PyObject *text, const Where &where) {
  Py_ssize_t length = 0;
  const char *utf8 = PyUnicode_AsUTF8AndSize(text, &length);
  if (!utf8) {
    PyErr_Clear();
    // Escaped bytes (U+DC80..U+DCFF) go back to the bytes they stand for.
    PyObject *bytes = EncodedTexts::current()
                          ? PyUnicode_AsEncodedString(text, "utf-8", "surrogateescape")
                          : nullptr;
    if (!bytes) {
      PyErr_Clear();
      fail(PyExc_ValueError, where, "cannot be encoded as UTF-8");
    }
    EncodedTexts::current()->keep(py::reinterpret_steal<py::object>(bytes));
    utf8 = PyBytes_AS_STRING(bytes);
    length = PyBytes_GET_SIZE(bytes);
  }
  if (std::strlen(utf8) != static_cast<size_t>(length))
    fail(PyExc_ValueError, where, "contains a NUL character");
  return const_cast<char *>(utf8);
}

RtFloat floatArgument(PyObject *number, const Where &where) {
  if (PyFloat_CheckExact(number)) return narrow(PyFloat_AS_DOUBLE(number), where, true);
  if (number == Py_None || PyUnicode_Check(number) || PyBytes_Check(number))
    fail(PyExc_TypeError, where, "must be a number, not %s", typeName(number));
  const double value = PyFloat_AsDouble(number);
  if (value == -1.0 && PyErr_Occurred()) {
    if (PyErr_ExceptionMatches(PyExc_OverflowError)) {
      PyErr_Clear();
      fail(PyExc_ValueError, where, "is beyond the float range");
    }
    refused(number, where, "a number");
  }
  return narrow(value, where, true);
}

RtInt intArgument(PyObject *number, const Where &where) {
  if (PyLong_Check(number)) return intOf(number, where);
  if (PyFloat_Check(number)) fail(PyExc_TypeError, where, "must be an int, not float");
  PyObject *index = PyNumber_Index(number);
  if (!index) refused(number, where, "an int");
  py::object held = py::reinterpret_steal<py::object>(index);
  return intOf(index, where);
}

template <class T> T *Values::allocate(size_t count) {
  static_assert(alignof(T) <= alignof(uint64_t), "inline storage is 8-byte aligned");
  void *storage = inline_;
  if (count * sizeof(T) > sizeof inline_) {
    heap_.reset(new uint64_t[(count * sizeof(T) + 7) / 8]);
    storage = heap_.get();
  }
  data_ = storage;
  size_ = count;
  return static_cast<T *>(storage);
}

void Values::clear() {
  if (hasView_) PyBuffer_Release(&view_);
  hasView_ = false;
  lent_ = false;
  owner_ = py::object();
  heap_.reset();
  data_ = nullptr;
  size_ = 0;
}

bool Values::borrowBuffer(PyObject *object, char format) {
  if (!PyObject_CheckBuffer(object)) return false;
  if (PyObject_GetBuffer(object, &view_, PyBUF_C_CONTIGUOUS | PyBUF_FORMAT) != 0) {
    PyErr_Clear(); // not contiguous: numpy makes a contiguous copy
    return false;
  }
  if (view_.itemsize != 4 || !nativeFormat(view_.format, format) || !aligned<RtFloat>(view_.buf)) {
    PyBuffer_Release(&view_);
    return false;
  }
  hasView_ = true;
  data_ = view_.buf;
  size_ = static_cast<size_t>(view_.len / 4);
  return true;
}

// Anything else numpy takes: converted once into C order. Arrays of other kinds (texts, objects
// such as None, which numpy would read as NaN) are refused rather than guessed at.
void Values::copyArray(PyObject *object, bool integers) {
  const char *what = integers ? "integers" : "numbers";
  py::array array = py::array::ensure(object);
  if (!array) fail(PyExc_TypeError, where_, "takes %s, not %s", what, typeName(object));
  const char kind = array.dtype().kind();
  const bool numeric = kind == 'b' || kind == 'i' || kind == 'u' || (!integers && kind == 'f');
  if (!numeric && array.size() > 0) {
    // A single object of its own kind of number (a Fraction, a Decimal) still reads as a float.
    if (!integers && array.ndim() == 0) {
      const double value = PyFloat_AsDouble(object);
      if (!(value == -1.0 && PyErr_Occurred())) {
        allocate<RtFloat>(1)[0] = narrow(value, where_, false);
        return;
      }
      PyErr_Clear();
    }
    fail(PyExc_TypeError, where_, "takes %s, not %s of %s", what, typeName(object),
         py::str(py::object(array.dtype())).cast<std::string>().c_str());
  }
  const size_t count = static_cast<size_t>(array.size());
  if (!integers) {
    auto floats = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(array);
    if (!floats) throw py::error_already_set();
    if (aligned<RtFloat>(floats.data())) {
      owner_ = floats;
      data_ = const_cast<float *>(floats.data());
      size_ = count;
    } else {
      std::memcpy(allocate<RtFloat>(count), floats.data(), count * sizeof(RtFloat));
    }
    checkFinite(&array);
    return;
  }
  // Integers: through 64 bits (unsigned ones above the signed range stay unsigned), each checked
  // against the 32-bit range instead of wrapping as a plain cast would.
  RtInt *out = allocate<RtInt>(count);
  auto copyChecked = [&](auto wide) {
    for (size_t i = 0; i < count; ++i) {
      const auto value = wide.data()[i];
      if (!fitsInt(value))
        fail(PyExc_ValueError, where_, "holds an integer outside the 32-bit range");
      out[i] = static_cast<RtInt>(value);
    }
  };
  if (kind == 'u' && array.itemsize() == 8) {
    auto wide = py::array_t<uint64_t, py::array::c_style | py::array::forcecast>::ensure(array);
    if (!wide) throw py::error_already_set();
    copyChecked(wide);
  } else {
    auto wide = py::array_t<int64_t, py::array::c_style | py::array::forcecast>::ensure(array);
    if (!wide) throw py::error_already_set();
    copyChecked(wide);
  }
}

// Every float is finite, or ValueError names the first number that is not as `given` (the array
// they were converted from, or null) holds it: a double beyond the float range became an infinity.
void Values::checkFinite(const py::array *given) const {
  if (rib::allFinite(floats(), size_)) return;
  size_t at = 0;
  while (rib::isFinite(floats()[at])) ++at;
  double value = floats()[at];
  if (given) value = given->attr("flat")[py::int_(at)].cast<double>();
  narrow(value, where_, false);
  fail(PyExc_ValueError, where_, "holds a number beyond the float range");
}

void Values::loadFloats(PyObject *object, const Where &where) {
  where_ = where;
  if (isNumber(object)) {
    allocate<RtFloat>(1)[0] = floatOf(object, where, false);
    return;
  }
  if (object == Py_None || PyUnicode_Check(object) || PyBytes_Check(object))
    fail(PyExc_TypeError, where, "takes numbers, not %s", typeName(object));
  if (PyTuple_Check(object) || PyList_Check(object)) {
    // A flat sequence of numbers, the common case for colours, points and short lists: reading
    // them runs no Python code, so the sequence cannot change underneath.
    const size_t count = static_cast<size_t>(PySequence_Fast_GET_SIZE(object));
    PyObject **items = PySequence_Fast_ITEMS(object);
    bool flat = true;
    for (size_t i = 0; i < count && flat; ++i) flat = isNumber(items[i]);
    if (flat) {
      RtFloat *out = allocate<RtFloat>(count);
      for (size_t i = 0; i < count; ++i) out[i] = floatOf(items[i], where, false);
      return;
    }
  }
  if (borrowBuffer(object, 'f')) return checkFinite(nullptr);
  copyArray(object, false);
}

void Values::loadInts(PyObject *object, const Where &where) {
  where_ = where;
  if (PyLong_Check(object)) {
    allocate<RtInt>(1)[0] = intOf(object, where);
    return;
  }
  if (object == Py_None || PyFloat_Check(object) || PyUnicode_Check(object) ||
      PyBytes_Check(object))
    fail(PyExc_TypeError, where, "takes integers, not %s", typeName(object));
  if (PyTuple_Check(object) || PyList_Check(object)) {
    const size_t count = static_cast<size_t>(PySequence_Fast_GET_SIZE(object));
    PyObject **items = PySequence_Fast_ITEMS(object);
    bool flat = true;
    for (size_t i = 0; i < count && flat; ++i) flat = PyLong_Check(items[i]);
    if (flat) {
      RtInt *out = allocate<RtInt>(count);
      for (size_t i = 0; i < count; ++i) out[i] = intOf(items[i], where);
      return;
    }
  }
  if (borrowBuffer(object, 'i')) return;
  copyArray(object, true);
}

void Values::loadTexts(PyObject *object, const Where &where) {
  where_ = where;
  if (PyUnicode_Check(object)) {
    allocate<RtToken>(1)[0] = utf8Text(object, where);
    return;
  }
  if (object == Py_None || PyBytes_Check(object) || isNumber(object))
    fail(PyExc_TypeError, where, "takes str or a sequence of str, not %s", typeName(object));
  // A tuple of its own: the texts' pointers stay valid whatever happens to the caller's list.
  PyObject *tuple = PySequence_Tuple(object);
  if (!tuple) {
    PyErr_Clear();
    fail(PyExc_TypeError, where, "takes str or a sequence of str, not %s", typeName(object));
  }
  owner_ = py::reinterpret_steal<py::object>(tuple);
  const size_t count = static_cast<size_t>(PyTuple_GET_SIZE(tuple));
  RtToken *out = allocate<RtToken>(count);
  for (size_t i = 0; i < count; ++i) {
    PyObject *item = PyTuple_GET_ITEM(tuple, i);
    if (!PyUnicode_Check(item))
      fail(PyExc_TypeError, where, "takes str or a sequence of str; it holds %s", typeName(item));
    out[i] = utf8Text(item, where);
  }
}

void Values::loadAny(PyObject *object, const Where &where) {
  try {
    if (PyUnicode_Check(object)) return loadTexts(object, where);
    if (PyFloat_Check(object)) return loadFloats(object, where);
    if (PyLong_Check(object)) return loadInts(object, where);
    if (PyTuple_Check(object) || PyList_Check(object)) {
      const Py_ssize_t count = PySequence_Fast_GET_SIZE(object);
      PyObject **items = PySequence_Fast_ITEMS(object);
      if (count > 0 && PyUnicode_Check(items[0])) return loadTexts(object, where);
      bool integers = count > 0;
      for (Py_ssize_t i = 0; i < count && integers; ++i) integers = PyLong_Check(items[i]);
      return integers ? loadInts(object, where) : loadFloats(object, where);
    }
    py::array array = py::array::ensure(object);
    const char kind = array ? array.dtype().kind() : 'f';
    if (kind == 'U') return loadTexts(object, where);
    if (kind == 'i' || kind == 'u' || kind == 'b') return loadInts(object, where);
    loadFloats(object, where);
  } catch (const RequestError &) {
    clear(); // no values: the library reports the token without reading any
  }
}

void Values::lend(const void *data) {
  clear();
  lent_ = true;
  needed_ = 0;
  data_ = const_cast<void *>(data);
}

void Values::need(long long count) const {
  if (lent_) {
    if (count > 0 && static_cast<unsigned long long>(count) > needed_)
      needed_ = static_cast<size_t>(count);
    return;
  }
  if (count > 0 && static_cast<unsigned long long>(count) > size_)
    fail(PyExc_ValueError, where_, "has %zu value%s, %lld needed", size_, size_ == 1 ? "" : "s",
         count);
}

void Values::needExactly(size_t count, const char *what) const {
  if (size_ != count) fail(PyExc_ValueError, where_, "takes %s, not %zu", what, size_);
}

} // namespace ribpy
