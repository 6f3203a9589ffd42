// GLU's quadric objects and spheres, which Emscripten's GL emulation leaves out: the sphere is
// drawn as the same bands of triangles as a native gluSphere, one strip per stack, with the
// quadric's normals. Only what the demo draws is supported: filled, outside-facing spheres.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

struct GLUquadric {
  GLenum drawStyle = GLU_FILL;
  GLenum orientation = GLU_OUTSIDE;
  GLenum normals = GLU_SMOOTH;
  GLboolean texture = GL_FALSE;
};

namespace {

constexpr double kPi = 3.14159265358979323846;

// Point of the unit sphere at polar angle `rho` (from +z) and azimuth `theta`.
struct SpherePoint {
  float x, y, z;
};

SpherePoint spherePoint(double rho, double theta) {
  return {static_cast<float>(-std::sin(theta) * std::sin(rho)),
          static_cast<float>(std::cos(theta) * std::sin(rho)), static_cast<float>(std::cos(rho))};
}

void emit(const GLUquadric &quadric, SpherePoint p, float radius) {
  const float sign = quadric.orientation == GLU_INSIDE ? -1.0f : 1.0f;
  if (quadric.normals != GLU_NONE) glNormal3f(sign * p.x, sign * p.y, sign * p.z);
  glVertex3f(radius * p.x, radius * p.y, radius * p.z);
}

} // namespace

extern "C" {

// Quadrics live until the program ends, as the demo's spheres do.
GLUquadric *gluNewQuadric() { return new GLUquadric(); }

void gluDeleteQuadric(GLUquadric *quadric) { delete quadric; }

void gluQuadricDrawStyle(GLUquadric *quadric, GLenum style) { quadric->drawStyle = style; }

void gluQuadricOrientation(GLUquadric *quadric, GLenum orientation) {
  quadric->orientation = orientation;
}

void gluQuadricNormals(GLUquadric *quadric, GLenum normals) { quadric->normals = normals; }

void gluQuadricTexture(GLUquadric *quadric, GLboolean texture) { quadric->texture = texture; }

// Stacks run from +z to -z, slices around z; each stack is one band between two rings.
void gluSphere(GLUquadric *quadric, GLdouble radius, GLint slices, GLint stacks) {
  if (quadric->drawStyle != GLU_FILL || slices < 2 || stacks < 1) return;
  const double stackAngle = kPi / stacks;
  const double sliceAngle = 2.0 * kPi / slices;
  const float r = static_cast<float>(radius);
  for (int i = 0; i < stacks; ++i) {
    const double upper = i * stackAngle;
    const double lower = (i + 1) * stackAngle;
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= slices; ++j) {
      // The seam closes on the first slice's points exactly.
      const double theta = (j == slices ? 0 : j) * sliceAngle;
      emit(*quadric, spherePoint(upper, theta), r);
      emit(*quadric, spherePoint(lower, theta), r);
    }
    glEnd();
  }
}

} // extern "C"
