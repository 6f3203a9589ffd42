// MakeStubs: writes rib.pyi, the type stubs of the module rib, from the request table the module's
// methods are made from (python/src/RequestTable.h), with the same argument names, the types the
// methods take, and an overload for each short form (python/src/ShortForms.h).
//
//     rib_python_stubs build/python/rib.pyi
#include <cstdio>
#include <string>
#include <vector>

#include "RequestTable.h"
#include "ShortForms.h"

namespace ribpy {
namespace {

// ---- The Python type of each of the interface's type names ----

template <class T> struct PyType;
#define RIBPY_PY_TYPE(Tag, Text)                                                                   \
  template <> struct PyType<Tag> { static constexpr const char *kText = Text; };
RIBPY_PY_TYPE(sig::RtVoid, "None")
RIBPY_PY_TYPE(sig::RtFloat, "_Float")
RIBPY_PY_TYPE(sig::RtInt, "_Int")
RIBPY_PY_TYPE(sig::RtBoolean, "int")
RIBPY_PY_TYPE(sig::RtToken, "str")
RIBPY_PY_TYPE(char *, "str")
RIBPY_PY_TYPE(sig::RtColor, "_Floats")
RIBPY_PY_TYPE(sig::RtPoint, "_Floats")
RIBPY_PY_TYPE(sig::RtBound, "_Floats")
RIBPY_PY_TYPE(sig::RtMatrix, "_Floats")
RIBPY_PY_TYPE(sig::RtBasis, "Union[str, _Floats]")
RIBPY_PY_TYPE(sig::RtInt *, "_Ints")
RIBPY_PY_TYPE(sig::RtFloat *, "_Floats")
RIBPY_PY_TYPE(sig::RtPoint *, "_Floats")
RIBPY_PY_TYPE(sig::RtToken *, "_Texts")
RIBPY_PY_TYPE(sig::RtPointer, "_Texts")
RIBPY_PY_TYPE(sig::RtLightHandle, "LightHandle")
RIBPY_PY_TYPE(sig::RtObjectHandle, "ObjectHandle")
RIBPY_PY_TYPE(sig::RtArchiveHandle, "Optional[str]")
RIBPY_PY_TYPE(sig::RtFilterFunc, "str")
RIBPY_PY_TYPE(sig::RtErrorHandler, "str")
RIBPY_PY_TYPE(sig::RtProcSubdivFunc, "str")
RIBPY_PY_TYPE(sig::RtProcFreeFunc, "None")
RIBPY_PY_TYPE(sig::RtArchiveCallback, "None")
RIBPY_PY_TYPE(sig::va_list, "object")
#undef RIBPY_PY_TYPE

// Declare gives the declared name; TransformPoints writes and gives nothing back.
template <class T> const char *resultType() { return PyType<T>::kText; }
template <> const char *resultType<sig::RtToken>() { return "Optional[str]"; }
template <> const char *resultType<sig::RtPoint *>() { return "None"; }

constexpr const char *kHeader =
    R"("""Type stubs of the module rib, made from the library's request table."""
import os
from typing import (IO, Any, Dict, Iterator, Mapping, Optional, Sequence, SupportsFloat,
                    SupportsIndex, Tuple, Union, overload)

import numpy
import numpy.typing

_Float = SupportsFloat
_Int = SupportsIndex
_Floats = Union[SupportsFloat, Sequence[SupportsFloat], Sequence[Sequence[SupportsFloat]],
                numpy.typing.NDArray[Any]]
_Ints = Union[SupportsIndex, Sequence[SupportsIndex], numpy.typing.NDArray[Any]]
_Texts = Union[str, Sequence[str]]
_Value = Union[_Floats, _Texts]
_Target = Union[None, str, bytes, os.PathLike[str], os.PathLike[bytes]]

__version__: str

def last_error() -> int: ...

class RibError(Exception): ...

class Request:
    @property
    def name(self) -> str: ...
    @property
    def args(self) -> Tuple[Any, ...]: ...
    @property
    def params(self) -> Dict[str, Any]: ...
    @property
    def line(self) -> int: ...
    @property
    def handle(self) -> int: ...

class _RequestIterator(Iterator[Request]):
    def __next__(self) -> Request: ...
    def close(self) -> None: ...

# Texts that are not UTF-8 come as str with their bytes escaped ("surrogateescape").
def read(source: Union[str, bytes, os.PathLike[str], os.PathLike[bytes], IO[bytes]], *,
         strict: bool = False) -> _RequestIterator: ...

class LightHandle:
    @property
    def number(self) -> int: ...

class ObjectHandle:
    @property
    def number(self) -> int: ...

class Context:
    def __init__(self, target: _Target = None, *, binary: bool = False, precision: int = 6,
                 format: Optional[str] = None, compression: Optional[str] = None) -> None: ...
    def close(self) -> None: ...
    @property
    def closed(self) -> bool: ...
    def __enter__(self) -> Context: ...
    def __exit__(self, *exception: object) -> None: ...
    def write(self, request: Request) -> Any: ...
)";

/// ArchiveRecord's row ends in printf arguments: the method takes the format's values.
template <class Parameters> constexpr bool takesPrintfArguments() {
  constexpr size_t count = std::tuple_size<Parameters>::value;
  if constexpr (count == 0)
    return false;
  else
    return std::is_same<std::tuple_element_t<count - 1, Parameters>, sig::va_list>::value;
}

// One signature of a request's method: the fixed arguments at `kept` (all of them for the full
// form), then the parameter list or the format's values.
template <Request R, size_t... I>
void writeMethod(FILE *out, bool overloaded, const std::vector<bool> &kept,
                 std::index_sequence<I...>) {
  using Signature = SignatureOf<typename Row<R>::Signature>;
  using Parameters = typename Signature::Parameters;
  const char *types[] = {PyType<std::tuple_element_t<I, Parameters>>::kText..., ""};
  const std::vector<std::string> names = splitNames(Row<R>::kArguments);
  constexpr bool printf = takesPrintfArguments<Parameters>();
  if (overloaded) std::fprintf(out, "    @overload\n");
  std::fprintf(out, "    def %s(self", Row<R>::kName);
  const size_t fixed = printf ? names.size() - 1 : names.size();
  for (size_t i = 0; i < fixed; ++i)
    if (kept[i]) std::fprintf(out, ", %s: %s", names[i].c_str(), types[i]);
  if (Row<R>::kList)
    std::fprintf(out, ", parameters: Optional[Mapping[str, _Value]] = None, /, "
                      "**keywords: _Value");
  else if (printf)
    std::fprintf(out, ", /, *%s: object", names.back().c_str());
  else if (fixed > 0)
    std::fprintf(out, ", /");
  std::fprintf(out, ") -> %s: ...\n", resultType<typename Signature::Result>());
}

template <Request R> void writeRequest(FILE *out) {
  constexpr size_t count = SignatureOf<typename Row<R>::Signature>::kCount;
  constexpr auto indexes = std::make_index_sequence<count>();
  constexpr ShortForm form = shortForm<R>();
  std::vector<bool> kept(count + 1, true);
  writeMethod<R>(out, form.omitted > 0, kept, indexes);
  if (form.omitted == 0) return;
  for (size_t i = 0; i < count; ++i) kept[i] = !isOmitted(form, static_cast<int>(i));
  writeMethod<R>(out, true, kept, indexes);
  if (form.optionalTail == 0) return;
  for (size_t i = count - form.optionalTail; i < count; ++i) kept[i] = false;
  writeMethod<R>(out, true, kept, indexes);
}

} // namespace
} // namespace ribpy

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rib_python_stubs OUT.pyi\n");
    return 2;
  }
  FILE *out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::fputs(ribpy::kHeader, out);
#define RI_REQUEST(Result, Name, ...) ribpy::writeRequest<ribpy::Request::Name>(out);
#define RI_LIST_REQUEST(Result, Name, ...) ribpy::writeRequest<ribpy::Request::Name>(out);
#define RI_VARIADIC_REQUEST(Result, Name, ...) ribpy::writeRequest<ribpy::Request::Name>(out);
#include "rib/RiRequests.def"
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
