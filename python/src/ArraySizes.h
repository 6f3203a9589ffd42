// ArraySizes.h - how many values each array of a request must hold, and the counts that size its
// parameter list: the library's own rules (PrimitiveCounts.h) applied before anything of the
// request is written, so that the library never reads past a Python object's data.
//
// ArraySizes<R>::check(steps, arguments...) raises ValueError for an array that is too short and
// returns the primitive's counts, or none for a request that is not a primitive (each parameter
// then carries its declared size). A request whose row has an array sized by other arguments, or
// a parameter list written by a body of its own, needs its rule here: RequestMethods.cpp refuses
// to compile a new row without one.
#pragma once

#include <optional>
#include <tuple>
#include <type_traits>

#include "Arguments.h"
#include "PrimitiveCounts.h"
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
    return rib::vertexListCounts(nvertices.value);
  }
};

template <> struct ArraySizes<Request::GeneralPolygon> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nloops, Ints &nvertices) {
    nvertices.need(nloops.value);
    return rib::vertexListCounts(rib::sumOf(nvertices.get(), nloops.value));
  }
};

template <> struct ArraySizes<Request::PointsPolygons> : SizedByRule {
  static Counts check(const BasisSteps &, Int &npolys, Ints &nvertices, Ints &vertices) {
    nvertices.need(npolys.value);
    const long long nindices = rib::sumOf(nvertices.get(), npolys.value);
    vertices.need(nindices);
    return rib::indexedMeshCounts(vertices.get(), nindices, npolys.value);
  }
};

template <> struct ArraySizes<Request::PointsGeneralPolygons> : SizedByRule {
  static Counts check(const BasisSteps &, Int &npolys, Ints &nloops, Ints &nvertices,
                      Ints &vertices) {
    nloops.need(npolys.value);
    const int loops = rib::clampCount(rib::sumOf(nloops.get(), npolys.value));
    nvertices.need(loops);
    const long long nindices = rib::sumOf(nvertices.get(), loops);
    vertices.need(nindices);
    return rib::indexedMeshCounts(vertices.get(), nindices, npolys.value);
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
    ncurves.need(nloops.value);
    const long long curves = rib::sumOf(ncurves.get(), nloops.value);
    order.need(curves);
    n.need(curves);
    const rib::TrimCurveSizes sizes =
        rib::trimCurveSizes(nloops.value, ncurves.get(), order.get(), n.get());
    knot.need(sizes.knots);
    min.need(sizes.curves);
    max.need(sizes.curves);
    for (Floats *coordinate : {&u, &v, &w}) coordinate->need(sizes.points);
    return std::nullopt;
  }
};

template <> struct ArraySizes<Request::NuPatch> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nu, Int &uorder, Floats &uknot, Float &, Float &,
                      Int &nv, Int &vorder, Floats &vknot, Float &, Float &) {
    uknot.need(static_cast<long long>(nu.value) + uorder.value);
    vknot.need(static_cast<long long>(nv.value) + vorder.value);
    return rib::nuPatchCounts(nu.value, uorder.value, nv.value, vorder.value);
  }
};

template <> struct ArraySizes<Request::Curves> : SizedByRule {
  static Counts check(const BasisSteps &steps, Token &type, Int &ncurves, Ints &nvertices,
                      Token &wrap) {
    nvertices.need(ncurves.value);
    return rib::curvesCounts(rib::sameText(type.get(), "cubic"),
                             rib::sameText(wrap.get(), "periodic"), ncurves.value, nvertices.get(),
                             steps.v);
  }
};

template <> struct ArraySizes<Request::Points> : SizedByRule {
  static Counts check(const BasisSteps &, Int &npoints) {
    return rib::vertexListCounts(npoints.value);
  }
};

template <> struct ArraySizes<Request::SubdivisionMesh> : SizedByRule {
  static Counts check(const BasisSteps &, Token &, Int &nfaces, Ints &nvertices, Ints &vertices,
                      Int &ntags, Texts &tags, Ints &nargs, Ints &intargs, Floats &floatargs) {
    nvertices.need(nfaces.value);
    const long long nindices = rib::sumOf(nvertices.get(), nfaces.value);
    vertices.need(nindices);
    if (ntags.value > 0) { // the library reads the tag arrays only then
      tags.need(ntags.value);
      nargs.need(2LL * ntags.value);
      const rib::SubdivisionTagTotals totals = rib::subdivisionTagTotals(ntags.value, nargs.get());
      intargs.need(totals.integers);
      floatargs.need(totals.floats);
    }
    return rib::indexedMeshCounts(vertices.get(), nindices, nfaces.value);
  }
};

template <> struct ArraySizes<Request::Blobby> : SizedByRule {
  static Counts check(const BasisSteps &, Int &nleaf, Int &ncode, Ints &code, Int &nflt,
                      Floats &flt, Int &nstr, Texts &str) {
    code.need(ncode.value);
    flt.need(nflt.value);
    str.need(nstr.value);
    return rib::blobbyCounts(nleaf.value);
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
