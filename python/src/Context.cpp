#include "Context.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "RequestError.h"

namespace py = pybind11;

namespace ribpy {
namespace {

uint64_t gNextSerial = 1;

// The bare names that the library starts as a renderer through a pipe instead of making a file.
bool startsRenderer(const char *target) {
  for (const char *renderer : {"rendrib", "rgl", "prman"})
    if (std::strcmp(target, renderer) == 0) return true;
  return false;
}

// What Python printed so far comes before the RIB on standard output, and before anything a piped
// command prints: the library writes through C's streams, past Python's buffers.
void flushPythonStreams() {
  for (const char *name : {"stdout", "stderr"}) {
    PyObject *stream = PySys_GetObject(name); // borrowed
    if (stream && stream != Py_None) py::handle(stream).attr("flush")();
  }
}

// The target as a file-system name: str through the file-system encoding, bytes as they are.
std::string targetName(const py::object &target) {
  py::object name = py::module_::import("os").attr("fspath")(target);
  if (PyUnicode_Check(name.ptr())) {
    PyObject *encoded = PyUnicode_EncodeFSDefault(name.ptr());
    if (!encoded) throw py::error_already_set();
    name = py::reinterpret_steal<py::object>(encoded);
  }
  std::string text = name.cast<std::string>();
  if (text.find('\0') != std::string::npos)
    throw py::value_error("Context: target contains a NUL character");
  return text;
}

struct Encoding {
  std::string format; // "ascii", "binary" or "compact"; empty: as `binary` says
  bool gzip = false;
};

// The encoding by the "rib" option's own words; anything else is refused before a file is made.
Encoding encodingOf(bool binary, const py::object &format, const py::object &compression) {
  Encoding encoding;
  if (!format.is_none()) {
    if (!PyUnicode_Check(format.ptr()))
      throw py::type_error("Context: format must be a str or None");
    encoding.format = format.cast<std::string>();
    if (encoding.format != "ascii" && encoding.format != "binary" && encoding.format != "compact")
      throw py::value_error("Context: format must be \"ascii\", \"binary\" or \"compact\", not \"" +
                            encoding.format + "\"");
    if (binary && encoding.format != "binary")
      throw py::value_error("Context: binary=True and format=\"" + encoding.format + "\" disagree");
  }
  if (!compression.is_none()) {
    if (!PyUnicode_Check(compression.ptr()) || compression.cast<std::string>() != "gzip")
      throw py::value_error("Context: compression must be \"gzip\" or None");
    encoding.gzip = true;
  }
  return encoding;
}

} // namespace

Context::Context(const py::object &target, bool binary, int precision, const py::object &format,
                 const py::object &compression)
    : serial_(gNextSerial++) {
  if (precision < 1 || precision > 17)
    throw py::value_error("Context: precision must be 1 to 17, not " + std::to_string(precision));
  const Encoding encoding = encodingOf(binary, format, compression);
  std::string name;
  if (!target.is_none()) name = targetName(target);
  // Only a str names a pipe or a renderer; a path-like object (or bytes) is always a file, which
  // the library is given so that it cannot read it as a command.
  const bool text = PyUnicode_Check(target.ptr());
  const bool command = text && (name[0] == '|' || startsRenderer(name.c_str()));
  command_ = command;
  const bool toFile = !target.is_none() && !command;
  if (toFile && name[0] != '/' && (name[0] == '|' || startsRenderer(name.c_str())))
    name = "./" + name;
  if (!target.is_none()) // named as the library's own reports name it
    targetText_ = command && name[0] == '|'
                      ? name.substr(1)
                      : py::module_::import("os").attr("fsdecode")(target).cast<std::string>();
  FILE *file = nullptr;
  if (toFile) {
    // The library ends the process when it cannot make its file; Python gets an OSError instead.
    // The file is opened once and handed over: a FIFO's reader sees one writer, not an end first.
    file = std::fopen(name.c_str(), "wb");
    if (!file) {
      PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, target.ptr());
      throw py::error_already_set();
    }
  } else {
    flushPythonStreams();
  }
  RtInt binaryWord = binary ? 1 : 0;
  RtInt precisionWord = precision;
  const char *formatWord = encoding.format.empty() ? nullptr : encoding.format.c_str();
  const char *compressionWord = encoding.gzip ? "gzip" : "none";
  rib::RibOption options[] = {{"binary", &binaryWord},
                              {"precision", &precisionWord},
                              {"compression", &compressionWord},
                              {nullptr, nullptr},
                              {nullptr, nullptr}};
  if (formatWord) options[3] = {"format", &formatWord};
  try {
    if (file)
      writer_.reset(new rib::RibWriter(file, name.c_str(), options));
    else
      writer_.reset(new rib::RibWriter(target.is_none() ? nullptr : name.c_str(), options));
  } catch (...) {
    if (file) std::fclose(file);
    throw;
  }
  standardOutput_ = target.is_none();
}

rib::StreamFailure Context::end() {
  if (!writer_) return {};
  // Ended as deleting the context ends it (a final newline, then the stream closed), keeping
  // what went wrong with the stream on the way.
  rib::RibEncoder &encoder = writer_->encoder;
  if (encoder.stream()) {
    encoder.endLine();
    encoder.close();
  }
  const rib::StreamFailure failure = encoder.failure();
  writer_.reset();
  if (standardOutput_) std::fflush(stdout);
  return failure;
}

void Context::close() {
  const rib::StreamFailure failure = end();
  if (!failure.error && !failure.commandStatus && !failure.commandSignal) return;
  const std::string target = standardOutput_ ? "standard output" : "\"" + targetText_ + "\"";
  if (failure.error) {
    const std::string message =
        std::string("cannot write the RIB to ") + (command_ ? "the command " : "") + target;
    PyErr_SetObject(
        PyExc_OSError,
        py::make_tuple(failure.error, message + ": " + std::strerror(failure.error)).ptr());
    throw py::error_already_set();
  }
  std::string message = "the RIB command " + target + " ended ";
  if (failure.commandStatus)
    message += "with status " + std::to_string(failure.commandStatus);
  else
    message += "by signal " + std::to_string(failure.commandSignal) + " (" +
               strsignal(failure.commandSignal) + ")";
  PyErr_SetObject(PyExc_OSError, py::str(message).ptr());
  throw py::error_already_set();
}

rib::RibWriter &Context::writer(const char *request) {
  if (!writer_) failRequest(PyExc_ValueError, request, "the context is closed");
  return *writer_;
}

} // namespace ribpy
