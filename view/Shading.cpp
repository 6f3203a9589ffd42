#include "Shading.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace view {
namespace {

Vec3 vec(const float *f) { return {f[0], f[1], f[2]}; }

double smoothstep(double a, double b, double x) {
  if (a >= b) return x >= b ? 1 : 0;
  const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

} // namespace

const float *findFloats(const char *name, int components, RtInt n, const RtToken tokens[],
                        const RtPointer values[], const Declarations &declarations) {
  for (RtInt i = 0; i < n; ++i) {
    ParamInfo info;
    if (values && values[i] && declarations.find(tokens[i], info) && info.isFloat &&
        info.name == name && info.components == components)
      return static_cast<const float *>(values[i]);
  }
  return nullptr;
}

Light makeLight(const char *shader, RtInt n, const RtToken tokens[], const RtPointer values[],
                const Declarations &declarations, const Mat4 &toCamera) {
  struct Kind {
    const char *name;
    LightKind kind;
  };
  static const Kind kKinds[] = {{"ambientlight", LightKind::Ambient},
                                {"distantlight", LightKind::Distant},
                                {"pointlight", LightKind::Point},
                                {"spotlight", LightKind::Spot}};
  Light light;
  light.kind = LightKind::Other;
  for (const Kind &kind : kKinds)
    if (shader && std::strcmp(shader, kind.name) == 0) light.kind = kind.kind;
  auto floats = [&](const char *name, int components) {
    return findFloats(name, components, n, tokens, values, declarations);
  };
  const float *intensity = floats("intensity", 1), *color = floats("lightcolor", 3);
  const float *from = floats("from", 3), *to = floats("to", 3);
  // Another shader is taken for the standard light whose parameters it has (a shadowed spot
  // light has a cone, a shadowed distant light a direction); without them, for a light at the
  // origin of its space whose brightness does not fall off.
  if (light.kind == LightKind::Other) {
    if (floats("coneangle", 1)) light.kind = LightKind::Spot;
    else if (to) light.kind = LightKind::Distant;
    else if (from) light.kind = LightKind::Point;
  }
  const double i = intensity ? *intensity : 1;
  light.color = color ? Color{float(i * color[0]), float(i * color[1]), float(i * color[2])}
                      : Color{float(i), float(i), float(i)};
  const Vec3 f = from ? vec(from) : Vec3{}, t = to ? vec(to) : Vec3{0, 0, 1};
  light.from = toCamera.point(f);
  light.direction = normalized(toCamera.point(t) - light.from);
  if (length(light.direction) == 0) light.direction = {0, 0, 1};
  const float *cone = floats("coneangle", 1), *delta = floats("conedeltaangle", 1),
              *beam = floats("beamdistribution", 1);
  const double outer = cone ? *cone : 30 * M_PI / 180, soft = delta ? *delta : 5 * M_PI / 180;
  light.cosOuter = std::cos(outer);
  light.cosInner = std::cos(std::max(0.0, outer - soft));
  light.beam = beam ? *beam : 2;
  return light;
}

Light eyeLight(bool perspective) {
  Light light;
  // An orthographic eye is infinitely far: its light comes along the view direction.
  light.kind = perspective ? LightKind::Other : LightKind::Distant;
  light.direction = {0, 0, 1};
  return light;
}

SurfaceLook makeSurface(const char *shader, RtInt n, const RtToken tokens[],
                        const RtPointer values[], const Declarations &declarations) {
  SurfaceLook look;
  look.constant = shader && std::strcmp(shader, "constant") == 0;
  if (const float *ka = findFloats("Ka", 1, n, tokens, values, declarations)) look.ka = *ka;
  if (const float *kd = findFloats("Kd", 1, n, tokens, values, declarations)) look.kd = *kd;
  return look;
}

Vec3 facingEye(Vec3 normal, Vec3 p, bool perspective) {
  const Vec3 toEye = perspective ? Vec3{} - p : Vec3{0, 0, -1};
  const Vec3 nn = normalized(normal);
  return dot(nn, toEye) < 0 ? nn * -1 : nn;
}

Color shade(const SurfaceLook &look, const std::vector<const Light *> &lights, Vec3 p, Vec3 normal,
            bool perspective, Color cs, Color os) {
  if (look.constant) return {os.r * cs.r, os.g * cs.g, os.b * cs.b};
  return shadeFacing(look, lights, p, facingEye(normal, p, perspective), cs, os);
}

Color shadeFacing(const SurfaceLook &look, const std::vector<const Light *> &lights, Vec3 p,
                  Vec3 nn, Color cs, Color os) {
  if (look.constant) return {os.r * cs.r, os.g * cs.g, os.b * cs.b};
  double ambient[3] = {}, diffuse[3] = {};
  for (const Light *light : lights) {
    double weight = 0;
    switch (light->kind) {
    case LightKind::Ambient:
      ambient[0] += light->color.r, ambient[1] += light->color.g, ambient[2] += light->color.b;
      continue;
    case LightKind::Distant:
      weight = dot(nn, light->direction * -1);
      break;
    case LightKind::Point:
    case LightKind::Spot: {
      const Vec3 l = light->from - p;
      const double d2 = std::max(dot(l, l), 1e-12);
      weight = dot(nn, normalized(l)) / d2;
      if (light->kind == LightKind::Spot) {
        const double c = dot(normalized(p - light->from), light->direction);
        weight *= std::pow(std::max(c, 0.0), light->beam) *
                  smoothstep(light->cosOuter, light->cosInner, c);
      }
      break;
    }
    case LightKind::Other:
      weight = dot(nn, normalized(light->from - p));
      break;
    }
    if (weight <= 0) continue;
    diffuse[0] += weight * light->color.r, diffuse[1] += weight * light->color.g;
    diffuse[2] += weight * light->color.b;
  }
  const double lit[3] = {look.ka * ambient[0] + look.kd * diffuse[0],
                         look.ka * ambient[1] + look.kd * diffuse[1],
                         look.ka * ambient[2] + look.kd * diffuse[2]};
  return {float(os.r * cs.r * lit[0]), float(os.g * cs.g * lit[1]), float(os.b * cs.b * lit[2])};
}

} // namespace view
