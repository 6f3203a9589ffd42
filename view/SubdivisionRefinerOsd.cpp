// The refinement through OpenSubdiv: it knows Catmull-Clark's rules for creases, corners, holes
// and extraordinary points exactly, and puts the refined points on the limit surface.
#include "SubdivisionRefiner.h"

#include <algorithm>
#include <memory>

#include <opensubdiv/far/error.h>
#include <opensubdiv/far/primvarRefiner.h>
#include <opensubdiv/far/topologyDescriptor.h>
#include <opensubdiv/far/topologyRefinerFactory.h>

namespace view {
namespace {

using namespace OpenSubdiv;

// One element of a channel as the primvar refiner adds it up.
struct Element {
  float v[4] = {0, 0, 0, 0};
  void Clear() { std::fill(v, v + 4, 0.0f); }
  void AddWithWeight(const Element &src, float weight) {
    for (int i = 0; i < 4; ++i)
      v[i] += weight * src.v[i];
  }
};

std::vector<Element> load(const float *values, int width, size_t count) {
  std::vector<Element> elements(count);
  for (size_t e = 0; e < count; ++e)
    std::copy(values + e * width, values + (e + 1) * width, elements[e].v);
  return elements;
}

void store(const std::vector<Element> &elements, int width, std::vector<float> &out) {
  out.clear();
  out.reserve(elements.size() * width);
  for (const Element &e : elements)
    out.insert(out.end(), e.v, e.v + width);
}

// The library reports bad topology on standard error by default; here a failed refinement is
// the caller's to report.
void quiet(Far::ErrorType, const char *) {}
void quietWarning(const char *) {}

enum class Rule { Vertex, Varying, FaceVarying, Uniform };

// Carries `elements` from the control mesh down to `level` by `rule`.
std::vector<Element> refine(const Far::TopologyRefiner &refiner, int level, Rule rule,
                            std::vector<Element> elements) {
  const Far::PrimvarRefiner primvars(refiner);
  for (int l = 1; l <= level; ++l) {
    const Far::TopologyLevel &child = refiner.GetLevel(l);
    std::vector<Element> next;
    switch (rule) {
    case Rule::Vertex:
      next.resize(child.GetNumVertices());
      primvars.Interpolate(l, elements, next);
      break;
    case Rule::Varying:
      next.resize(child.GetNumVertices());
      primvars.InterpolateVarying(l, elements, next);
      break;
    case Rule::FaceVarying:
      next.resize(child.GetNumFVarValues(0));
      primvars.InterpolateFaceVarying(l, elements, next, 0);
      break;
    case Rule::Uniform:
      next.resize(child.GetNumFaces());
      primvars.InterpolateFaceUniform(l, elements, next);
      break;
    }
    elements.swap(next);
  }
  return elements;
}

} // namespace

bool refineSubdivision(const SubdivisionTopology &topology, const float *points, int level,
                       const std::vector<SubdivisionChannel> &channels, RefinedSurface &out) {
  Far::SetErrorCallback(quiet);
  Far::SetWarningCallback(quietWarning);
  level = std::clamp(level, 1, 10);
  const int nfaces = static_cast<int>(topology.faceSizes.size());
  const int ncorners = static_cast<int>(topology.faceVertices.size());

  // Face corners each hold their own facevarying value: values are not shared across faces.
  std::vector<int> cornerValues(topology.faceVertices.size());
  for (int i = 0; i < ncorners; ++i)
    cornerValues[i] = i;
  Far::TopologyDescriptor::FVarChannel fvar;
  fvar.numValues = ncorners;
  fvar.valueIndices = cornerValues.data();

  Far::TopologyDescriptor desc;
  desc.numVertices = topology.npoints;
  desc.numFaces = nfaces;
  desc.numVertsPerFace = topology.faceSizes.data();
  desc.vertIndicesPerFace = topology.faceVertices.data();
  desc.numCreases = static_cast<int>(topology.creaseSharpness.size());
  desc.creaseVertexIndexPairs = topology.creaseEdges.data();
  desc.creaseWeights = topology.creaseSharpness.data();
  desc.numCorners = static_cast<int>(topology.corners.size());
  desc.cornerVertexIndices = topology.corners.data();
  desc.cornerWeights = topology.cornerSharpness.data();
  desc.numHoles = static_cast<int>(topology.holes.size());
  desc.holeIndices = topology.holes.data();
  desc.numFVarChannels = 1;
  desc.fvarChannels = &fvar;

  Sdc::Options options;
  options.SetVtxBoundaryInterpolation(topology.boundaryCorners
                                          ? Sdc::Options::VTX_BOUNDARY_EDGE_AND_CORNER
                                          : Sdc::Options::VTX_BOUNDARY_EDGE_ONLY);
  options.SetFVarLinearInterpolation(Sdc::Options::FVAR_LINEAR_ALL);
  using Factory = Far::TopologyRefinerFactory<Far::TopologyDescriptor>;
  std::unique_ptr<Far::TopologyRefiner> refiner(
      Factory::Create(desc, Factory::Options(Sdc::SCHEME_CATMARK, options)));
  if (!refiner)
    return false;
  Far::TopologyRefiner::UniformOptions uniform(level);
  uniform.fullTopologyInLastLevel = true; // the limit needs every relation of the last level
  refiner->RefineUniform(uniform);
  const Far::TopologyLevel &last = refiner->GetLevel(level);

  // The points, carried down and then moved onto the limit surface.
  std::vector<Element> refined =
      refine(*refiner, level, Rule::Vertex, load(points, 3, topology.npoints));
  std::vector<Element> limit(refined.size());
  Far::PrimvarRefiner(*refiner).Limit(refined, limit);
  out.points.resize(limit.size());
  for (size_t i = 0; i < limit.size(); ++i)
    out.points[i] = {limit[i].v[0], limit[i].v[1], limit[i].v[2]};

  out.quads.clear();
  std::vector<int> keptFaces;
  for (int f = 0; f < last.GetNumFaces(); ++f) {
    if (last.IsFaceHole(f))
      continue;
    const Far::ConstIndexArray corners = last.GetFaceVertices(f);
    if (corners.size() != 4)
      return false;
    out.quads.insert(out.quads.end(), corners.begin(), corners.end());
    keptFaces.push_back(f);
  }

  out.channels.assign(channels.size(), {});
  for (size_t c = 0; c < channels.size(); ++c) {
    const SubdivisionChannel &ch = channels[c];
    const int width = std::clamp(ch.width, 1, 4);
    std::vector<Element> values;
    switch (ch.storage) {
    case VarClass::Constant:
      out.channels[c].assign(ch.values, ch.values + width);
      continue;
    case VarClass::Vertex:
      store(refine(*refiner, level, Rule::Vertex, load(ch.values, width, topology.npoints)),
            width, out.channels[c]);
      continue;
    case VarClass::Varying:
      store(refine(*refiner, level, Rule::Varying, load(ch.values, width, topology.npoints)),
            width, out.channels[c]);
      continue;
    case VarClass::FaceVarying: {
      values = refine(*refiner, level, Rule::FaceVarying, load(ch.values, width, ncorners));
      std::vector<Element> perCorner;
      for (int f : keptFaces)
        for (int v : last.GetFaceFVarValues(f, 0))
          perCorner.push_back(values[v]);
      store(perCorner, width, out.channels[c]);
      continue;
    }
    case VarClass::Uniform: {
      values = refine(*refiner, level, Rule::Uniform, load(ch.values, width, nfaces));
      std::vector<Element> perQuad;
      for (int f : keptFaces)
        perQuad.push_back(values[f]);
      store(perQuad, width, out.channels[c]);
      continue;
    }
    }
  }
  return true;
}

} // namespace view
