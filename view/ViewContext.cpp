// ViewContext: the requests made on it, passed to its State; the blocks, options, attributes,
// transformations and lights of the State.
#include "ViewContext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Diagnostics.h"
#include "GatheredParams.h"
#include "ParamDecl.h"
#include "ViewState.h"

#define RI_UNPAREN(...) __VA_ARGS__

namespace view {

// ---- Every operation to the State; the list-gathering forms through this object's V forms ----

ViewContext::ViewContext(const ViewOptions &options, PictureDone pictureDone)
    : state_(new State(*this, options, std::move(pictureDone))) {
  // The reader checks parameters against the library's declarations, standard ones included.
  rib::predeclareParams();
}
ViewContext::~ViewContext() = default;

void ViewContext::setInputName(const std::string &name) { state_->inputName = name; }

// Between ArchiveBegin and ArchiveEnd the requests are an archive's content, kept for a later
// ReadArchive rather than drawn now: they pass by.
#define VIEW_PASS_BY(Result, Name)                                                                 \
  if (state_->inlineDepth > 0 && !State::opensOrClosesArchive(#Name)) return nothing<Result>();
#define RI_REQUEST(Result, Name, Parameters, Arguments)                                            \
  Result ViewContext::Name Parameters {                                                            \
    VIEW_PASS_BY(Result, Name)                                                                     \
    return state_->Name Arguments;                                                                 \
  }
#define RI_LIST_REQUEST(Result, Name, Parameters, Arguments, LastFixed)                            \
  Result ViewContext::Name(RI_UNPAREN Parameters, ...) {                                           \
    RIB_GATHER_PARAMS(params, LastFixed, #Name);                                                   \
    return Name##V(RI_UNPAREN Arguments, params.count, params.tokens, params.values);              \
  }                                                                                                \
  Result ViewContext::Name##V(RI_UNPAREN Parameters, RtInt n, RtToken tokens[],                    \
                              RtPointer values[]) {                                                \
    VIEW_PASS_BY(Result, Name)                                                                     \
    return state_->Name##V(RI_UNPAREN Arguments, n, tokens, values);                               \
  }
#define RI_VARIADIC_REQUEST(Result, Name, Parameters, LastFixed, VParameters, VArguments)          \
  Result ViewContext::Name##V VParameters {                                                        \
    VIEW_PASS_BY(Result, Name)                                                                     \
    return state_->Name##V VArguments;                                                             \
  }
#include "rib/RiRequests.def"

RtVoid ViewContext::MotionBegin(RtInt n, ...) {
  va_list arguments;
  va_start(arguments, n);
  rib::GatheredTimes times(n, arguments, "RiMotionBegin");
  va_end(arguments);
  if (!times.lost()) MotionBeginV(times.count(), times.times());
}

RtVoid ViewContext::ArchiveRecord(RtToken, char *, ...) {}

// ---- Graphics state ----

Attributes::Attributes() {
  std::memcpy(ubasis, RiBezierBasis, sizeof(RtBasis));
  std::memcpy(vbasis, RiBezierBasis, sizeof(RtBasis));
}

// ---- Blocks ----

RtVoid ViewContext::State::FrameBegin(RtInt frame) {
  savedOptions.push_back(options);
  beginBlock();
  frameNumber = frame;
  inFrame = true;
}

RtVoid ViewContext::State::FrameEnd() {
  if (savedOptions.empty()) return;
  options = savedOptions.back();
  savedOptions.pop_back();
  endBlock();
  inFrame = !savedOptions.empty();
}

RtVoid ViewContext::State::WorldBegin() {
  options.worldToCamera = attributes.transform;
  beginBlock();
  attributes.transform = Mat4();
  inWorld = true;
  picture = Picture();
  depth = DepthExtent();
  lights.clear();
  attributes.lightsOn.clear();
  spaces["world"] = Mat4();
  eye = eyeLight(options.perspective);
}

RtVoid ViewContext::State::WorldEnd() {
  if (!inWorld) return;
  inWorld = false;
  endBlock();
  picture.number = ++pictures;
  picture.frameNumber = frameNumber;
  picture.hasFrameNumber = inFrame;
  double zNear, zFar;
  depthRange(options, depth.nearest, depth.farthest, zNear, zFar);
  fillProjection(options, frame(), zNear, zFar, picture);
  // The world's objects are released; their numbers stay taken, so that no handle is reused.
  for (size_t i = 0; i < objects.size(); ++i)
    if (objectInWorld[i]) objects[i] = std::vector<StoredMesh>();
  defining = -1;
  Picture done = std::move(picture);
  picture = Picture();
  if (this->done) this->done(std::move(done));
}

// ---- Camera options ----

RtVoid ViewContext::State::Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) {
  if (xresolution > 0 && yresolution > 0)
    options.xResolution = xresolution, options.yResolution = yresolution;
  if (pixelaspectratio > 0) options.pixelAspect = pixelaspectratio;
}

RtVoid ViewContext::State::FrameAspectRatio(RtFloat frameaspectratio) {
  if (frameaspectratio > 0) options.frameAspect = frameaspectratio;
}

RtVoid ViewContext::State::ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) {
  if (left == right || bottom == top) {
    rib::reportError(RIE_RANGE, "ScreenWindow: an empty window (%g %g %g %g) is not drawn", left,
                     right, bottom, top);
    return;
  }
  options.screenGiven = true;
  const double s[4] = {left, right, bottom, top};
  std::copy(s, s + 4, options.screen);
}

RtVoid ViewContext::State::ProjectionV(RtToken name, RtInt n, RtToken tokens[],
                                       RtPointer values[]) {
  if (name && std::strcmp(name, "perspective") == 0) {
    options.perspective = true;
    const float *fov = findFloats("fov", 1, n, tokens, values, declarations);
    options.fov = fov && *fov > 0 && *fov < 180 ? *fov : 90;
  } else {
    // "orthographic", and what a previewer cannot do otherwise (a renderer's own projections).
    options.perspective = false;
    if (name && std::strcmp(name, "orthographic") != 0)
      rib::reportNote("Projection \"%s\" is drawn as \"orthographic\"", name);
  }
  // The projection starts a new camera space: what came before it is not the camera's.
  attributes.transform = Mat4();
}

RtVoid ViewContext::State::Clipping(RtFloat hither, RtFloat yon) {
  if (!(hither > 0) || !(yon > hither)) {
    rib::reportError(RIE_RANGE, "Clipping: %g to %g is not a depth range", hither, yon);
    return;
  }
  options.hither = hither, options.yon = yon;
}

// ---- Attributes ----

RtVoid ViewContext::State::AttributeBegin() { savedAttributes.push_back(attributes); }

RtVoid ViewContext::State::AttributeEnd() {
  if (savedAttributes.size() <= (blockBases.empty() ? 0 : blockBases.back())) return;
  attributes = savedAttributes.back();
  savedAttributes.pop_back();
}

RtVoid ViewContext::State::Color(RtColor color) {
  if (!skipMotionSample()) attributes.color = {color[0], color[1], color[2]};
}

RtVoid ViewContext::State::Opacity(RtColor color) {
  if (!skipMotionSample()) attributes.opacity = {color[0], color[1], color[2]};
}

RtVoid ViewContext::State::Sides(RtInt sides) { attributes.sides = sides == 1 ? 1 : 2; }

RtVoid ViewContext::State::Orientation(RtToken orientation) {
  struct Named {
    const char *name;
    view::Orientation orientation;
  };
  static const Named kNames[] = {{"outside", view::Orientation::Outside},
                                 {"inside", view::Orientation::Inside},
                                 {"lh", view::Orientation::LeftHanded},
                                 {"rh", view::Orientation::RightHanded}};
  for (const Named &named : kNames)
    if (orientation && std::strcmp(orientation, named.name) == 0)
      attributes.orientation = named.orientation;
}

RtVoid ViewContext::State::ReverseOrientation() {
  using O = view::Orientation;
  static const O kReversed[] = {O::Inside, O::Outside, O::RightHanded, O::LeftHanded};
  attributes.orientation = kReversed[int(attributes.orientation)];
}

RtVoid ViewContext::State::AttributeV(RtToken name, RtInt n, RtToken tokens[],
                                      RtPointer values[]) {
  if (!name || std::strcmp(name, "trimcurve") != 0) return;
  for (RtInt i = 0; i < n; ++i) {
    ParamInfo info;
    if (values[i] && declarations.find(tokens[i], info) && info.name == "sense" && !info.isFloat) {
      const char *sense = *static_cast<char **>(values[i]);
      attributes.trimInside = sense && std::strcmp(sense, "inside") == 0;
    }
  }
}

RtVoid ViewContext::State::SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
  attributes.look = makeSurface(name, n, tokens, values, declarations);
}

RtLightHandle ViewContext::State::LightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                               RtPointer values[]) {
  lights.push_back(makeLight(name, n, tokens, values, declarations, toCamera()));
  attributes.lightsOn.resize(lights.size(), false);
  attributes.lightsOn.back() = true;
  return reinterpret_cast<RtLightHandle>(uintptr_t(lights.size()));
}

RtLightHandle ViewContext::State::AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                                   RtPointer values[]) {
  // An area light shines from its geometry; here from the origin of its space, as a point.
  Light light = makeLight(name, n, tokens, values, declarations, toCamera());
  light.kind = LightKind::Other;
  light.from = toCamera().point({0, 0, 0});
  lights.push_back(light);
  attributes.lightsOn.resize(lights.size(), false);
  attributes.lightsOn.back() = true;
  return reinterpret_cast<RtLightHandle>(uintptr_t(lights.size()));
}

RtVoid ViewContext::State::Illuminate(RtLightHandle light, RtBoolean onoff) {
  const uintptr_t number = reinterpret_cast<uintptr_t>(light);
  if (number == 0 || number > lights.size()) {
    rib::reportError(RIE_BADHANDLE, "Illuminate: no light %lu", static_cast<unsigned long>(number));
    return;
  }
  attributes.lightsOn.resize(lights.size(), false);
  attributes.lightsOn[number - 1] = onoff != 0;
}

RtVoid ViewContext::State::Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) {
  std::memcpy(attributes.ubasis, ubasis, sizeof(RtBasis));
  std::memcpy(attributes.vbasis, vbasis, sizeof(RtBasis));
  attributes.ustep = ustep > 0 ? ustep : 3;
  attributes.vstep = vstep > 0 ? vstep : 3;
}

RtVoid ViewContext::State::TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[],
                                     RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[],
                                     RtFloat v[], RtFloat w[]) {
  TrimCurves trims;
  trims.ncurves.assign(ncurves, ncurves + std::max(nloops, 0));
  size_t curves = 0, knots = 0, points = 0;
  for (RtInt c : trims.ncurves) curves += size_t(std::max(c, 0));
  trims.order.assign(order, order + curves);
  trims.n.assign(n, n + curves);
  for (size_t c = 0; c < curves; ++c) {
    knots += size_t(std::max(order[c] + n[c], 0));
    points += size_t(std::max(n[c], 0));
  }
  trims.knot.assign(knot, knot + knots);
  trims.min.assign(min, min + curves);
  trims.max.assign(max, max + curves);
  trims.u.assign(u, u + points);
  trims.v.assign(v, v + points);
  trims.w.assign(w, w + points);
  attributes.trims = std::move(trims);
}

RtVoid ViewContext::State::Detail(RtBound bound) {
  attributes.detail = rasterArea(options, frame(), toCamera(), bound);
}

RtVoid ViewContext::State::DetailRange(RtFloat minvisible, RtFloat lowertransition,
                                       RtFloat uppertransition, RtFloat maxvisible) {
  // One representation of each level is drawn: the one whose range holds the Detail bound's
  // raster area, the transitions split at their middles.
  if (attributes.detail < 0) return;
  const double from = 0.5 * (double(minvisible) + lowertransition);
  const double to = 0.5 * (double(uppertransition) + maxvisible);
  attributes.hidden = !(attributes.detail >= from && attributes.detail < to);
}

RtToken ViewContext::State::Declare(char *name, char *declaration) {
  if (name) declarations.declare(name, declaration);
  return name;
}

// ---- Transformations ----

RtVoid ViewContext::State::Identity() {
  if (!skipMotionSample()) attributes.transform = Mat4();
}

RtVoid ViewContext::State::ConcatTransform(RtMatrix transform) { concat(Mat4::fromRi(transform)); }

RtVoid ViewContext::State::Transform(RtMatrix transform) {
  if (!skipMotionSample()) attributes.transform = Mat4::fromRi(transform);
}

RtVoid ViewContext::State::Perspective(RtFloat fov) { concat(Mat4::perspective(fov)); }

RtVoid ViewContext::State::Translate(RtFloat dx, RtFloat dy, RtFloat dz) {
  concat(Mat4::translate(dx, dy, dz));
}

RtVoid ViewContext::State::Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) {
  concat(Mat4::rotate(angle, dx, dy, dz));
}

RtVoid ViewContext::State::Scale(RtFloat sx, RtFloat sy, RtFloat sz) {
  concat(Mat4::scale(sx, sy, sz));
}

RtVoid ViewContext::State::Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2,
                                RtFloat dy2, RtFloat dz2) {
  concat(Mat4::skew(angle, {dx1, dy1, dz1}, {dx2, dy2, dz2}));
}

RtVoid ViewContext::State::CoordinateSystem(RtToken space) {
  if (space) spaces[space] = attributes.transform;
}

RtVoid ViewContext::State::CoordSysTransform(RtToken space) {
  if (!space) return;
  if (std::strcmp(space, "camera") == 0 || std::strcmp(space, "screen") == 0 ||
      std::strcmp(space, "raster") == 0 || std::strcmp(space, "NDC") == 0) {
    attributes.transform = inWorld ? options.worldToCamera.inverse() : Mat4();
    return;
  }
  const auto found = spaces.find(space);
  if (found == spaces.end()) {
    rib::reportError(RIE_BADHANDLE, "CoordSysTransform: no coordinate system \"%s\"", space);
    return;
  }
  attributes.transform = found->second;
}

RtVoid ViewContext::State::TransformBegin() { savedTransforms.push_back(attributes.transform); }

RtVoid ViewContext::State::TransformEnd() {
  if (savedTransforms.empty()) return;
  attributes.transform = savedTransforms.back();
  savedTransforms.pop_back();
}

RtVoid ViewContext::State::MotionBeginV(RtInt, RtFloat[]) {
  inMotion = true;
  motionTaken = false;
}

RtVoid ViewContext::State::MotionEnd() { inMotion = false; }

// ---- Drawing ----

void ViewContext::State::draw(const Mesh &mesh) {
  if (mesh.empty() || attributes.hidden) return;
  if (defining >= 0) {
    objects[size_t(defining)].push_back(
        {mesh, attributes.transform * definingTransform.inverse(), attributes.orientation,
         attributes.sides});
    return;
  }
  drawIn(mesh, toCamera(), attributes.orientation, attributes.sides);
}

void ViewContext::State::drawIn(const Mesh &mesh, const Mat4 &objectToCamera,
                                view::Orientation orientation, int sides) {
  if (!inWorld) return;
  DrawState state;
  state.objectToCamera = objectToCamera;
  state.perspective = options.perspective;
  state.orientation = orientation;
  state.sides = sides;
  state.color = attributes.color;
  state.opacity = attributes.opacity;
  state.look = attributes.look;
  for (size_t i = 0; i < lights.size(); ++i)
    if (i < attributes.lightsOn.size() && attributes.lightsOn[i]) state.lights.push_back(&lights[i]);
  // A scene without lights is lit from the eye, so that its shapes show.
  if (lights.empty()) state.lights.push_back(&eye);
  drawMesh(mesh, state, picture, depth);
}

} // namespace view
