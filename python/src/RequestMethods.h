// RequestMethods.h - the requests as methods of rib.Context, made from the request table.
#pragma once

#include <pybind11/pybind11.h>

namespace ribpy {

/// Adds one method per row of rib/RiRequests.def to `contextType` (the class rib.Context), named
/// as the C++ operation, with a docstring giving its arguments.
void installRequestMethods(pybind11::handle contextType);

} // namespace ribpy
