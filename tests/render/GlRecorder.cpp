#include "GlRecorder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <initializer_list>

namespace {

void record(const char *name, std::initializer_list<double> args) {
  std::string line = name;
  line += "(";
  bool first = true;
  for (double value : args) {
    char text[40];
    std::snprintf(text, sizeof text, "%s%.9g", first ? "" : ",", value);
    line += text;
    first = false;
  }
  line += ")";
  glCalls().push_back(line);
}

// Any non-null address serves as the quadric handle.
char gQuadricStorage;

} // namespace

std::vector<std::string> &glCalls() {
  static std::vector<std::string> calls;
  return calls;
}

void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void GLAPIENTRY glPushMatrix() { record("glPushMatrix", {}); }
void GLAPIENTRY glPopMatrix() { record("glPopMatrix", {}); }
void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  record("glRotatef", {angle, x, y, z});
}
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); }
void GLAPIENTRY glBegin(GLenum mode) { record("glBegin", {double(mode)}); }
void GLAPIENTRY glEnd() { record("glEnd", {}); }
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); }
void GLAPIENTRY glMaterialfv(GLenum face, GLenum name, const GLfloat *v) {
  record("glMaterialfv", {double(face), double(name), v[0], v[1], v[2], v[3]});
}

GLUquadric *GLAPIENTRY gluNewQuadric() { return reinterpret_cast<GLUquadric *>(&gQuadricStorage); }
void GLAPIENTRY gluQuadricDrawStyle(GLUquadric *, GLenum style) {
  record("gluQuadricDrawStyle", {double(style)});
}
void GLAPIENTRY gluQuadricOrientation(GLUquadric *, GLenum orientation) {
  record("gluQuadricOrientation", {double(orientation)});
}
void GLAPIENTRY gluQuadricNormals(GLUquadric *, GLenum normals) {
  record("gluQuadricNormals", {double(normals)});
}
void GLAPIENTRY gluQuadricTexture(GLUquadric *, GLboolean texture) {
  record("gluQuadricTexture", {double(texture)});
}
void GLAPIENTRY gluSphere(GLUquadric *, GLdouble radius, GLint slices, GLint stacks) {
  record("gluSphere", {radius, double(slices), double(stacks)});
}
