// Context.h - rib.Context: a RIB stream of its own, written by the library's RibWriter and
// independent of the C interface's current context.
//
//     Context context(target, /*binary=*/false, /*precision=*/6, format, compression);
//     context.writer("Sphere").SphereV(1, -1, 1, 360, 0, nullptr, nullptr);
//     context.close();    // final newline; file closed, pipe waited for; OSError if any failed
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "RibWriter.h"

namespace ribpy {

/// A light source as Python holds it: its number in the stream of the context that made it.
struct LightHandle {
  uint64_t context;
  RtInt number;
};

/// A retained object as Python holds it.
struct ObjectHandle {
  uint64_t context;
  RtInt number;
};

class Context {
public:
  /// Opens `target` (None: standard output; a str "|command": a pipe into the command; otherwise
  /// a file, always so for a path-like object or bytes) with the encoding given through the
  /// library's "rib" option words. OSError when the file cannot be made, ValueError for a precision
  /// outside 1 to 17.
  Context(const pybind11::object &target, bool binary, int precision,
          const pybind11::object &format, const pybind11::object &compression);
  ~Context() { end(); }
  Context(const Context &) = delete;
  Context &operator=(const Context &) = delete;

  /// Ends the output as deleting a context does: a final newline, then the file is closed or the
  /// pipe's command waited for. A write, flush or close that failed on the way, or a command that
  /// ended badly, then raises OSError naming the target and the reason. Closing again does
  /// nothing.
  void close();
  bool closed() const { return !writer_; }
  /// The writer of an open context; ValueError naming `request` once it is closed.
  rib::RibWriter &writer(const char *request);
  /// The handle this context made for the light or object that a reading numbered `number`
  /// (Request.handle), for the requests read after it that refer to it.
  pybind11::object &readHandle(bool light, int number) {
    return (light ? readLights_ : readObjects_)[number];
  }
  /// Tells the handles of this context from those of another.
  uint64_t serial() const { return serial_; }

private:
  /// Ends the output; what went wrong with the stream, if anything.
  rib::StreamFailure end();

  std::unique_ptr<rib::RibWriter> writer_;
  std::unordered_map<int, pybind11::object> readLights_, readObjects_;
  std::string targetText_; // the target as the OSError of a failed write names it
  bool standardOutput_ = false;
  bool command_ = false;
  uint64_t serial_;
};

} // namespace ribpy
