// Fuzz target: the geometric primitives whose array lengths and parameter counts follow from their
// positional arguments - PatchMesh, NuPatch, Curves, SubdivisionMesh, Blobby, the polygon forms,
// TrimCurve - with small random counts, steps, wrap and type texts. Every caller array is a heap
// block exactly as long as the request's rules say, so a read past one is caught. Where the
// arguments are well-formed, the counts are also worked out here from the rules and compared with
// the library's.
#include <algorithm>
#include <string>
#include <vector>

#include "FuzzRib.h"
#include "ParamDecl.h"
#include "PrimitiveCounts.h"
#include "SameText.h"

using namespace rib;

namespace {

using fuzzrib::ExactArray;

// One parameter of each storage class, of different widths.
const char *const kParamTokens[] = {"P", "Cs", "uniform float ufuzz", "constant float[2] cfuzz",
                                    "varying float[2] vfuzz"};

// Holds the parameter list of one primitive, its values sized for the given counts.
struct PrimParams {
  std::vector<RtToken> tokens;
  std::vector<RtPointer> values;
  std::vector<fuzzrib::ParamValues> held;

  PrimParams(FuzzedDataProvider &data, fuzzrib::TextStore &texts, const PrimitiveCounts &counts) {
    const int n = data.ConsumeIntegralInRange(0, 5);
    for (int i = 0; i < n; ++i) {
      RtToken token = texts.keep(kParamTokens[data.ConsumeIntegralInRange(0, 4)]);
      const ParamDecl *decl = lookupParam(token);
      long long elements = 1;
      if (decl->paramClass == kClassVertex)
        elements = counts.vertex;
      else if (decl->paramClass == kClassVarying)
        elements = counts.varying;
      else if (decl->paramClass == kClassUniform)
        elements = counts.uniform;
      fuzzrib::ParamValues block = fuzzrib::valuesFor(data, texts, token, elements);
      if (block.tooLarge) continue;
      tokens.push_back(token);
      values.push_back(block.block.get());
      held.push_back(std::move(block));
    }
  }
  RtInt count() const { return static_cast<RtInt>(tokens.size()); }
};

void expectCounts(const PrimitiveCounts &library, long long vertex, long long varying,
                  long long uniform) {
  if (library.vertex != vertex || library.varying != varying || library.uniform != uniform)
    fuzzrib::fail("primitive counts differ from the rules");
  if (library.problem) fuzzrib::fail("a well-formed primitive is reported as clamped");
}

// One of the usual texts, or now and then any text; `usualOnly` is cleared for the latter.
const char *textFrom(FuzzedDataProvider &data, fuzzrib::TextStore &texts,
                     std::initializer_list<const char *> usual, bool &usualOnly) {
  const size_t pick = data.ConsumeIntegralInRange<size_t>(0, usual.size());
  if (pick == usual.size()) {
    usualOnly = false;
    return texts.take(data, 12);
  }
  return texts.keep(usual.begin()[pick]);
}

const char *textFrom(FuzzedDataProvider &data, fuzzrib::TextStore &texts,
                     std::initializer_list<const char *> usual) {
  bool usualOnly = true;
  return textFrom(data, texts, usual, usualOnly);
}

// Now and then a null array instead of the exact one: the request must then read nothing from it.
template <typename T> T *orNull(FuzzedDataProvider &data, ExactArray<T> &array) {
  return data.ConsumeIntegralInRange(0, 31) == 0 ? nullptr : array.get();
}

long long clampedSum(ExactArray<RtInt> &values) {
  long long sum = 0;
  for (size_t i = 0; i < values.size(); ++i) sum += values[i];
  return std::max(0LL, sum);
}

bool allAtLeast(ExactArray<RtInt> &values, RtInt least) {
  for (size_t i = 0; i < values.size(); ++i)
    if (values[i] < least) return false;
  return true;
}

// Patches (or varying points) along one direction of a well-formed mesh.
long long meshPatches(bool bicubic, int n, bool periodic, int step) {
  if (!bicubic) return periodic ? n : n - 1;
  return periodic ? n / step : (n - 4) / step + 1;
}

// Each primitive returns whether its request is well-formed RIB (the library may still report
// counts that come out clamped, which the read-back then leaves unchecked).

bool fuzzPatchMesh(FuzzedDataProvider &data, fuzzrib::TextStore &texts, rib::RibWriter &rib) {
  bool usual = true;
  RtToken type = const_cast<RtToken>(textFrom(data, texts, {"bilinear", "bicubic"}, usual));
  const RtInt nu = data.ConsumeIntegralInRange(-2, 14), nv = data.ConsumeIntegralInRange(-2, 14);
  RtToken uwrap = const_cast<RtToken>(textFrom(data, texts, {"periodic", "nonperiodic"}, usual));
  RtToken vwrap = const_cast<RtToken>(textFrom(data, texts, {"periodic", "nonperiodic"}, usual));
  const bool bicubic = sameText(type, "bicubic");
  const bool up = sameText(uwrap, "periodic"), vp = sameText(vwrap, "periodic");
  const PrimitiveCounts library = patchMeshCounts(bicubic, nu, up, nv, vp, rib.uStep, rib.vStep);
  auto wellFormed = [&](int n, bool periodic, int step) {
    if (!bicubic) return n >= (periodic ? 1 : 2);
    return step >= 1 && n >= (periodic ? step : 4);
  };
  if (wellFormed(nu, up, rib.uStep) && wellFormed(nv, vp, rib.vStep)) {
    const long long upatches = meshPatches(bicubic, nu, up, rib.uStep);
    const long long vpatches = meshPatches(bicubic, nv, vp, rib.vStep);
    expectCounts(library, static_cast<long long>(nu) * nv,
                 (upatches + (up ? 0 : 1)) * (vpatches + (vp ? 0 : 1)), upatches * vpatches);
  }
  PrimParams params(data, texts, library);
  rib.PatchMeshV(type, nu, uwrap, nv, vwrap, params.count(), params.tokens.data(),
                 params.values.data());
  return usual;
}

bool fuzzNuPatch(FuzzedDataProvider &data, fuzzrib::TextStore &texts, rib::RibWriter &rib) {
  const RtInt nu = data.ConsumeIntegralInRange(-2, 10), uorder = data.ConsumeIntegralInRange(-1, 6);
  const RtInt nv = data.ConsumeIntegralInRange(-2, 10), vorder = data.ConsumeIntegralInRange(-1, 6);
  ExactArray<RtFloat> uknot(static_cast<long long>(nu) + uorder);
  ExactArray<RtFloat> vknot(static_cast<long long>(nv) + vorder);
  fuzzrib::fillFloats(data, uknot);
  fuzzrib::fillFloats(data, vknot);
  const PrimitiveCounts library = nuPatchCounts(nu, uorder, nv, vorder);
  if (uorder >= 1 && vorder >= 1 && nu >= uorder && nv >= vorder)
    expectCounts(library, static_cast<long long>(nu) * nv,
                 static_cast<long long>(nu - uorder + 2) * (nv - vorder + 2),
                 static_cast<long long>(nu - uorder + 1) * (nv - vorder + 1));
  PrimParams params(data, texts, library);
  const RtFloat umin = fuzzrib::takeFloat(data), umax = fuzzrib::takeFloat(data);
  const RtFloat vmin = fuzzrib::takeFloat(data), vmax = fuzzrib::takeFloat(data);
  rib.NuPatchV(nu, uorder, orNull(data, uknot), umin, umax, nv, vorder, orNull(data, vknot), vmin,
               vmax, params.count(), params.tokens.data(), params.values.data());
  return true;
}

bool fuzzCurves(FuzzedDataProvider &data, fuzzrib::TextStore &texts, rib::RibWriter &rib) {
  bool usual = true;
  RtToken type = const_cast<RtToken>(textFrom(data, texts, {"cubic", "linear"}, usual));
  RtToken wrap = const_cast<RtToken>(textFrom(data, texts, {"periodic", "nonperiodic"}, usual));
  const RtInt ncurves = data.ConsumeIntegralInRange(-1, 6);
  ExactArray<RtInt> nvertices(ncurves);
  fuzzrib::fillInts(data, nvertices, -2, 14);
  const bool cubic = sameText(type, "cubic"), periodic = sameText(wrap, "periodic");
  const PrimitiveCounts library =
      curvesCounts(cubic, periodic, ncurves, nvertices.get(), rib.vStep);
  const int least = cubic ? (periodic ? std::max(rib.vStep, 1) : 4) : (periodic ? 1 : 2);
  if (ncurves >= 0 && allAtLeast(nvertices, least) && (!cubic || rib.vStep >= 1)) {
    long long vertex = 0, varying = 0, uniform = 0;
    for (size_t i = 0; i < nvertices.size(); ++i) {
      const long long k = nvertices[i];
      long long segments =
          cubic ? (periodic ? k / rib.vStep : (k - 4) / rib.vStep + 1) : (periodic ? k : k - 1);
      vertex += k;
      varying += cubic ? segments + (periodic ? 0 : 1) : k;
      uniform += 1; // one uniform value per curve
    }
    expectCounts(library, vertex, varying, uniform);
  }
  PrimParams params(data, texts, library);
  rib.CurvesV(type, ncurves, orNull(data, nvertices), wrap, params.count(), params.tokens.data(),
              params.values.data());
  return usual;
}

// Largest index + 1 over well-formed (non-negative) indices; 1 for none.
long long pointsOf(ExactArray<RtInt> &indices) {
  long long largest = 0;
  for (size_t i = 0; i < indices.size(); ++i) largest = std::max<long long>(largest, indices[i]);
  return largest + 1;
}

bool fuzzSubdivisionMesh(FuzzedDataProvider &data, fuzzrib::TextStore &texts, rib::RibWriter &rib) {
  RtToken scheme = const_cast<RtToken>(textFrom(data, texts, {"catmull-clark", "loop"}));
  const RtInt nfaces = data.ConsumeIntegralInRange(-1, 5);
  ExactArray<RtInt> nvertices(nfaces);
  fuzzrib::fillInts(data, nvertices, -1, 5);
  ExactArray<RtInt> vertices(clampedSum(nvertices));
  fuzzrib::fillInts(data, vertices, -1, 30);
  const RtInt ntags = data.ConsumeIntegralInRange(-1, 3);
  ExactArray<RtToken> tags(ntags);
  for (size_t i = 0; i < tags.size(); ++i)
    tags[i] = const_cast<RtToken>(
        textFrom(data, texts, {"hole", "crease", "corner", "interpolateboundary"}));
  ExactArray<RtInt> nargs(2LL * std::max<RtInt>(ntags, 0));
  fuzzrib::fillInts(data, nargs, -1, 4);
  long long integers = 0, floats = 0;
  for (size_t i = 0; i < nargs.size(); ++i) (i % 2 == 0 ? integers : floats) += nargs[i];
  ExactArray<RtInt> intargs(integers);
  fuzzrib::fillInts(data, intargs, -5, 50);
  ExactArray<RtFloat> floatargs(floats);
  fuzzrib::fillFloats(data, floatargs);
  PrimitiveCounts library =
      indexedMeshCounts(vertices.get(), static_cast<long long>(vertices.size()), nfaces);
  if (allAtLeast(nvertices, 0) && allAtLeast(vertices, 0) && nfaces >= 0)
    expectCounts(library, pointsOf(vertices), pointsOf(vertices), nfaces);
  PrimParams params(data, texts, library);
  rib.SubdivisionMeshV(scheme, nfaces, orNull(data, nvertices), orNull(data, vertices), ntags,
                       orNull(data, tags), orNull(data, nargs), orNull(data, intargs),
                       orNull(data, floatargs), params.count(), params.tokens.data(),
                       params.values.data());
  return allAtLeast(nvertices, 0) && allAtLeast(vertices, 0) && allAtLeast(nargs, 0);
}

bool fuzzPolygons(FuzzedDataProvider &data, fuzzrib::TextStore &texts, rib::RibWriter &rib) {
  const RtInt npolys = data.ConsumeIntegralInRange(-1, 5);
  const bool general = data.ConsumeBool();
  ExactArray<RtInt> nloops(general ? npolys : 0);
  fuzzrib::fillInts(data, nloops, -1, 3);
  ExactArray<RtInt> nvertices(general ? clampedSum(nloops) : npolys);
  fuzzrib::fillInts(data, nvertices, -1, 6);
  ExactArray<RtInt> vertices(clampedSum(nvertices));
  fuzzrib::fillInts(data, vertices, -1, 30);
  PrimitiveCounts library =
      indexedMeshCounts(vertices.get(), static_cast<long long>(vertices.size()), npolys);
  if (npolys >= 0 && allAtLeast(nloops, 0) && allAtLeast(nvertices, 0) && allAtLeast(vertices, 0))
    expectCounts(library, pointsOf(vertices), pointsOf(vertices), npolys);
  PrimParams params(data, texts, library);
  if (general)
    rib.PointsGeneralPolygonsV(npolys, orNull(data, nloops), orNull(data, nvertices),
                               orNull(data, vertices), params.count(), params.tokens.data(),
                               params.values.data());
  else
    rib.PointsPolygonsV(npolys, orNull(data, nvertices), orNull(data, vertices), params.count(),
                        params.tokens.data(), params.values.data());
  return allAtLeast(nloops, 0) && allAtLeast(nvertices, 0) && allAtLeast(vertices, 0);
}

bool fuzzGeneralPolygon(FuzzedDataProvider &data, fuzzrib::TextStore &texts, rib::RibWriter &rib) {
  const RtInt nloops = data.ConsumeIntegralInRange(-1, 4);
  ExactArray<RtInt> nvertices(nloops);
  fuzzrib::fillInts(data, nvertices, -1, 6);
  const PrimitiveCounts library = vertexListCounts(sumOf(nvertices.get(), nloops));
  PrimParams params(data, texts, library);
  rib.GeneralPolygonV(nloops, orNull(data, nvertices), params.count(), params.tokens.data(),
                      params.values.data());
  return allAtLeast(nvertices, 0);
}

bool fuzzBlobby(FuzzedDataProvider &data, fuzzrib::TextStore &texts, rib::RibWriter &rib) {
  static const RtInt kCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 1000, 1001, 1002, 1003, -1, 8, 999};
  const RtInt ncode = data.ConsumeIntegralInRange(-1, 24);
  ExactArray<RtInt> code(ncode);
  for (size_t i = 0; i < code.size(); ++i)
    code[i] = data.ConsumeBool()
                  ? kCodes[data.ConsumeIntegralInRange<size_t>(0, std::size(kCodes) - 1)]
                  : data.ConsumeIntegralInRange(-3, 6);
  const BlobbyScan scan = scanBlobbyCode(code.get(), ncode);
  // Mostly the true numbers, sometimes wrong ones: either way the caller's numbers size the arrays.
  const bool truthful = data.ConsumeBool();
  const RtInt nleaf = truthful ? scan.leaves : data.ConsumeIntegralInRange(-1, 6);
  const RtInt nflt = truthful ? scan.floats : data.ConsumeIntegralInRange(-1, 40);
  const RtInt nstr = truthful ? scan.strings : data.ConsumeIntegralInRange(-1, 3);
  ExactArray<RtFloat> flt(nflt);
  fuzzrib::fillFloats(data, flt);
  ExactArray<RtToken> str(nstr);
  for (size_t i = 0; i < str.size(); ++i) str[i] = texts.take(data, 16);
  PrimParams params(data, texts, blobbyCounts(nleaf));
  rib.BlobbyV(nleaf, ncode, orNull(data, code), nflt, orNull(data, flt), nstr, orNull(data, str),
              params.count(), params.tokens.data(), params.values.data());
  return scan.badWord < 0;
}

bool fuzzTrimCurve(FuzzedDataProvider &data, rib::RibWriter &rib) {
  const RtInt nloops = data.ConsumeIntegralInRange(-1, 3);
  ExactArray<RtInt> ncurves(nloops);
  fuzzrib::fillInts(data, ncurves, -1, 3);
  const long long curves = clampedSum(ncurves);
  ExactArray<RtInt> order(curves), n(curves);
  fuzzrib::fillInts(data, order, -1, 5);
  fuzzrib::fillInts(data, n, -1, 6);
  long long knots = 0, points = 0;
  for (long long i = 0; i < curves; ++i) {
    knots += order[i] + n[i];
    points += n[i];
  }
  ExactArray<RtFloat> knot(knots), min(curves), max(curves), u(points), v(points), w(points);
  for (ExactArray<RtFloat> *array : {&knot, &min, &max, &u, &v, &w})
    fuzzrib::fillFloats(data, *array);
  rib.TrimCurve(nloops, orNull(data, ncurves), orNull(data, order), orNull(data, knot),
                orNull(data, min), orNull(data, max), orNull(data, n), orNull(data, u),
                orNull(data, v), orNull(data, w));
  return allAtLeast(ncurves, 0) && allAtLeast(order, 0) && allAtLeast(n, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzzrib::TextStore texts;
  rib::RibWriter &rib = fuzzrib::freshContext(data.ConsumeBool());
  // The basis steps size later bicubic meshes and cubic curves; a copy of a matrix is numbers.
  RtBasis copy;
  std::copy(&RiCatmullRomBasis[0][0], &RiCatmullRomBasis[0][0] + 16, &copy[0][0]);
  rib.Basis(data.ConsumeBool() ? RiBezierBasis : copy, data.ConsumeIntegralInRange(-1, 4),
            RiBSplineBasis, data.ConsumeIntegralInRange(-1, 4));
  bool wellFormed = false;
  switch (data.ConsumeIntegralInRange(0, 7)) {
  case 0: wellFormed = fuzzPatchMesh(data, texts, rib); break;
  case 1: wellFormed = fuzzNuPatch(data, texts, rib); break;
  case 2: wellFormed = fuzzCurves(data, texts, rib); break;
  case 3: wellFormed = fuzzSubdivisionMesh(data, texts, rib); break;
  case 4: wellFormed = fuzzPolygons(data, texts, rib); break;
  case 5: wellFormed = fuzzGeneralPolygon(data, texts, rib); break;
  case 6: wellFormed = fuzzBlobby(data, texts, rib); break;
  default: wellFormed = fuzzTrimCurve(data, rib); break;
  }
  const std::string out = fuzzrib::written(rib);
  if (!rib.encoder.binary) fuzzrib::checkAsciiRib(out);
  fuzzrib::checkReadsBack(out, wellFormed);
  return 0;
}
