// ArraySizes.h - how many values each array of a request must hold, and the counts that size its
// parameter list: the library's own rules (PrimitiveCounts.h) applied before anything of the
// request is written, so that the library never reads past a Python object's data. The
// primitives' positional arrays are walked by the writer's own rules (PrimitiveArrays.h).
//
// ArraySizes<R>::check(steps, arguments...) raises ValueError for an array that is too short and
// returns the primitive's counts, or none for a request that is not a primitive (each parameter
// then carries its declared size). A request whose row has an array sized by other arguments, or
// a parameter list written by a body of its own, needs its rule here: RequestMethods.cpp refuses
// to compile a new row without one.
#pragma once

#include <cstring>
#include <optional>
#include <tuple>
#include <type_traits>

#include "Arguments.h"
#include "PrimitiveArrays.h"
#include "SameText.h"

namespace ribpy {

using Counts = std::optional<rib::PrimitiveCounts>;

/// The steps of the basis in force, which size patch meshes and curves: a writer's, or those of
/// the RIB being read.
struct BasisSteps {
  int u = 3;
  int v = 3;
};

using Int = Arg<sig::RtInt>;
using Float = Arg<sig::RtFloat>;
using Token = Arg<sig::RtToken>;
using Ints = Arg<sig::RtInt *>;
using Floats = Arg<sig::RtFloat *>;
using Points = Arg<sig::RtPoint *>;
using Texts = Arg<sig::RtToken *>;

/// True when a row's parameters include an array whose size other arguments give.
template <class Parameters> struct HasSizedArray;
template <class... P> struct HasSizedArray<std::tuple<P...>> {
  template <class T>
  static constexpr bool sized =
      std::is_same<T, sig::RtInt *>::value || std::is_same<T, sig::RtFloat *>::value ||
      std::is_same<T, sig::RtPoint *>::value || std::is_same<T, sig::RtToken *>::value ||
      std::is_same<T, sig::RtPointer>::value;
  static constexpr bool value = (sized<P> || ...);
};

/// Walks a primitive's positional arrays with the library's rules, each array of the walk
/// checked by the Python argument of the same name (need() raises ValueError when too short).
/// Counts are checked by the library when the request is made.
template <class... A> class NeedArrays : public rib::ArrayCheck {
public:
  explicit NeedArrays(std::pair<const char *, A &>... arrays) : arrays(arrays...) {}
  bool count(const char *, long long) override { return true; }
  bool array(const char *name, const void *, long long needed, const char *,
             rib::ArrayRole) override {
    std::apply(
        [&](auto &...named) {
          ((std::strcmp(named.first, name) == 0 ? named.second.need(needed) : void()), ...);
        },
        arrays);
    return true;
  }

private:
  std::tuple<std::pair<const char *, A &>...> arrays;
};

template <class... A> NeedArrays<A...> needArrays(std::pair<const char *, A &>... arrays) {
  return NeedArrays<A...>(arrays...);
}

template <class A> std::pair<const char *, A &> named(const char *name, A &array) {
  return {name, array};
}

struct SizedByRule {
  static constexpr bool kDefined = true;
};

/// Requests without sized arrays: quadrics carry their parametric corners; the others are not
/// primitives.
template <Request R> struct ArraySizes {
  static constexpr bool kDefined = false;
  template <class... A> static Counts check(const BasisSteps &, A &...) {
    if (Row<R>::kBody == BodyKind::Quadric) return rib::quadricCounts();
    return std::nullopt;
  }
};

// ---- Requests with bodies of their own that are not primitives ----

struct NotAPrimitive : SizedByRule {
  template <class... A> static Counts check(const BasisSteps &, A &...) { return std::nullopt; }
};
template <> struct ArraySizes<Request::Option> : NotAPrimitive {};
template <> struct ArraySizes<Request::LightSource> : NotAPrimitive {};
template <> struct ArraySizes<Request::AreaLightSource> : NotAPrimitive {};
template <> struct ArraySizes<Request::ArchiveBegin> : NotAPrimitive {};

template <> struct ArraySizes<Request::MakeOcclusion> : SizedByRule {
  template <class Name>
  static Counts check(const BasisSteps &, Int &npics, Texts &picfiles, Name &) {
    picfiles.need(npics.value);
    return std::nullopt;
  }
};

// ---- Options and transformations ----

template <> struct ArraySizes<Request::ColorSamples> : SizedByRule {
  static Counts check(const BasisSteps &, Int &n, Floats &nRGB, Floats &RGBn) {
    nRGB.need(3LL * n.value);
    RGBn.need(3LL * n.value);
    return std::nullopt;
  }
};

template <> struct ArraySizes<Request::TransformPoints> : SizedByRule {
  static Counts check(const BasisSteps &, Token &, Token &, Int &npoints, Points &points) {
    points.need(3LL * npoints.value);
    return std::nullopt;
  }
};

template <> struct ArraySizes<Request::MotionBegin> : SizedByRule {
  static Counts check(const BasisSteps &, Int &n, Floats &times) {
    times.need(n.value);
    return std::nullopt;
  }
};

// ---- Quadrics and polygons ----

template <> struct ArraySizes<Request::Hyperboloid> : SizedByRule {
  static Counts check(const BasisSteps &, Arg<sig::RtPoint> &, Arg<sig::RtPoint> &, Float &) {
    return rib::quadricCounts();
  }
};

template <> struct ArraySizes<Request::Polygon> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nvertices) {
    NeedArrays<> none;
    return rib::polygonArrays(none, nvertices.value).counts;
  }
};

template <> struct ArraySizes<Request::GeneralPolygon> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nloops, Ints &nvertices) {
    auto need = needArrays(named("nvertices", nvertices));
    return rib::generalPolygonArrays(need, nloops.value, nvertices.get()).counts;
  }
};

template <> struct ArraySizes<Request::PointsPolygons> : SizedByRule {
  static Counts check(const BasisSteps &, Int &npolys, Ints &nvertices, Ints &vertices) {
    auto need = needArrays(named("nvertices", nvertices), named("vertices", vertices));
    return rib::pointsPolygonsArrays(need, npolys.value, nvertices.get(), vertices.get()).counts;
  }
};

template <> struct ArraySizes<Request::PointsGeneralPolygons> : SizedByRule {
  static Counts check(const BasisSteps &, Int &npolys, Ints &nloops, Ints &nvertices,
                      Ints &vertices) {
    auto need = needArrays(named("nloops", nloops), named("nvertices", nvertices),
                           named("vertices", vertices));
    return rib::pointsGeneralPolygonsArrays(need, npolys.value, nloops.get(), nvertices.get(),
                                            vertices.get())
        .counts;
  }
};

// ---- Patches, curves and other primitives ----

template <> struct ArraySizes<Request::Patch> : SizedByRule {
  static Counts check(const BasisSteps &, Token &type) { return rib::patchCounts(type.get()); }
};

template <> struct ArraySizes<Request::PatchMesh> : SizedByRule {
  static Counts check(const BasisSteps &steps, Token &type, Int &nu, Token &uwrap, Int &nv,
                      Token &vwrap) {
    const bool bicubic = rib::sameText(type.get(), "bicubic");
    if (!bicubic && !rib::sameText(type.get(), "bilinear")) return std::nullopt; // not written
    return rib::patchMeshCounts(bicubic, nu.value, rib::sameText(uwrap.get(), "periodic"), nv.value,
                                rib::sameText(vwrap.get(), "periodic"), steps.u, steps.v);
  }
};

template <> struct ArraySizes<Request::TrimCurve> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nloops, Ints &ncurves, Ints &order, Floats &knot,
                      Floats &min, Floats &max, Ints &n, Floats &u, Floats &v, Floats &w) {
    auto need = needArrays(named("ncurves", ncurves), named("order", order), named("knot", knot),
                           named("min", min), named("max", max), named("n", n), named("u", u),
                           named("v", v), named("w", w));
    rib::trimCurveArrays(need, nloops.value, ncurves.get(), order.get(), knot.get(), min.get(),
                         max.get(), n.get(), u.get(), v.get(), w.get());
    return std::nullopt;
  }
};

template <> struct ArraySizes<Request::NuPatch> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nu, Int &uorder, Floats &uknot, Float &, Float &,
                      Int &nv, Int &vorder, Floats &vknot, Float &, Float &) {
    auto need = needArrays(named("uknot", uknot), named("vknot", vknot));
    return rib::nuPatchArrays(need, nu.value, uorder.value, uknot.get(), nv.value, vorder.value,
                              vknot.get())
        .counts;
  }
};

template <> struct ArraySizes<Request::Curves> : SizedByRule {
  static Counts check(const BasisSteps &steps, Token &type, Int &ncurves, Ints &nvertices,
                      Token &wrap) {
    auto need = needArrays(named("nvertices", nvertices));
    return rib::curvesArrays(need, type.get(), ncurves.value, nvertices.get(), wrap.get(), steps.v)
        .counts;
  }
};

template <> struct ArraySizes<Request::Points> : SizedByRule {
  static Counts check(const BasisSteps &, Int &npoints) {
    NeedArrays<> none;
    return rib::pointsArrays(none, npoints.value).counts;
  }
};

template <> struct ArraySizes<Request::SubdivisionMesh> : SizedByRule {
  static Counts check(const BasisSteps &, Token &, Int &nfaces, Ints &nvertices, Ints &vertices,
                      Int &ntags, Texts &tags, Ints &nargs, Ints &intargs, Floats &floatargs) {
    auto need =
        needArrays(named("nvertices", nvertices), named("vertices", vertices), named("tags", tags),
                   named("nargs", nargs), named("intargs", intargs), named("floatargs", floatargs));
    return rib::subdivisionMeshArrays(need, nfaces.value, nvertices.get(), vertices.get(),
                                      ntags.value, tags.get(), nargs.get(), intargs.get(),
                                      floatargs.get())
        .counts;
  }
};

template <> struct ArraySizes<Request::Blobby> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nleaf, Int &ncode, Ints &code, Int &nflt,
                      Floats &flt, Int &nstr, Texts &str) {
    auto need = needArrays(named("code", code), named("flt", flt), named("str", str));
    return rib::blobbyArrays(need, nleaf.value, ncode.value, code.get(), nflt.value, flt.get(),
                             nstr.value, str.get())
        .counts;
  }
};

template <> struct ArraySizes<Request::Procedural> : SizedByRule {
  static Counts check(const BasisSteps &, Arg<sig::RtPointer> &data, Arg<sig::RtBound> &,
                      Arg<sig::RtProcSubdivFunc> &kind, Arg<sig::RtProcFreeFunc> &) {
    data.need(kind.value->texts);
    return std::nullopt;
  }
};

} // namespace ribpy
