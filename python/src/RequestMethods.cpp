// The request methods of rib.Context, one per row of the request table. Each reads its fixed
// arguments, applies the request's size rules and reads its parameter list, so that every array
// is checked against what the library will read for it; only then does it call the RibWriter
// operation. A refused request raises before any of its bytes is written.
//
// The methods are plain CPython methods with the vectorcall convention (METH_FASTCALL): a call
// costs about what a Python function call does, which is what scenes of many small requests need.
#include "RequestMethods.h"

#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "ArraySizes.h"
#include "ParamList.h"
#include "ShortForms.h"

namespace py = pybind11;

namespace ribpy {
namespace {

// ---- What a row says about its arguments ----

template <Request R> const std::vector<std::string> &argumentNames() {
  static const std::vector<std::string> names = splitNames(Row<R>::kArguments);
  return names;
}

template <Request R> using SignatureOfRow = SignatureOf<typename Row<R>::Signature>;

/// ArchiveRecord's row ends in printf arguments: Python formats them.
template <Request R> constexpr bool takesPrintfArguments() {
  using Parameters = typename SignatureOfRow<R>::Parameters;
  constexpr size_t count = std::tuple_size<Parameters>::value;
  if constexpr (count == 0)
    return false;
  else
    return std::is_same<std::tuple_element_t<count - 1, Parameters>, sig::va_list>::value;
}

// ---- Results ----

RtInt handleNumber(RtPointer handle) {
  return static_cast<RtInt>(reinterpret_cast<intptr_t>(handle));
}

PyObject *toPython(sig::RtLightHandle, RtLightHandle handle, const Context &context) {
  return py::cast(LightHandle{context.serial(), handleNumber(handle)}).release().ptr();
}
PyObject *toPython(sig::RtObjectHandle, RtObjectHandle handle, const Context &context) {
  return py::cast(ObjectHandle{context.serial(), handleNumber(handle)}).release().ptr();
}
// Declare: the declared name.
PyObject *toPython(sig::RtToken, RtToken name, const Context &) {
  if (!name) Py_RETURN_NONE;
  return PyUnicode_DecodeUTF8(name, static_cast<Py_ssize_t>(std::strlen(name)), "replace");
}
// ArchiveBegin: the archive's name, which ReadArchive takes.
PyObject *toPython(sig::RtArchiveHandle, RtArchiveHandle handle, const Context &context) {
  return toPython(sig::RtToken{}, static_cast<RtToken>(handle), context);
}
// TransformPoints: a RIB writer has no transformation to apply and gives no points back.
PyObject *toPython(sig::RtPoint *, RtPoint *, const Context &) { Py_RETURN_NONE; }

const char *resultName(sig::RtVoid) { return "None"; }
const char *resultName(sig::RtLightHandle) { return "LightHandle"; }
const char *resultName(sig::RtObjectHandle) { return "ObjectHandle"; }
const char *resultName(sig::RtToken) { return "str"; }
const char *resultName(sig::RtArchiveHandle) { return "str"; }
const char *resultName(sig::RtPoint *) { return "None"; }

// ---- The call ----

/// Where a call's fixed arguments are: a slot per argument of the full form (null for a count
/// that a short call leaves out, or for SubdivisionMesh's tag arrays left out), then the
/// parameter dict, if one is given.
template <Request R> struct Layout {
  PyObject *slots[SignatureOfRow<R>::kCount + 1] = {};
  PyObject *dict = nullptr;
  bool shortCall = false;
};

/// The parameter dict at args[at], or TypeError.
PyObject *dictAt(const char *request, PyObject *const *args, size_t at) {
  if (!PyDict_Check(args[at]))
    failRequest(PyExc_TypeError, request,
                "takes parameters after its %zu arguments as one dict, not %s", at,
                typeName(args[at]));
  return args[at];
}

[[noreturn]] void wrongCount(const char *request, bool list, size_t fixed, size_t shortCount,
                             size_t bare, size_t given) {
  std::string counts = std::to_string(fixed) + " arguments";
  if (shortCount < fixed) {
    counts += " (" + std::to_string(shortCount);
    if (bare < shortCount) counts += " or " + std::to_string(bare);
    counts += " without the counts its arrays give)";
  }
  if (list)
    failRequest(PyExc_TypeError, request,
                "takes %s, then parameters (one dict and/or keywords); %zu given", counts.c_str(),
                given);
  failRequest(PyExc_TypeError, request, "takes %s, %zu given", counts.c_str(), given);
}

template <Request R> Layout<R> layoutOf(PyObject *const *args, size_t positional, PyObject *names) {
  constexpr size_t fixed = SignatureOfRow<R>::kCount;
  constexpr ShortForm form = shortForm<R>();
  constexpr size_t shortCount = fixed - form.omitted;
  constexpr size_t bare = shortCount - form.optionalTail;
  constexpr bool list = Row<R>::kList;
  const char *request = Row<R>::kName;
  Layout<R> layout;
  if constexpr (takesPrintfArguments<R>()) {
    if (positional < fixed - 1 || names)
      failRequest(PyExc_TypeError, request,
                  "takes %zu arguments and the format's values, %zu given", fixed - 1, positional);
    return layout; // read from args as they are
  }
  if (!list && names) failRequest(PyExc_TypeError, request, "takes no parameters");
  // The full form, unless its last argument is the dict of a short call one shorter.
  size_t given = 0;
  if (list && positional == fixed + 1) {
    given = fixed;
  } else if (positional == fixed &&
             !(list && shortCount + 1 == fixed && PyDict_Check(args[fixed - 1]))) {
    given = fixed;
  } else if (form.omitted > 0 &&
             (positional == shortCount || (list && positional == shortCount + 1))) {
    given = shortCount;
  } else if (bare < shortCount && (positional == bare || (list && positional == bare + 1))) {
    given = bare;
  } else {
    wrongCount(request, list, fixed, shortCount, bare, positional);
  }
  if (positional > given) layout.dict = dictAt(request, args, given);
  layout.shortCall = given < fixed;
  size_t next = 0;
  for (size_t i = 0; i < fixed; ++i) {
    if (layout.shortCall && isOmitted(form, static_cast<int>(i))) continue;
    if (next < given) layout.slots[i] = args[next++];
  }
  return layout;
}

/// Calls f on the element of `tuple` at a run-time index.
template <class Tuple, class F, size_t... I>
void visitAt(Tuple &tuple, size_t index, F &&f, std::index_sequence<I...>) {
  ((I == index ? f(std::get<I>(tuple)) : void()), ...);
}

/// The values that give the vertex count of Polygon and Points, and how many make a vertex.
const Values &vertexParameter(const char *request, const ParamList &params, int &per) {
  static const struct {
    const char *token;
    int per;
  } kVertexTokens[] = {{"P", 3}, {"Pw", 4}, {"Pz", 1}};
  for (const auto &vertex : kVertexTokens) {
    if (const Values *values = params.find(vertex.token)) {
      per = vertex.per;
      return *values;
    }
  }
  failRequest(PyExc_TypeError, request, "takes its vertex count, or \"P\" to count the vertices");
}

/// A short call's counts, from the arrays as they were read (no Python code runs).
template <Request R, class Arguments>
void fillCounts(Arguments &arguments, const ParamList *params) {
  constexpr ShortForm form = shortForm<R>();
  constexpr auto indexes = std::make_index_sequence<std::tuple_size<Arguments>::value>();
  for (int k = 0; k < form.omitted; ++k) {
    const OmittedCount &omitted = form.counts[k];
    const Values *values = nullptr;
    int per = omitted.per;
    if (omitted.array == kVertexParameter) {
      values = &vertexParameter(Row<R>::kName, *params, per);
    } else {
      visitAt(
          arguments, static_cast<size_t>(omitted.array),
          [&](auto &array) {
            if constexpr (std::is_base_of<ArrayArg, std::decay_t<decltype(array)>>::value)
              values = &array.values;
          },
          indexes);
    }
    const size_t size = values->size();
    if (size % static_cast<size_t>(per) != 0)
      fail(PyExc_ValueError, values->where(), "has %zu values, not a multiple of %d", size, per);
    if (size / static_cast<size_t>(per) > static_cast<size_t>(INT_MAX))
      fail(PyExc_ValueError, values->where(), "has more values than the library counts");
    const RtInt count = static_cast<RtInt>(size / static_cast<size_t>(per));
    visitAt(
        arguments, static_cast<size_t>(omitted.count),
        [&](auto &argument) {
          if constexpr (std::is_same<std::decay_t<decltype(argument)>, Int>::value)
            argument.value = count;
        },
        indexes);
  }
}

template <Request R, class Arguments>
PyObject *write(rib::RibWriter &writer, const Context &context, ParamList *params,
                Arguments &arguments) {
  using Result = typename SignatureOfRow<R>::Result;
  if constexpr (takesPrintfArguments<R>()) {
    std::apply(
        [&](auto &type, auto &, auto &text) {
          writer.ArchiveRecord(type.get(), const_cast<char *>("%s"), text.get());
        },
        arguments);
    Py_RETURN_NONE;
  } else {
    auto call = [&](auto &...a) {
      if (params)
        return Row<R>::write(writer, params->count(), params->tokens(), params->values(), a...);
      return Row<R>::write(writer, 0, nullptr, nullptr, a...);
    };
    if constexpr (std::is_same<Result, sig::RtVoid>::value) {
      std::apply(call, arguments);
      Py_RETURN_NONE;
    } else {
      return toPython(Result{}, std::apply(call, arguments), context);
    }
  }
}

template <Request R, size_t... I>
PyObject *call(PyObject *self, PyObject *const *args, size_t positional, PyObject *names,
               std::index_sequence<I...>) {
  using Parameters = typename SignatureOfRow<R>::Parameters;
  static_assert(ArraySizes<R>::kDefined || (!HasSizedArray<Parameters>::value &&
                                            !(Row<R>::kList && Row<R>::kBody == BodyKind::Own)),
                "a request with arrays sized by other arguments, or with a parameter list written "
                "by a body of its own, needs its rule in ArraySizes.h");

  Context &context = py::handle(self).cast<Context &>();
  context.writer(Row<R>::kName); // a closed context refuses before reading anything
  const Layout<R> layout = layoutOf<R>(args, positional, names);

  // First every argument and parameter is read into memory of the call's own (or borrowed from
  // a buffer held until the write). Reading may run Python code: a number's __float__, a numpy
  // conversion, which may change arrays read before, declare a token anew, change the basis or
  // close the context. So nothing is checked until the last value is read.
  std::tuple<Arg<std::tuple_element_t<I, Parameters>>...> arguments;
  const std::vector<std::string> &labels = argumentNames<R>();
  auto load = [&](auto &argument, size_t index) {
    const Where where{Row<R>::kName, labels[index].c_str(), false};
    if constexpr (std::is_same<std::decay_t<decltype(argument)>, Arg<sig::va_list>>::value)
      argument.load(args[index - 1], args + index, positional - index, where);
    else if constexpr (takesPrintfArguments<R>())
      argument.load(args[index], where, context);
    else if (layout.slots[index])
      argument.load(layout.slots[index], where, context);
  };
  (load(std::get<I>(arguments), I), ...);
  (void)load; // requests without arguments
  // Only a request with a parameter list makes one: most calls are small requests without.
  std::conditional_t<Row<R>::kList, ParamList, std::nullptr_t> params{};
  if constexpr (Row<R>::kList) params.load(Row<R>::kName, layout.dict, args + positional, names);
  if constexpr (shortForm<R>().omitted > 0) {
    if (layout.shortCall) {
      if constexpr (Row<R>::kList)
        fillCounts<R>(arguments, &params);
      else
        fillCounts<R>(arguments, nullptr);
    }
  }

  // Then the checks and the write, with no Python code between them.
  rib::RibWriter &writer = context.writer(Row<R>::kName);
  const BasisSteps steps{writer.uStep, writer.vStep};
  const Counts counts =
      std::apply([&](auto &...a) { return ArraySizes<R>::check(steps, a...); }, arguments);
  if constexpr (Row<R>::kList) {
    params.check(counts ? &*counts : nullptr);
    return write<R>(writer, context, &params, arguments);
  } else {
    return write<R>(writer, context, nullptr, arguments);
  }
}

template <Request R>
PyObject *method(PyObject *self, PyObject *const *args, Py_ssize_t nargs, PyObject *names) {
  try {
    return call<R>(self, args, static_cast<size_t>(nargs), names,
                   std::make_index_sequence<SignatureOfRow<R>::kCount>());
  } catch (const RequestError &error) {
    PyErr_SetString(error.type, error.message.c_str());
  } catch (py::error_already_set &error) {
    error.restore();
  } catch (const py::builtin_exception &error) {
    error.set_error();
  } catch (const std::bad_alloc &) {
    PyErr_NoMemory();
  } catch (const std::exception &error) {
    PyErr_SetString(PyExc_RuntimeError, error.what());
  }
  return nullptr;
}

// ---- Docstrings ----

template <Request R, size_t... I> std::string docstring(std::index_sequence<I...>) {
  using Signature = SignatureOfRow<R>;
  using Parameters = typename Signature::Parameters;
  const char *types[] = {Arg<std::tuple_element_t<I, Parameters>>::kType..., ""};
  const std::vector<std::string> &names = argumentNames<R>();
  constexpr bool printf = takesPrintfArguments<R>();
  // The first lines are the signature that help() and inspect read.
  std::string text = std::string(Row<R>::kName) + "($self";
  for (size_t i = 0; i < names.size(); ++i)
    text += (printf && i + 1 == names.size() ? ", /, *" : ", ") + names[i];
  if (!printf && !names.empty()) text += ", /";
  if (Row<R>::kList) text += ", parameters=None, **keywords";
  text += ")\n--\n\n";
  text += std::string("Writes the request ") + Row<R>::kName + "; returns " +
          resultName(typename Signature::Result{}) + ".\n";
  for (size_t i = 0; i < names.size(); ++i) text += "\n  " + names[i] + ": " + types[i];
  if (printf)
    text += "\n\nThe record is format % values when values are given, else format as it is.";
  constexpr ShortForm form = shortForm<R>();
  if constexpr (form.omitted > 0) {
    text += "\n\nShort form: " + std::string(Row<R>::kName) + "(";
    const char *separator = "";
    for (size_t i = 0; i < names.size(); ++i) {
      if (isOmitted(form, static_cast<int>(i))) continue;
      text += separator + names[i];
      separator = ", ";
    }
    text += "), each left-out count taken from the array it counts";
    text += form.counts[0].array == kVertexParameter ? " (\"P\", \"Pw\" or \"Pz\")." : ".";
  }
  if (Row<R>::kList)
    text += "\n\nParameters: one dict after the arguments, for tokens that are not Python names\n"
            "({\"uniform float extra\": 2}), and/or keyword arguments (Kd=0.5, P=points), written\n"
            "in that order. A value is a number, a sequence, a numpy array of any shape\n"
            "(float32 C-contiguous arrays are read without a copy), or str / a sequence of str.";
  return text;
}

PyMethodDef gMethods[kRequestCount];
std::string gDocstrings[kRequestCount];

template <Request R> void install(py::handle contextType) {
  const int row = static_cast<int>(R);
  gDocstrings[row] = docstring<R>(std::make_index_sequence<SignatureOfRow<R>::kCount>());
  gMethods[row] = {Row<R>::kName,
                   reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(&method<R>)),
                   METH_FASTCALL | METH_KEYWORDS, gDocstrings[row].c_str()};
  PyObject *descriptor =
      PyDescr_NewMethod(reinterpret_cast<PyTypeObject *>(contextType.ptr()), &gMethods[row]);
  if (!descriptor) throw py::error_already_set();
  py::object held = py::reinterpret_steal<py::object>(descriptor);
  if (PyObject_SetAttrString(contextType.ptr(), Row<R>::kName, descriptor) != 0)
    throw py::error_already_set();
}

} // namespace

void installRequestMethods(py::handle contextType) {
#define RI_REQUEST(Result, Name, ...) install<Request::Name>(contextType);
#define RI_LIST_REQUEST(Result, Name, ...) install<Request::Name>(contextType);
#define RI_VARIADIC_REQUEST(Result, Name, ...) install<Request::Name>(contextType);
#include "rib/RiRequests.def"
}

} // namespace ribpy
