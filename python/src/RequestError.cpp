#include "RequestError.h"

#include <cstdarg>
#include <cstdio>

namespace ribpy {
namespace {

std::string formatted(const char *format, va_list arguments) {
  char text[512];
  vsnprintf(text, sizeof text, format, arguments);
  return text;
}

} // namespace

void fail(PyObject *type, const Where &where, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string message = where.request;
  message += where.parameter ? ": \"" : ": ";
  message += where.argument;
  message += where.parameter ? "\" " : " ";
  message += formatted(format, arguments);
  va_end(arguments);
  throw RequestError{type, std::move(message)};
}

void failRequest(PyObject *type, const char *request, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string message = request;
  message += ": ";
  message += formatted(format, arguments);
  va_end(arguments);
  throw RequestError{type, std::move(message)};
}

const char *typeName(PyObject *object) { return Py_TYPE(object)->tp_name; }

} // namespace ribpy
