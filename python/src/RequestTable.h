// RequestTable.h - the requests as the Python methods see them, from the library's request table
// (rib/RiRequests.def), as the library makes its own operations from it.
//
// Each row gives:
//   - Request::Name, one enumerator per row, in the table's order;
//   - sig::Name, the row's parameter list read in the namespace sig, where the interface's type
//     names are tags: a function type that still tells a colour (sig::RtColor) from a float array
//     (sig::RtFloat *) and an index array (sig::RtInt *) after C++ would have decayed them all;
//   - Row<Request::Name>: the request's name, its argument names, how the library writes it (its
//     form in RequestForms.h), and
//     write(), which calls the RibWriter operation (the V form for a parameter list) with the
//     converted arguments.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "RequestForms.h"
#include "RibWriter.h"

namespace ribpy {

enum class Request {
#define RI_REQUEST(Result, Name, Parameters, Arguments) Name,
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed) Name,
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments) Name,
#include "rib/RiRequests.def"
  Count
};

constexpr int kRequestCount = static_cast<int>(Request::Count);

/// A row's argument text, "(radius, zmin, zmax, thetamax)", as its names.
inline std::vector<std::string> splitNames(const char *text) {
  std::vector<std::string> names;
  std::string name;
  for (const char *p = text; *p; ++p) {
    if (*p == '(' || *p == ' ') continue;
    if (*p == ',' || *p == ')') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name += *p;
    }
  }
  return names;
}

/// How the library writes a request (the table's body kinds); Variadic for the rows whose
/// variable part is not a parameter list (MotionBegin's times, ArchiveRecord's text).
enum class BodyKind { Line, Named, Listed, Quadric, Unlisted, Own, Variadic };

namespace sig {

// The type names of the interface as distinct tags.
struct RtVoid {};
struct RtFloat {};
struct RtInt {};
struct RtBoolean {};
struct RtToken {};
struct RtColor {};
struct RtPoint {};
struct RtBound {};
struct RtMatrix {};
struct RtBasis {};
struct RtPointer {};
struct RtLightHandle {};
struct RtObjectHandle {};
struct RtArchiveHandle {};
struct RtFilterFunc {};
struct RtErrorHandler {};
struct RtArchiveCallback {};
struct RtProcSubdivFunc {};
struct RtProcFreeFunc {};
struct va_list {};

#define RI_REQUEST(Result, Name, Parameters, Arguments) using Name = Result Parameters;
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  using Name = Result Parameters;
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  using Name = Result VParameters;
#include "rib/RiRequests.def"

} // namespace sig

template <Request R> struct Row;

#define RI_ROW_FORM(Written, Read, Name, ArgumentText, List)                                       \
  using Signature = sig::Name;                                                                     \
  static constexpr const char *kName = #Name;                                                      \
  static constexpr const char *kArguments = ArgumentText;                                          \
  static constexpr bool kList = List;                                                              \
  static constexpr BodyKind kBody = BodyKind::Written;
#define RI_ROW(Name, ArgumentText, List) RIB_WITH_FORM(Name, RI_ROW_FORM, Name, ArgumentText, List)

#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  template <> struct Row<Request::Name> {                                                          \
    RI_ROW(Name, #Arguments, false)                                                                \
    template <class... A>                                                                          \
    static auto write(rib::RibWriter &w, RtInt, RtToken *, RtPointer *, A &...a) {                 \
      return w.Name(a.get()...);                                                                   \
    }                                                                                              \
  };
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  template <> struct Row<Request::Name> {                                                          \
    RI_ROW(Name, #Arguments, true)                                                                 \
    template <class... A>                                                                          \
    static auto write(rib::RibWriter &w, RtInt n, RtToken *tokens, RtPointer *values, A &...a) {   \
      return w.Name##V(a.get()..., n, tokens, values);                                             \
    }                                                                                              \
  };
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  template <> struct Row<Request::Name> {                                                          \
    RI_ROW_FORM(Variadic, None, Name, #VArguments, false)                                          \
    template <class... A>                                                                          \
    static auto write(rib::RibWriter &w, RtInt, RtToken *, RtPointer *, A &...a) {                 \
      return w.Name##V(a.get()...);                                                                \
    }                                                                                              \
  };
#include "rib/RiRequests.def"
#undef RI_ROW
#undef RI_ROW_FORM

/// Parameter and result types of a row's function type.
template <class F> struct SignatureOf;
template <class R, class... P> struct SignatureOf<R(P...)> {
  using Result = R;
  using Parameters = std::tuple<P...>;
  static constexpr size_t kCount = sizeof...(P);
};

} // namespace ribpy
