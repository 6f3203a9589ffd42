/* simple_scene.c - writes a complete RIB scene through the C procedures of the RIB library.
 *
 * Usage: simple_scene [output.rib]   (no argument: standard output)
 *
 * One frame: camera and display options, a world with a distant and a point light, a plastic
 * sphere, a matte floor polygon and a coloured cone, each with parameters. */
#include <stdio.h>

#include "rib/ri.h"

static char *text(const char *literal) { return (char *)literal; }

int main(int argc, char **argv) {
  RtColor red = {0.8f, 0.1f, 0.1f};
  RtColor grey = {0.5f, 0.5f, 0.5f};
  RtFloat intensity = 0.8f, ka = 0.2f, kd = 0.7f, ks = 0.4f, roughness = 0.1f;
  RtPoint from = {0.0f, 4.0f, -4.0f}, to = {0.0f, 0.0f, 0.0f};
  RtPoint floorPoints[4] = {{-4, -1, -4}, {4, -1, -4}, {4, -1, 4}, {-4, -1, 4}};
  RtFloat fov = 40.0f;
  RtInt samples = 4;
  char *displayName = text("simple_scene.tif");

  RiBegin(argc > 1 ? argv[1] : RI_NULL);
  RiArchiveRecord(RI_STRUCTURE, text("Scene %s"), "simple_scene");
  RiFormat(320, 240, 1.0f);
  RiPixelSamples(2.0f, 2.0f);
  RiPixelFilter(RiGaussianFilter, 2.0f, 2.0f);
  RiDisplay(displayName, text("file"), text("rgb"), RI_NULL);
  RiProjection(text("perspective"), RI_FOV, &fov, RI_NULL);
  RiOption(text("limits"), text("integer bucketsamples"), &samples, RI_NULL);

  RiFrameBegin(1);
  RiTranslate(0.0f, 0.0f, 6.0f);
  RiWorldBegin();
  RiLightSource(text("distantlight"), RI_INTENSITY, &intensity, RI_FROM, from, RI_TO, to, RI_NULL);
  RiLightSource(text("pointlight"), RI_INTENSITY, &intensity, RI_NULL);

  RiAttributeBegin();
  RiColor(red);
  RiSurface(text("plastic"), RI_KA, &ka, RI_KD, &kd, RI_KS, &ks, RI_ROUGHNESS, &roughness, RI_NULL);
  RiSphere(1.0f, -1.0f, 1.0f, 360.0f, RI_NULL);
  RiAttributeEnd();

  RiAttributeBegin();
  RiColor(grey);
  RiSurface(text("matte"), RI_NULL);
  RiPolygon(4, RI_P, (RtPointer)floorPoints, RI_NULL);
  RiAttributeEnd();

  RiAttributeBegin();
  RiTranslate(2.0f, -1.0f, 0.0f);
  RiRotate(-90.0f, 1.0f, 0.0f, 0.0f);
  RiCone(1.5f, 0.5f, 360.0f, RI_NULL);
  RiAttributeEnd();

  RiWorldEnd();
  RiFrameEnd();
  RiEnd();
  return 0;
}
