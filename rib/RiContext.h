// RiContext.h - the C++ request interface of the RIB output library.
//
// Every RenderMan request is an operation of RiContext. A request with a parameter list has two
// forms: the list-gathering form (`Sphere(radius, zmin, zmax, thetamax, token, value, ..., RI_NULL)`)
// gathers up to 512 token/value pairs and calls the writing form through the virtual table
// (`SphereV(radius, zmin, zmax, thetamax, n, tokens, values)`). RibWriter (rib/RibWriter.h) is the
// implementation that writes RIB; RiBegin and RiNewContext (rib/ri.h) make one.
//
//     RiContext *rib = static_cast<RiContext *>(RiNewContext(nullptr));   // standard output
//     rib->WorldBegin();
//     rib->Sphere(1, -1, 1, 360, RI_NULL);
//     rib->WorldEnd();
//     delete rib;                                                         // ends the output
//
// The order of the operations is part of the interface: programs built against one version of
// this header call through the same virtual table slots.
#pragma once

#include <cstdarg>

#include "rib/ri.h"

class RiContext {
public:
  virtual ~RiContext() {}

  // Frame and world blocks
  virtual RtVoid FrameBegin(RtInt frame) = 0;
  virtual RtVoid FrameEnd() = 0;
  virtual RtVoid WorldBegin() = 0;
  virtual RtVoid WorldEnd() = 0;

  // Camera options
  virtual RtVoid Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) = 0;
  virtual RtVoid FrameAspectRatio(RtFloat frameaspectratio) = 0;
  virtual RtVoid ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) = 0;
  virtual RtVoid CropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax) = 0;
  virtual RtVoid Projection(RtToken name, ...) = 0;
  virtual RtVoid ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Clipping(RtFloat hither, RtFloat yon) = 0;
  virtual RtVoid DepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance) = 0;
  virtual RtVoid Shutter(RtFloat opentime, RtFloat closetime) = 0;

  // Display options
  virtual RtVoid PixelVariance(RtFloat variation) = 0;
  virtual RtVoid PixelSamples(RtFloat xsamples, RtFloat ysamples) = 0;
  virtual RtVoid PixelFilter(RtFilterFunc filterfunc, RtFloat xwidth, RtFloat ywidth) = 0;
  virtual RtVoid Exposure(RtFloat gain, RtFloat gamma) = 0;
  virtual RtVoid Quantize(RtToken type, RtInt one, RtInt min, RtInt max,
                          RtFloat ditheramplitude) = 0;
  virtual RtVoid Display(char *name, RtToken type, RtToken mode, ...) = 0;
  virtual RtVoid DisplayV(char *name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                          RtPointer values[]) = 0;
  virtual RtVoid Hider(RtToken type, ...) = 0;
  virtual RtVoid HiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid ColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]) = 0;
  virtual RtVoid RelativeDetail(RtFloat relativedetail) = 0;
  virtual RtVoid Option(RtToken name, ...) = 0;
  virtual RtVoid OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;

  // Attribute block
  virtual RtVoid AttributeBegin() = 0;
  virtual RtVoid AttributeEnd() = 0;

  // Attributes (here the writing form stands before the gathering form)
  virtual RtVoid Color(RtColor color) = 0;
  virtual RtVoid Opacity(RtColor color) = 0;
  virtual RtVoid TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3,
                                    RtFloat t3, RtFloat s4, RtFloat t4) = 0;
  virtual RtVoid ShadingRate(RtFloat size) = 0;
  virtual RtVoid ShadingInterpolation(RtToken type) = 0;
  virtual RtVoid Matte(RtBoolean onoff) = 0;
  virtual RtVoid Bound(RtBound bound) = 0;
  virtual RtVoid Detail(RtBound bound) = 0;
  virtual RtVoid DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                             RtFloat maxvisible) = 0;
  virtual RtVoid GeometricApproximation(RtToken type, RtFloat value) = 0;
  virtual RtVoid GeometricRepresentation(RtToken type) = 0;
  virtual RtVoid Sides(RtInt sides) = 0;
  virtual RtVoid Orientation(RtToken orientation) = 0;
  virtual RtVoid ReverseOrientation() = 0;
  virtual RtVoid AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Attribute(RtToken name, ...) = 0;

  // Transforms
  virtual RtVoid Identity() = 0;
  virtual RtVoid ConcatTransform(RtMatrix transform) = 0;
  virtual RtVoid Transform(RtMatrix transform) = 0;
  virtual RtVoid Perspective(RtFloat fov) = 0;
  virtual RtVoid Translate(RtFloat dx, RtFloat dy, RtFloat dz) = 0;
  virtual RtVoid Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) = 0;
  virtual RtVoid Scale(RtFloat sx, RtFloat sy, RtFloat sz) = 0;
  virtual RtVoid Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2,
                      RtFloat dy2, RtFloat dz2) = 0;
  virtual RtVoid CoordinateSystem(RtToken space) = 0;
  virtual RtVoid CoordSysTransform(RtToken space) = 0;
  virtual RtPoint *TransformPoints(RtToken fromspace, RtToken tospace, RtInt npoints,
                                   RtPoint points[]) = 0;
  virtual RtVoid TransformBegin() = 0;
  virtual RtVoid TransformEnd() = 0;
  /// The n sample times follow as variadic arguments.
  virtual RtVoid MotionBegin(RtInt n, ...) = 0;
  virtual RtVoid MotionBeginV(RtInt n, RtFloat times[]) = 0;
  virtual RtVoid MotionEnd() = 0;

  // Shaders and lights
  virtual RtVoid Surface(RtToken name, ...) = 0;
  virtual RtVoid SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Displacement(RtToken name, ...) = 0;
  virtual RtVoid DisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Atmosphere(RtToken name, ...) = 0;
  virtual RtVoid AtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Interior(RtToken name, ...) = 0;
  virtual RtVoid InteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Exterior(RtToken name, ...) = 0;
  virtual RtVoid ExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Imager(RtToken name, ...) = 0;
  virtual RtVoid ImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtLightHandle LightSource(RtToken name, ...) = 0;
  virtual RtLightHandle LightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                     RtPointer values[]) = 0;
  virtual RtLightHandle AreaLightSource(RtToken name, ...) = 0;
  virtual RtLightHandle AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                         RtPointer values[]) = 0;
  virtual RtVoid Illuminate(RtLightHandle light, RtBoolean onoff) = 0;

  // Quadrics and polygons
  virtual RtVoid Cone(RtFloat height, RtFloat radius, RtFloat thetamax, ...) = 0;
  virtual RtVoid ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                       RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Cylinder(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) = 0;
  virtual RtVoid CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                           RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Disk(RtFloat height, RtFloat radius, RtFloat thetamax, ...) = 0;
  virtual RtVoid DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                       RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Hyperboloid(RtPoint point1, RtPoint point2, RtFloat thetamax, ...) = 0;
  virtual RtVoid HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                              RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Paraboloid(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) = 0;
  virtual RtVoid ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                             RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Sphere(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) = 0;
  virtual RtVoid SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                         RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Torus(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                       RtFloat thetamax, ...) = 0;
  virtual RtVoid TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                        RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Polygon(RtInt nvertices, ...) = 0;
  virtual RtVoid PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid GeneralPolygon(RtInt nloops, RtInt nvertices[], ...) = 0;
  virtual RtVoid GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                                 RtPointer values[]) = 0;
  virtual RtVoid PointsPolygons(RtInt npolys, RtInt nvertices[], RtInt vertices[], ...) = 0;
  virtual RtVoid PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                                 RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid PointsGeneralPolygons(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                       RtInt vertices[], ...) = 0;
  virtual RtVoid PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                        RtInt vertices[], RtInt n, RtToken tokens[],
                                        RtPointer values[]) = 0;

  // Patches and other primitives
  virtual RtVoid Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) = 0;
  virtual RtVoid Patch(RtToken type, ...) = 0;
  virtual RtVoid PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid PatchMesh(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap,
                           ...) = 0;
  virtual RtVoid PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap,
                            RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[],
                           RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[],
                           RtFloat w[]) = 0;
  virtual RtVoid NuPatch(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                         RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                         ...) = 0;
  virtual RtVoid NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                          RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                          RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Curves(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...) = 0;
  virtual RtVoid CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                         RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Points(RtInt npoints, ...) = 0;
  virtual RtVoid PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid SubdivisionMesh(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                 RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[],
                                 RtInt intargs[], RtFloat floatargs[], ...) = 0;
  virtual RtVoid SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                  RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[],
                                  RtInt intargs[], RtFloat floatargs[], RtInt n,
                                  RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid Blobby(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                        RtInt nstr, RtToken str[], ...) = 0;
  virtual RtVoid BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                         RtInt nstr, RtToken str[], RtInt n, RtToken tokens[],
                         RtPointer values[]) = 0;
  virtual RtVoid Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                            RtProcFreeFunc freefunc) = 0;
  virtual RtVoid Geometry(RtToken type, ...) = 0;
  virtual RtVoid GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) = 0;

  // Solids and retained objects
  virtual RtVoid SolidBegin(RtToken operation) = 0;
  virtual RtVoid SolidEnd() = 0;
  virtual RtObjectHandle ObjectBegin() = 0;
  virtual RtVoid ObjectEnd() = 0;
  virtual RtVoid ObjectInstance(RtObjectHandle handle) = 0;

  // Texture making
  virtual RtVoid MakeTexture(char *picturename, char *texturename, RtToken swrap, RtToken twrap,
                             RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, ...) = 0;
  virtual RtVoid MakeTextureV(char *picturename, char *texturename, RtToken swrap,
                              RtToken twrap, RtFilterFunc filterfunc, RtFloat swidth,
                              RtFloat twidth, RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid MakeLatLongEnvironment(char *picturename, char *texturename,
                                        RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth,
                                        ...) = 0;
  virtual RtVoid MakeLatLongEnvironmentV(char *picturename, char *texturename,
                                         RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth,
                                         RtInt n, RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid MakeCubeFaceEnvironment(char *px, char *nx, char *py, char *ny, char *pz,
                                         char *nz, char *texturename, RtFloat fov,
                                         RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth,
                                         ...) = 0;
  virtual RtVoid MakeCubeFaceEnvironmentV(char *px, char *nx, char *py, char *ny, char *pz,
                                          char *nz, char *texturename, RtFloat fov,
                                          RtFilterFunc filterfunc, RtFloat swidth,
                                          RtFloat twidth, RtInt n, RtToken tokens[],
                                          RtPointer values[]) = 0;
  virtual RtVoid MakeShadow(char *picturename, char *texturename, ...) = 0;
  virtual RtVoid MakeShadowV(char *picturename, char *texturename, RtInt n, RtToken tokens[],
                             RtPointer values[]) = 0;

  // Declarations, archives, errors
  virtual RtToken Declare(char *name, char *declaration) = 0;
  virtual RtVoid ArchiveRecord(RtToken type, char *format, ...) = 0;
  virtual RtVoid ArchiveRecordV(RtToken type, char *format, va_list arguments) = 0;
  virtual RtVoid ReadArchive(RtToken name, RtArchiveCallback callback, ...) = 0;
  virtual RtVoid ReadArchiveV(RtToken name, RtArchiveCallback callback, RtInt n,
                              RtToken tokens[], RtPointer values[]) = 0;
  virtual RtVoid ErrorHandler(RtErrorHandler handler) = 0;
};

/// The context that the C procedures use; set by RiBegin, null before it.
extern RiContext *RiCurrentContext;
