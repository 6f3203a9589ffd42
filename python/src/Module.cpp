// The Python module rib: rib.Context with a method per request, the handles it returns, and
// rib.last_error().
#include <pybind11/pybind11.h>

#include <string>

#include "Context.h"
#include "Reading.h"
#include "RequestMethods.h"

namespace py = pybind11;
using ribpy::Context;
using ribpy::LightHandle;
using ribpy::ObjectHandle;
using ribpy::ReadRequest;

namespace {

constexpr const char *kModuleDoc =
    R"(Writes RenderMan scene descriptions (RIB) through the RIB library.

    import numpy, rib
    with rib.Context("ball.rib") as ri:            # None: standard output; "|cmd": a pipe
        ri.Format(640, 480, 1)
        ri.Projection("perspective", fov=45)
        ri.WorldBegin()
        ri.Color((1, 0.5, 0))
        ri.Surface("matte", Kd=0.8)
        ri.Sphere(1, -1, 1, 360)
        ri.WorldEnd()

Every request of the C++ interface is a method of rib.Context with the same name and fixed
arguments; its parameter list is keyword arguments and/or one dict. numpy float32 C-contiguous
arrays are written without a copy.)";

constexpr const char *kContextDoc =
    R"(Context(target=None, *, binary=False, precision=6, format=None, compression=None)

A RIB stream of its own, independent of the C interface's current context. target: a file path
(str or path-like, always a file), None for standard output, or a str "|command" for a pipe into
the command. binary writes float arrays in the binary encoding, as format="binary" does;
format="compact" writes every token binary; compression="gzip" compresses the output (standard
gzip). precision is the significant digits of text floats (1 to 17; 9 makes every float read
back exactly). As a context manager, leaving the block closes it; a write that failed raises
OSError then (or from close()). Requests on a closed context raise ValueError.)";

// A request read by rib.read, made again through its method: lights and objects it refers to by
// their number in the reading become this context's handles for them.
py::object writeRequest(py::object self, const ReadRequest &request) {
  Context &context = self.cast<Context &>();
  py::list args(request.args);
  const bool illuminate = request.name == "Illuminate";
  if ((illuminate || request.name == "ObjectInstance") && args.size() > 0) {
    py::object &handle = context.readHandle(illuminate, args[0].cast<int>());
    if (!handle)
      throw py::value_error(request.name + ": refers to a " + (illuminate ? "light" : "object") +
                            " this context has not written");
    args[0] = handle;
  }
  py::object method = self.attr(request.name.c_str());
  py::object result = request.params.empty() ? method(*args) : method(*args, request.params);
  if (request.handle) context.readHandle(request.name != "ObjectBegin", request.handle) = result;
  return result;
}

template <class Handle> void defineHandle(py::module_ &module, const char *name, const char *doc) {
  const std::string type = name;
  py::class_<Handle>(module, name, doc)
      .def_property_readonly(
          "number", [](const Handle &handle) { return handle.number; },
          "The number that the RIB stream gives it.")
      .def("__repr__", [type](const Handle &handle) {
        return "<rib." + type + " " + std::to_string(handle.number) + ">";
      });
}

} // namespace

PYBIND11_MODULE(rib, module) {
  module.doc() = kModuleDoc;
  module.attr("__version__") = RIB_VERSION;

  defineHandle<LightHandle>(module, "LightHandle",
                            "A light source of one Context, from LightSource or AreaLightSource; "
                            "Illuminate takes it.");
  defineHandle<ObjectHandle>(module, "ObjectHandle",
                             "A retained object of one Context, from ObjectBegin; ObjectInstance "
                             "takes it.");

  py::class_<Context> context(module, "Context", kContextDoc);
  context
      .def(py::init<const py::object &, bool, int, const py::object &, const py::object &>(),
           py::arg("target") = py::none(), py::kw_only(), py::arg("binary") = false,
           py::arg("precision") = 6, py::arg("format") = py::none(),
           py::arg("compression") = py::none())
      .def("close", &Context::close,
           "Ends the output as deleting a context does: a final newline, then the file is closed "
           "or the pipe's command waited for. Closing again does nothing.")
      .def_property_readonly("closed", &Context::closed, "True once the context is closed.")
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](Context &self, const py::args &) { self.close(); })
      .def("write", &writeRequest, py::arg("request"),
           "Writes a request read by rib.read, as its method writes it; returns what the method "
           "returns.");
  ribpy::installRequestMethods(context);
  ribpy::defineReading(module);

  module.def(
      "last_error", [] { return RiLastError; },
      "The code of the last error the library reported (RIE_* of rib/ri.h; 0 for none).");
}
