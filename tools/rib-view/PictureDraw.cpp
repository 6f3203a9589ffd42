#include "PictureDraw.h"

#include <GL/gl.h>

#include <cstddef>

namespace ribview {
namespace {

// The fixed state: anything left from elsewhere (a GLUT default, a driver's choice) that could
// change a pixel is set explicitly.
void setFixedState(bool wires) {
  glDisable(GL_DITHER);
  glDisable(GL_MULTISAMPLE);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE); // the picture holds front faces only already
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_POLYGON_SMOOTH);
  glDisable(GL_LINE_SMOOTH);
  // Surfaces a little behind their depth, so that a line lying on one (a curve drawn on a wall)
  // is seen whole rather than in dashes where the two depths round differently.
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.0f, 1.0f);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  glDepthRange(0.0, 1.0);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  // Opacity shows as a mix with what is behind; opaque surfaces (alpha 1) simply replace it.
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glLineWidth(1.0f);
  glPolygonMode(GL_FRONT_AND_BACK, wires ? GL_LINE : GL_FILL);
}

void drawVertices(GLenum mode, const std::vector<view::DrawVertex> &vertices) {
  if (vertices.empty()) return;
  const GLsizei stride = sizeof(view::DrawVertex);
  glVertexPointer(3, GL_FLOAT, stride, &vertices[0].x);
  glColorPointer(4, GL_FLOAT, stride, &vertices[0].r);
  glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

} // namespace

void drawPicture(const view::Picture &picture, const DrawStyle &style) {
  const int width = style.targetWidth > 0 ? style.targetWidth : picture.width;
  const int height = style.targetHeight > 0 ? style.targetHeight : picture.height;
  setFixedState(style.wires);
  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // The frame's part of the picture, stretched with the surface when that has another size.
  const double sx = double(width) / picture.width, sy = double(height) / picture.height;
  glViewport(static_cast<GLint>(picture.viewportX * sx), static_cast<GLint>(picture.viewportY * sy),
             static_cast<GLsizei>(picture.viewportWidth * sx + 0.5),
             static_cast<GLsizei>(picture.viewportHeight * sy + 0.5));
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(picture.projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  drawVertices(GL_TRIANGLES, picture.triangles);
  drawVertices(GL_LINES, picture.lines);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

} // namespace ribview
