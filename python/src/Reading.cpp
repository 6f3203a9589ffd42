// rib.read: the library's reader and request dispatch, which check every request of the input
// (arguments, declarations, array sizes) and hand it on as a call of the interface, into a
// context of the module's own that turns each call into a rib.Request. The reader is asked for
// the next request only when the last one has been taken, so the input streams through. The
// arrays' lengths are the request's own size rules (ArraySizes.h) applied to the values handed
// over, the rules the methods check their arrays by, so a request read is exactly one the method
// takes again.
#include "Reading.h"

#include <pybind11/numpy.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "ArraySizes.h"
#include "Diagnostics.h"
#include "ParamDecl.h"
#include "ReadSource.h"
#include "RibDispatch.h"
#include "RibReader.h"
#include "rib/RibRead.h"

namespace py = pybind11;

namespace ribpy {
namespace {

template <Request R> using SignatureOfRow = SignatureOf<typename Row<R>::Signature>;

// ---- The values a call hands over, into the methods' argument holders ----

void lend(Arg<sig::RtFloat> &a, RtFloat v) { a.value = v; }
void lend(Arg<sig::RtInt> &a, RtInt v) { a.value = v; }
void lend(Arg<sig::RtBoolean> &a, RtBoolean v) { a.value = v; }
void lend(TextArg &a, const char *v) { a.value = const_cast<char *>(v); }
template <size_t N> void lend(FixedFloats<N> &a, const void *v) { a.values.lend(v); }
void lend(Arg<sig::RtBasis> &a, RtBasis v) { a.values.lend(v); }
void lend(ArrayArg &a, const void *v) { a.values.lend(v); }
template <class Handle> void lend(HandleArg<Handle> &a, RtPointer v) {
  a.handle.number = static_cast<RtInt>(reinterpret_cast<intptr_t>(v));
}
template <class Function> void lend(NamedArg<Function> &a, Function v) { a.value = v; }
void lend(Arg<sig::RtProcSubdivFunc> &a, RtProcSubdivFunc v) { a.value = rib::proceduralOf(v); }
template <class Any> void lend(NoFunction &, Any) {}

// ---- ... and out as Python objects ----

// Bytes that are not UTF-8 are escaped as os.fsdecode escapes them, so that the text written
// again is the text read, byte for byte.
py::object text(const char *value) {
  if (!value) return py::none();
  PyObject *decoded =
      PyUnicode_DecodeUTF8(value, static_cast<Py_ssize_t>(std::strlen(value)), "surrogateescape");
  if (!decoded) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(decoded);
}

template <class T> py::object array(const void *data, size_t count) {
  return py::array_t<T>(static_cast<py::ssize_t>(count), static_cast<const T *>(data));
}

py::object texts(const RtToken *values, size_t count) {
  py::list list;
  for (size_t i = 0; i < count; ++i) list.append(text(values[i]));
  return std::move(list);
}

py::object toPython(const Arg<sig::RtFloat> &a) { return py::float_(a.value); }
py::object toPython(const Arg<sig::RtInt> &a) { return py::int_(a.value); }
py::object toPython(const Arg<sig::RtBoolean> &a) { return py::bool_(a.value != 0); }
py::object toPython(const TextArg &a) { return text(a.value); }
template <size_t N> py::object toPython(const FixedFloats<N> &a) {
  return array<RtFloat>(a.values.pointer(), N);
}
py::object toPython(const Arg<sig::RtMatrix> &a) {
  return array<RtFloat>(a.values.pointer(), 16).attr("reshape")(4, 4);
}
py::object toPython(const Arg<sig::RtBasis> &a) {
  if (const rib::StandardBasis *basis = rib::basisOf(a.get())) return text(basis->name);
  return array<RtFloat>(a.values.pointer(), 16).attr("reshape")(4, 4);
}
py::object toPython(const Arg<sig::RtInt *> &a) {
  return array<RtInt>(a.values.pointer(), a.values.needed());
}
py::object toPython(const Arg<sig::RtFloat *> &a) {
  return array<RtFloat>(a.values.pointer(), a.values.needed());
}
py::object toPython(const Arg<sig::RtPoint *> &a) {
  return array<RtFloat>(a.values.pointer(), a.values.needed());
}
py::object toPython(const Arg<sig::RtToken *> &a) {
  return texts(a.values.texts(), a.values.needed());
}
py::object toPython(const Arg<sig::RtPointer> &a) {
  return texts(static_cast<const RtToken *>(a.values.pointer()), a.values.needed());
}
template <class Handle> py::object toPython(const HandleArg<Handle> &a) {
  return py::int_(a.handle.number);
}
py::object toPython(const Arg<sig::RtFilterFunc> &a) { return text(rib::filterName(a.value)); }
py::object toPython(const Arg<sig::RtErrorHandler> &a) {
  return text(rib::errorHandlerName(a.value));
}
py::object toPython(const Arg<sig::RtProcSubdivFunc> &a) {
  return a.value ? text(a.value->name) : py::none();
}
py::object toPython(const NoFunction &) { return py::none(); }

// A parameter's values, as many as its declaration and the primitive's counts give.
py::object parameterValues(const rib::ParamDecl &decl, const rib::PrimitiveCounts *counts,
                           RtPointer values) {
  const int64_t count = rib::paramValueCount(decl, counts);
  const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  switch (rib::paramTypeInfo(decl.type).kind) {
  case rib::ValueKind::Float: return array<RtFloat>(values, n);
  case rib::ValueKind::Integer: return array<RtInt>(values, n);
  case rib::ValueKind::String: return texts(static_cast<const RtToken *>(values), n);
  case rib::ValueKind::None: break;
  }
  return py::none();
}

// ---- The context that records ----

/// Every operation of the interface becomes a ReadRequest; the lights and objects it makes are
/// numbered in reading order. The list-gathering forms come from ForwardingContext, which hands
/// them to the writing forms below (it forwards nothing: every operation is recorded here).
class Recorder : public rib::ForwardingContext {
public:
  Recorder() : ForwardingContext(static_cast<RiContext &>(*this)) {}

  std::deque<ReadRequest> requests; // recorded, not yet taken
  unsigned long long line = 0;
  /// A Python error met while recording (no memory): reading stops being recorded.
  bool failed = false;
  std::shared_ptr<py::error_already_set> error;

#define RI_UNPAREN(...) __VA_ARGS__
#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  Result Name Parameters override {                                                                \
    return record<Request::Name, Result>(std::forward_as_tuple Arguments, 0, nullptr, nullptr);    \
  }
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  Result Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[], RtPointer values[]) override {  \
    return record<Request::Name, Result>(std::forward_as_tuple Arguments, n, tokens, values);      \
  }
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  Result Name##V VParameters override {                                                            \
    return record<Request::Name, Result>(std::forward_as_tuple VArguments, 0, nullptr, nullptr);   \
  }
#include "rib/RiRequests.def"
#undef RI_UNPAREN

private:
  template <Request R, class Result, class Values>
  Result record(Values values, RtInt n, RtToken tokens[], RtPointer parameters[]) {
    int handle = 0;
    if constexpr (R == Request::LightSource || R == Request::AreaLightSource) handle = ++lights_;
    if constexpr (R == Request::ObjectBegin) handle = ++objects_;
    if constexpr (R == Request::Declare) {
      // The reader looks its tokens up in the declarations a context keeps, as a writer's do.
      char *name = std::get<0>(values), *declaration = std::get<1>(values);
      if (name && declaration && *declaration) declarations_.declare(name, declaration);
    }
    if constexpr (R == Request::Basis)
      steps_ = BasisSteps{std::get<1>(values), std::get<3>(values)};
    if (!failed) {
      try {
        ReadRequest request;
        request.name = Row<R>::kName;
        request.line = line;
        request.handle = handle;
        if constexpr (R == Request::ArchiveRecord)
          request.args =
              archiveRecord(std::get<0>(values), std::get<1>(values), std::get<2>(values));
        else
          request.args = convert<R>(values, n, tokens, parameters, request.params,
                                    std::make_index_sequence<SignatureOfRow<R>::kCount>());
        requests.push_back(std::move(request));
      } catch (py::error_already_set &e) {
        failed = true;
        error = std::make_shared<py::error_already_set>(std::move(e));
      }
    }
    if constexpr (R == Request::ArchiveBegin)
      return static_cast<Result>(std::get<0>(values)); // the archive's name
    else if constexpr (std::is_same<Result, RtLightHandle>::value)
      return reinterpret_cast<RtLightHandle>(static_cast<intptr_t>(handle));
    else if constexpr (std::is_same<Result, RtToken>::value)
      return std::get<0>(values);
    else if constexpr (std::is_same<Result, RtPoint *>::value)
      return std::get<3>(values);
    else
      return Result();
  }

  // ArchiveRecord: the record's text, formatted as the library formats it.
  static py::tuple archiveRecord(RtToken type, char *format, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format ? format : "", copy);
    va_end(copy);
    std::string formatted(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&formatted[0], formatted.size() + 1, format, arguments);
    return py::make_tuple(text(type), text(formatted.c_str()));
  }

  template <Request R, class Values, size_t... I>
  py::tuple convert(Values &values, RtInt n, RtToken tokens[], RtPointer parameters[],
                    py::dict &params, std::index_sequence<I...>) {
    using Parameters = typename SignatureOfRow<R>::Parameters;
    std::tuple<Arg<std::tuple_element_t<I, Parameters>>...> arguments;
    (lend(std::get<I>(arguments), std::get<I>(values)), ...);
    // The reader checked every array against these rules: they give its length.
    const Counts counts =
        std::apply([&](auto &...a) { return ArraySizes<R>::check(steps_, a...); }, arguments);
    for (RtInt i = 0; i < n; ++i) {
      const rib::ParamDecl *decl = declarations_.lookup(tokens[i]);
      if (!decl) continue;
      py::object value = parameterValues(*decl, counts ? &*counts : nullptr, parameters[i]);
      if (!value.is_none()) params[text(tokens[i])] = value;
    }
    return py::make_tuple(toPython(std::get<I>(arguments))...);
  }

  rib::Declarations declarations_; // what the requests recorded declared, as a context keeps them
  BasisSteps steps_;
  int lights_ = 0;
  int objects_ = 0;
};

// ---- The reader around it ----

/// One input read into a Recorder a request at a time. Problems are reported as the library's
/// reader reports them ("NAME:LINE: message" through its diagnostics), or, when strict, the
/// first one is kept and nothing after it is recorded.
class Reading : public rib::RibHandler, public rib::RibProblemSink {
public:
  Reading(std::string name, bool strict, FILE *file)
      : name_(std::move(name)), strict_(strict), dispatch_(recorder, *this), reader_(*this) {
    reader_.startFile(file);
  }

  Recorder recorder;
  std::string firstProblem; // when strict
  int readError = 0;        // the errno of a read that failed: the input ends there

  // An input left before its end (the iterator closed or dropped) still gives back what it
  // declared; the blocks it leaves open are no problems then.
  ~Reading() override {
    if (ended_) return;
    quiet_ = true;
    dispatch_.abandonInput();
  }

  /// Reads on until something was recorded; false at the end of the input.
  bool readNext() { return reader_.readNext(); }
  /// After the last request has been taken (the input's declarations hold until then): the
  /// blocks left open are problems.
  void endInput() {
    ended_ = true;
    dispatch_.endInput();
  }

  void request(const rib::RibRequest &request) override {
    recorder.line = request.where.line;
    dispatch_.request(request);
  }
  void structure(std::string_view text, rib::RibPosition where) override {
    recorder.line = where.line;
    dispatch_.structure(text, where);
  }
  void error(std::string_view message, rib::RibPosition where) override {
    dispatch_.error(message, where);
  }
  void readFailed(int error, std::string_view, rib::RibPosition) override {
    readError = error != 0 ? error : EIO;
  }
  void problem(rib::RibPosition where, std::string_view message) override {
    if (quiet_) return;
    std::string line = name_ + ":" + std::to_string(where.line) + ": ";
    line.append(message.data(), message.size());
    for (char &c : line)
      if (c == '\n' || c == '\r') c = ' ';
    if (!strict_) {
      line += '\n';
      rib::emitDiagnostic(rib::DiagnosticKind::Problem, line.data(), line.size());
      return;
    }
    if (!firstProblem.empty()) return;
    firstProblem = line;
    recorder.failed = true; // nothing after it is handed out
  }

private:
  std::string name_;
  bool strict_;
  bool ended_ = false;
  bool quiet_ = false;
  rib::RibDispatch dispatch_;
  rib::RibReader reader_;
};

PyObject *gRibError = nullptr;

/// What rib.read returns: the requests as they are read, then RibError at the first problem when
/// strict, or what made the input fail. It holds one request's values at a time, whatever the
/// size of the input; close() (or its end, or its deletion) closes the input.
class RequestIterator {
public:
  RequestIterator(const py::object &source, bool strict) : source_(new ReadSource(source)) {
    rib::predeclareParams(); // the standard names, as a context has them (declared once)
    reading_.reset(new Reading(source_->name(), strict, source_->file()));
  }

  ReadRequest next();
  void close() {
    if (busy_) throw py::value_error(kBusy); // from the file object's read()
    release();
  }

private:
  static constexpr const char *kBusy = "rib.read: the input is being read already";

  void release() {
    reading_.reset();
    source_.reset();
  }
  [[noreturn]] void end(py::error_already_set error) {
    release();
    throw error;
  }

  std::unique_ptr<ReadSource> source_;
  std::unique_ptr<Reading> reading_;
  bool ended_ = false;      // the reader has read the whole input
  bool inputEnded_ = false; // and the dispatch has ended it
  bool busy_ = false;       // a file object's read() may call next() or close()
};

ReadRequest RequestIterator::next() {
  if (busy_) throw py::value_error(kBusy);
  busy_ = true;
  struct Idle {
    bool &busy;
    ~Idle() { busy = false; }
  } idle{busy_};
  while (reading_) {
    Recorder &recorder = reading_->recorder;
    if (!recorder.requests.empty()) {
      ReadRequest request = std::move(recorder.requests.front());
      recorder.requests.pop_front();
      return request;
    }
    if (recorder.error) end(*recorder.error);
    if (!reading_->firstProblem.empty()) {
      const std::string &problem = reading_->firstProblem;
      PyObject *message = PyUnicode_DecodeUTF8(
          problem.data(), static_cast<Py_ssize_t>(problem.size()), "backslashreplace");
      if (message) PyErr_SetObject(gRibError, message);
      Py_XDECREF(message);
      end(py::error_already_set());
    }
    if (ended_) {
      // A failed input has no end of its own: its open blocks are not problems.
      if (reading_->readError != 0) end(source_->failure(reading_->readError));
      if (inputEnded_) break;
      inputEnded_ = true;
      reading_->endInput();
      continue;
    }
    ended_ = !reading_->readNext();
  }
  release();
  throw py::stop_iteration();
}

std::string requestRepr(const ReadRequest &request) {
  return "<rib.Request " + request.name + " line " + std::to_string(request.line) + ">";
}

} // namespace

void defineReading(py::module_ &module) {
  gRibError = PyErr_NewExceptionWithDoc(
      "rib.RibError", "A problem in RIB read with rib.read(..., strict=True).", nullptr, nullptr);
  module.attr("RibError") = py::handle(gRibError);

  py::class_<ReadRequest>(module, "Request",
                          "One request read by rib.read, as its method takes it again.")
      .def_readonly("name", &ReadRequest::name, "The request's name (its method's name).")
      .def_readonly("args", &ReadRequest::args,
                    "The fixed arguments, every count given: numbers, str, numpy arrays, lists of "
                    "str; lights and objects by their number in this reading.")
      .def_readonly("params", &ReadRequest::params,
                    "The parameters: token -> numpy array, or list of str.")
      .def_readonly("line", &ReadRequest::line, "The line the request starts on.")
      .def_readonly("handle", &ReadRequest::handle,
                    "The number of the light or object it makes (0: none).")
      .def("__repr__", &requestRepr);

  py::class_<RequestIterator>(module, "_RequestIterator",
                              "The requests of one input, read as they are taken.")
      .def("__iter__", [](py::object self) { return self; })
      .def("__next__", &RequestIterator::next)
      .def("close", &RequestIterator::close,
           "Stops reading and closes the input (a file object stays open).");

  module.def(
      "read",
      [](const py::object &source, bool strict) {
        return std::unique_ptr<RequestIterator>(new RequestIterator(source, strict));
      },
      py::arg("source"), py::kw_only(), py::arg("strict") = false,
      R"(read(source, *, strict=False)

Reads RIB (ASCII, binary, compact, gzip-compressed) and yields one rib.Request per request, as it
reads: one request's values are held at a time. source: a path (str, bytes or path-like) or a
binary file object, read while the requests are taken. A path that cannot be read raises OSError
here, a read that fails midway when the requests before it have been taken. Texts that are not
UTF-8 come as str with their bytes escaped ("surrogateescape"), which a context writes back as
those bytes. Problems in the input are reported on standard error as "NAME:LINE: message" and the
requests at fault are left out; with strict=True the first one raises rib.RibError after the
requests before it.)");
}

} // namespace ribpy
