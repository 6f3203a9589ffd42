// Arguments.h - the fixed arguments of a request: one holder type per type name of the request
// table (RequestTable.h). Arg<sig::RtColor> reads exactly 3 numbers, Arg<sig::RtInt *> any number
// of integers (the request's size rules, ArraySizes.h, say how many it needs),
// Arg<sig::RtFilterFunc> a filter's name. load() reads the Python object, raising TypeError or
// ValueError that names the request and the argument; get() hands the library its value; kType says
// what the argument takes, for the docstrings.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>

#include "Context.h"
#include "Names.h"
#include "RequestError.h"
#include "RequestTable.h"
#include "Values.h"

namespace ribpy {

template <class T> struct Arg;

// ---- Numbers and texts ----

template <> struct Arg<sig::RtFloat> {
  static constexpr const char *kType = "float";
  RtFloat value = 0;
  void load(PyObject *object, const Where &where, const Context &) {
    value = floatArgument(object, where);
  }
  RtFloat get() const { return value; }
};

template <> struct Arg<sig::RtInt> {
  static constexpr const char *kType = "int";
  RtInt value = 0;
  void load(PyObject *object, const Where &where, const Context &) {
    value = intArgument(object, where);
  }
  RtInt get() const { return value; }
};

template <> struct Arg<sig::RtBoolean> {
  static constexpr const char *kType = "bool";
  RtBoolean value = 0;
  void load(PyObject *object, const Where &where, const Context &) {
    if (!PyLong_Check(object))
      fail(PyExc_TypeError, where, "must be a bool, not %s", typeName(object));
    value = PyObject_IsTrue(object) ? 1 : 0;
  }
  RtBoolean get() const { return value; }
};

struct TextArg {
  static constexpr const char *kType = "str";
  char *value = nullptr;
  void load(PyObject *text, const Where &where, const Context &) {
    if (!PyUnicode_Check(text))
      fail(PyExc_TypeError, where, "must be a str, not %s", typeName(text));
    value = utf8Text(text, where);
  }
  char *get() const { return value; }
};
template <> struct Arg<sig::RtToken> : TextArg {};
template <> struct Arg<char *> : TextArg {};

// ---- Arrays of a fixed size ----

template <size_t N> struct FixedFloats {
  Values values;
  void load(PyObject *object, const Where &where, const char *what) {
    values.loadFloats(object, where);
    values.needExactly(N, what);
  }
};

template <> struct Arg<sig::RtColor> : FixedFloats<3> {
  static constexpr const char *kType = "color: 3 numbers";
  void load(PyObject *object, const Where &where, const Context &) {
    FixedFloats::load(object, where, "3 numbers");
  }
  RtFloat *get() const { return values.floats(); }
};

template <> struct Arg<sig::RtPoint> : FixedFloats<3> {
  static constexpr const char *kType = "point: 3 numbers";
  void load(PyObject *object, const Where &where, const Context &) {
    FixedFloats::load(object, where, "3 numbers");
  }
  RtFloat *get() const { return values.floats(); }
};

template <> struct Arg<sig::RtBound> : FixedFloats<6> {
  static constexpr const char *kType = "bound: 6 numbers (xmin xmax ymin ymax zmin zmax)";
  void load(PyObject *object, const Where &where, const Context &) {
    FixedFloats::load(object, where, "6 numbers");
  }
  RtFloat *get() const { return values.floats(); }
};

template <> struct Arg<sig::RtMatrix> : FixedFloats<16> {
  static constexpr const char *kType = "matrix: 16 numbers or 4 x 4";
  void load(PyObject *object, const Where &where, const Context &) {
    FixedFloats::load(object, where, "16 numbers (4 x 4)");
  }
  RtFloat (*get() const)[4] { return reinterpret_cast<RtFloat(*)[4]>(values.floats()); }
};

// A basis by name is the library's own matrix, which it writes by name; otherwise 16 numbers.
template <> struct Arg<sig::RtBasis> : FixedFloats<16> {
  static inline const char *const kType =
      keptText("basis: " + rib::nameList(rib::kStandardBases, ", ") + ", or 16 numbers (4 x 4)");
  RtBasis *named = nullptr;
  void load(PyObject *object, const Where &where, const Context &) {
    if (PyUnicode_Check(object)) {
      named = basisNamed(utf8Text(object, where));
      if (!named) fail(PyExc_ValueError, where, "names no basis (%s)", kBasisNames);
      return;
    }
    FixedFloats::load(object, where, "a basis name or 16 numbers (4 x 4)");
  }
  RtFloat (*get() const)[4] {
    return named ? *named : reinterpret_cast<RtFloat(*)[4]>(values.floats());
  }
};

// ---- Arrays sized by other arguments (ArraySizes.h) ----

struct ArrayArg {
  Values values;
  void need(long long count) const { values.need(count); }
};

template <> struct Arg<sig::RtInt *> : ArrayArg {
  static constexpr const char *kType = "sequence of int";
  void load(PyObject *object, const Where &where, const Context &) {
    values.loadInts(object, where);
  }
  RtInt *get() const { return values.ints(); }
};

template <> struct Arg<sig::RtFloat *> : ArrayArg {
  static constexpr const char *kType = "sequence of float";
  void load(PyObject *object, const Where &where, const Context &) {
    values.loadFloats(object, where);
  }
  RtFloat *get() const { return values.floats(); }
};

template <> struct Arg<sig::RtPoint *> : ArrayArg {
  static constexpr const char *kType = "points: 3 numbers each";
  void load(PyObject *object, const Where &where, const Context &) {
    values.loadFloats(object, where);
  }
  RtPoint *get() const { return reinterpret_cast<RtPoint *>(values.floats()); }
};

template <> struct Arg<sig::RtToken *> : ArrayArg {
  static constexpr const char *kType = "sequence of str";
  void load(PyObject *object, const Where &where, const Context &) {
    values.loadTexts(object, where);
  }
  RtToken *get() const { return values.texts(); }
};

// Procedural's data: the texts its kind reads.
template <> struct Arg<sig::RtPointer> : ArrayArg {
  static constexpr const char *kType = "str or sequence of str";
  void load(PyObject *object, const Where &where, const Context &) {
    values.loadTexts(object, where);
  }
  RtPointer get() const { return values.pointer(); }
};

// ---- Handles ----

// A handle made by this context; the library writes its number, which means another light or
// object (or none) in another context's stream.
template <class Handle> struct HandleArg {
  Handle handle{};
  void load(PyObject *object, const Where &where, const Context &context, const char *type) {
    pybind11::handle h(object);
    if (!pybind11::isinstance<Handle>(h))
      fail(PyExc_TypeError, where, "must be a rib.%s, not %s", type, typeName(object));
    handle = h.cast<const Handle &>();
    if (handle.context != context.serial())
      fail(PyExc_ValueError, where, "belongs to another context");
  }
  RtPointer get() const {
    return reinterpret_cast<RtPointer>(static_cast<intptr_t>(handle.number));
  }
};

template <> struct Arg<sig::RtLightHandle> : HandleArg<LightHandle> {
  static constexpr const char *kType = "LightHandle";
  void load(PyObject *object, const Where &where, const Context &context) {
    HandleArg::load(object, where, context, kType);
  }
};

template <> struct Arg<sig::RtObjectHandle> : HandleArg<ObjectHandle> {
  static constexpr const char *kType = "ObjectHandle";
  void load(PyObject *object, const Where &where, const Context &context) {
    HandleArg::load(object, where, context, kType);
  }
};

// ---- Functions given by name ----

template <class Function> struct NamedArg {
  Function value = nullptr;
  void load(PyObject *object, const Where &where, Function (*named)(const char *),
            const char *names) {
    if (!PyUnicode_Check(object))
      fail(PyExc_TypeError, where, "must be a name (%s), not %s", names, typeName(object));
    value = named(utf8Text(object, where));
    if (!value) fail(PyExc_ValueError, where, "must be one of %s", names);
  }
  Function get() const { return value; }
};

template <> struct Arg<sig::RtFilterFunc> : NamedArg<RtFilterFunc> {
  static inline const char *const kType =
      keptText("filter: " + rib::nameList(rib::kStandardFilters, " or "));
  void load(PyObject *object, const Where &where, const Context &) {
    NamedArg::load(object, where, filterNamed, kFilterNames);
  }
};

template <> struct Arg<sig::RtErrorHandler> : NamedArg<RtErrorHandler> {
  static inline const char *const kType =
      keptText("handler: " + rib::nameList(rib::kStandardErrorHandlers, " or "));
  void load(PyObject *object, const Where &where, const Context &) {
    NamedArg::load(object, where, errorHandlerNamed, kErrorHandlerNames);
  }
};

template <> struct Arg<sig::RtProcSubdivFunc> : NamedArg<const rib::StandardProcedural *> {
  static inline const char *const kType =
      keptText("kind: " + rib::nameList(rib::kStandardProcedurals, " or "));
  void load(PyObject *object, const Where &where, const Context &) {
    NamedArg::load(object, where, proceduralNamed, kProceduralNames);
  }
  RtProcSubdivFunc get() const { return value->subdivide; }
};

// Functions the library would only call back, which a Python program cannot give: None.
struct NoFunction {
  static constexpr const char *kType = "None";
  void load(PyObject *object, const Where &where, const Context &) {
    if (object != Py_None) fail(PyExc_TypeError, where, "must be None, not %s", typeName(object));
  }
  std::nullptr_t get() const { return nullptr; }
};
template <> struct Arg<sig::RtProcFreeFunc> : NoFunction {};
template <> struct Arg<sig::RtArchiveCallback> : NoFunction {};

// ---- printf arguments ----

// ArchiveRecord's arguments after the format: Python formats the record (format % arguments),
// and the library writes the text as it is.
template <> struct Arg<sig::va_list> {
  static constexpr const char *kType = "values for the format's % conversions";
  char *text = nullptr;
  pybind11::object formatted;
  /// `format` is the str before the arguments, already read as one.
  void load(PyObject *format, PyObject *const *arguments, size_t count, const Where &where) {
    text = utf8Text(format, where);
    if (count == 0) return; // no arguments: the format is the text, % signs and all
    pybind11::tuple values(count);
    for (size_t i = 0; i < count; ++i)
      values[i] = pybind11::reinterpret_borrow<pybind11::object>(arguments[i]);
    PyObject *result = PyUnicode_Format(format, values.ptr());
    if (!result) {
      if (!PyErr_ExceptionMatches(PyExc_TypeError) && !PyErr_ExceptionMatches(PyExc_ValueError))
        throw pybind11::error_already_set();
      pybind11::error_already_set error;
      fail(PyExc_TypeError, where, "do not fit the format: %s", error.what());
    }
    formatted = pybind11::reinterpret_steal<pybind11::object>(result);
    text = utf8Text(result, where);
  }
  char *get() const { return text; }
};

} // namespace ribpy
