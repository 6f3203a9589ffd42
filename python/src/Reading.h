// Reading.h - rib.read: RIB read by the library's reader into Python objects, one rib.Request per
// request, in the form the request's method takes (every count given), so that a context's
// write(request) makes the same request again. The input is read as the requests are taken.
//
//     for request in rib.read("scene.rib"):       # a path, a path-like or a binary file object
//         print(request.name, request.args, request.params, request.line)
#pragma once

#include <pybind11/pybind11.h>

#include <string>

namespace ribpy {

/// One request as read: its name, its fixed arguments (numbers, str, numpy arrays, lists of str),
/// its parameters (token -> numpy array or list of str) and the line it starts on. `handle` is
/// the number a light or object it makes is referred to by in the same reading (0: none).
struct ReadRequest {
  std::string name;
  pybind11::tuple args;
  pybind11::dict params;
  unsigned long long line = 0;
  int handle = 0;
};

/// Defines rib.Request, rib.RibError and rib.read on the module.
void defineReading(pybind11::module_ &module);

} // namespace ribpy
