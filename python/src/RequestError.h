// RequestError.h - how the module refuses a request: a Python exception that names the request and
// the argument, raised before anything of the request is written.
//
//     fail(PyExc_ValueError, where, "has %zu values, %lld needed", size, needed);
//     // ValueError: PointsPolygons: "P" has 9 values, 12 needed
#pragma once

#include <Python.h>

#include <string>

namespace ribpy {

/// Where a value comes from: the request, and an argument's name or a parameter's token.
struct Where {
  const char *request = "";
  const char *argument = "";
  bool parameter = false; // a token of the parameter list, quoted in messages
};

/// Thrown while a request's arguments are read; the request's method raises it as `type`.
struct RequestError {
  PyObject *type;
  std::string message;
};

/// Throws "<request>: <argument> <text>" as a Python exception of `type`.
[[noreturn]] void fail(PyObject *type, const Where &where, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
/// Throws "<request>: <text>", for problems of the call as a whole.
[[noreturn]] void failRequest(PyObject *type, const char *request, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
/// The name of an object's Python type, for messages ("str", "numpy.ndarray").
const char *typeName(PyObject *object);

} // namespace ribpy
