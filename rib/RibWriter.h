// RibWriter.h - the RiContext that writes RIB.
//
// One RibWriter writes one RIB stream: a file, standard output or a pipe into a command. Each
// request is written when it is called, in call order; the writer keeps no graphics state and
// does not check block nesting. Floats are written as "%g" text unless `binary` is set, in which
// case float arrays and single floats written by writeFloats/writeFloat use the binary encoding.
//
// The request families live in files named after them: RibWriter.cpp (construction, target,
// header), BlockRequests.cpp, OptionRequests.cpp, ShaderRequests.cpp, GeometryRequests.cpp,
// PatchRequests.cpp, TextureRequests.cpp, Declarations.cpp, Archive.cpp, ErrorHandlers.cpp; the
// list-gathering forms in GatheringForms.cpp; RibValues.cpp and ParamList.cpp (value and list
// writers), RibOutput.cpp (text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "rib/RiContext.h"

/// One token and its value pointer; arrays of them end with a null token.
struct RiParamPair {
  RtToken token;
  RtPointer value;
};

/// An option pair for constructing a RibWriter: token text and a pointer to its value.
struct RibOption {
  const char *token;
  const void *value;
};

class RibWriter : public RiContext {
public:
  RtErrorHandler errorHandler;
  FILE *stream;
  const char *name;          // target name, interned; for "|cmd" the command without the bar
  int32_t isPipe;
  int32_t uStep;             // steps of the current basis (Basis), read by patch meshes and curves
  int32_t vStep;
  int32_t binary;            // binary float encoding for writeFloat/writeFloats
  int32_t compression;       // recorded only; output is never compressed
  int32_t nextLightHandle;
  int32_t nextObjectHandle;
  int32_t precision;         // significant digits of "%g" floats (6 keeps the classic bytes)

  /// Opens the target (null: standard output; "rendrib", "rgl", "prman" or "|cmd": a pipe;
  /// otherwise a file), applies the options (at most 512, up to a null token), writes the header
  /// and predeclares the standard parameters. An unwritable target ends the process (status 1).
  explicit RibWriter(const char *target, const RibOption *options = nullptr);
  /// Ends the output: a final newline, then the file or pipe is closed (the pipe's command is
  /// waited for); standard output stays open.
  ~RibWriter() override;

  RibWriter(const RibWriter &) = delete;
  RibWriter &operator=(const RibWriter &) = delete;

  // ---- Value writers (RibValues.cpp): follow `binary` where said ----

  /// ASCII "%g " (value and one blank); binary 0xA4 and the IEEE single, big-endian.
  void writeFloat(RtFloat value);
  /// ASCII "[v v v]"; binary a length header and n big-endian singles, no brackets.
  void writeFloats(const RtFloat *values, int n);
  /// "[i i i ]" - always text.
  void writeInts(const RtInt *values, int n);
  /// "[\"a\" \"b\" ]" - always text, each text quoted and escaped.
  void writeStrings(RtToken const *texts, int n);

  // ---- Parameter list writers (ParamList.cpp): end the line ----

  /// For non-primitive requests: each parameter carries its declared array size of elements.
  /// Writes " \"name\"" when name is set and " count" when count > 0.
  void writeParamList(const char *name, int count, int n, RtToken const tokens[],
                      RtPointer const values[]);
  void writeParamPairs(const char *name, int count, const RiParamPair *pairs);
  /// For primitives: a parameter's element count follows from its class.
  void writePrimParamList(int vertexCount, int varyingCount, int uniformCount, int n,
                          RtToken const tokens[], RtPointer const values[]);
  void writePrimParamPairs(int vertexCount, int varyingCount, int uniformCount,
                           const RiParamPair *pairs);

  // ---- Text output (RibOutput.cpp): locale-independent, buffered per call ----

  /// Writes text as it is (no quoting, no escaping).
  void writeRaw(const char *text);
  void writeRaw(const char *text, size_t length);
  /// Writes a text in double quotes, escaping quote, backslash and newline.
  void writeQuoted(const char *text);
  /// printf-like, but locale-independent and through the library's float formatter:
  /// %d %i (int), %ld (long), %g (a float promoted to double, `precision` digits), %f (six
  /// decimals), %s (a text; escaped for quoting - the format supplies the quotes), %%.
  void writeFormatted(const char *format, ...);
  void writeFormattedV(const char *format, va_list arguments);

  // ---- Requests ----

  // Frame and world blocks
  RtVoid FrameBegin(RtInt frame) override;
  RtVoid FrameEnd() override;
  RtVoid WorldBegin() override;
  RtVoid WorldEnd() override;

  // Camera options
  RtVoid Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio) override;
  RtVoid FrameAspectRatio(RtFloat frameaspectratio) override;
  RtVoid ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top) override;
  RtVoid CropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax) override;
  RtVoid Projection(RtToken name, ...) override;
  RtVoid ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Clipping(RtFloat hither, RtFloat yon) override;
  RtVoid DepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance) override;
  RtVoid Shutter(RtFloat opentime, RtFloat closetime) override;

  // Display options
  RtVoid PixelVariance(RtFloat variation) override;
  RtVoid PixelSamples(RtFloat xsamples, RtFloat ysamples) override;
  RtVoid PixelFilter(RtFilterFunc filterfunc, RtFloat xwidth, RtFloat ywidth) override;
  RtVoid Exposure(RtFloat gain, RtFloat gamma) override;
  RtVoid Quantize(RtToken type, RtInt one, RtInt min, RtInt max,
                          RtFloat ditheramplitude) override;
  RtVoid Display(char *name, RtToken type, RtToken mode, ...) override;
  RtVoid DisplayV(char *name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                          RtPointer values[]) override;
  RtVoid Hider(RtToken type, ...) override;
  RtVoid HiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid ColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]) override;
  RtVoid RelativeDetail(RtFloat relativedetail) override;
  RtVoid Option(RtToken name, ...) override;
  RtVoid OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;

  // Attribute block
  RtVoid AttributeBegin() override;
  RtVoid AttributeEnd() override;

  // Attributes (here the writing form stands before the gathering form)
  RtVoid Color(RtColor color) override;
  RtVoid Opacity(RtColor color) override;
  RtVoid TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3,
                                    RtFloat t3, RtFloat s4, RtFloat t4) override;
  RtVoid ShadingRate(RtFloat size) override;
  RtVoid ShadingInterpolation(RtToken type) override;
  RtVoid Matte(RtBoolean onoff) override;
  RtVoid Bound(RtBound bound) override;
  RtVoid Detail(RtBound bound) override;
  RtVoid DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                             RtFloat maxvisible) override;
  RtVoid GeometricApproximation(RtToken type, RtFloat value) override;
  RtVoid GeometricRepresentation(RtToken type) override;
  RtVoid Sides(RtInt sides) override;
  RtVoid Orientation(RtToken orientation) override;
  RtVoid ReverseOrientation() override;
  RtVoid AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Attribute(RtToken name, ...) override;

  // Transforms
  RtVoid Identity() override;
  RtVoid ConcatTransform(RtMatrix transform) override;
  RtVoid Transform(RtMatrix transform) override;
  RtVoid Perspective(RtFloat fov) override;
  RtVoid Translate(RtFloat dx, RtFloat dy, RtFloat dz) override;
  RtVoid Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) override;
  RtVoid Scale(RtFloat sx, RtFloat sy, RtFloat sz) override;
  RtVoid Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2,
                      RtFloat dy2, RtFloat dz2) override;
  RtVoid CoordinateSystem(RtToken space) override;
  RtVoid CoordSysTransform(RtToken space) override;
  RtPoint *TransformPoints(RtToken fromspace, RtToken tospace, RtInt npoints,
                                   RtPoint points[]) override;
  RtVoid TransformBegin() override;
  RtVoid TransformEnd() override;
  /// The n sample times follow as variadic arguments.
  RtVoid MotionBegin(RtInt n, ...) override;
  RtVoid MotionBeginV(RtInt n, RtFloat times[]) override;
  RtVoid MotionEnd() override;

  // Shaders and lights
  RtVoid Surface(RtToken name, ...) override;
  RtVoid SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Displacement(RtToken name, ...) override;
  RtVoid DisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Atmosphere(RtToken name, ...) override;
  RtVoid AtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Interior(RtToken name, ...) override;
  RtVoid InteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Exterior(RtToken name, ...) override;
  RtVoid ExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Imager(RtToken name, ...) override;
  RtVoid ImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtLightHandle LightSource(RtToken name, ...) override;
  RtLightHandle LightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                     RtPointer values[]) override;
  RtLightHandle AreaLightSource(RtToken name, ...) override;
  RtLightHandle AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[],
                                         RtPointer values[]) override;
  RtVoid Illuminate(RtLightHandle light, RtBoolean onoff) override;

  // Quadrics and polygons
  RtVoid Cone(RtFloat height, RtFloat radius, RtFloat thetamax, ...) override;
  RtVoid ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                       RtToken tokens[], RtPointer values[]) override;
  RtVoid Cylinder(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) override;
  RtVoid CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                           RtToken tokens[], RtPointer values[]) override;
  RtVoid Disk(RtFloat height, RtFloat radius, RtFloat thetamax, ...) override;
  RtVoid DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                       RtToken tokens[], RtPointer values[]) override;
  RtVoid Hyperboloid(RtPoint point1, RtPoint point2, RtFloat thetamax, ...) override;
  RtVoid HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                              RtToken tokens[], RtPointer values[]) override;
  RtVoid Paraboloid(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) override;
  RtVoid ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                             RtToken tokens[], RtPointer values[]) override;
  RtVoid Sphere(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) override;
  RtVoid SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                         RtToken tokens[], RtPointer values[]) override;
  RtVoid Torus(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                       RtFloat thetamax, ...) override;
  RtVoid TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                        RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Polygon(RtInt nvertices, ...) override;
  RtVoid PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid GeneralPolygon(RtInt nloops, RtInt nvertices[], ...) override;
  RtVoid GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                                 RtPointer values[]) override;
  RtVoid PointsPolygons(RtInt npolys, RtInt nvertices[], RtInt vertices[], ...) override;
  RtVoid PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                                 RtToken tokens[], RtPointer values[]) override;
  RtVoid PointsGeneralPolygons(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                       RtInt vertices[], ...) override;
  RtVoid PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[],
                                        RtInt vertices[], RtInt n, RtToken tokens[],
                                        RtPointer values[]) override;

  // Patches and other primitives
  RtVoid Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) override;
  RtVoid Patch(RtToken type, ...) override;
  RtVoid PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid PatchMesh(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap,
                           ...) override;
  RtVoid PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap,
                            RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[],
                           RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[],
                           RtFloat w[]) override;
  RtVoid NuPatch(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                         RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                         ...) override;
  RtVoid NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax,
                          RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax,
                          RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid Curves(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...) override;
  RtVoid CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                         RtToken tokens[], RtPointer values[]) override;
  RtVoid Points(RtInt npoints, ...) override;
  RtVoid PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid SubdivisionMesh(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                 RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[],
                                 RtInt intargs[], RtFloat floatargs[], ...) override;
  RtVoid SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                  RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[],
                                  RtInt intargs[], RtFloat floatargs[], RtInt n,
                                  RtToken tokens[], RtPointer values[]) override;
  RtVoid Blobby(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                        RtInt nstr, RtToken str[], ...) override;
  RtVoid BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[],
                         RtInt nstr, RtToken str[], RtInt n, RtToken tokens[],
                         RtPointer values[]) override;
  RtVoid Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                            RtProcFreeFunc freefunc) override;
  RtVoid Geometry(RtToken type, ...) override;
  RtVoid GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override;

  // Solids and retained objects
  RtVoid SolidBegin(RtToken operation) override;
  RtVoid SolidEnd() override;
  RtObjectHandle ObjectBegin() override;
  RtVoid ObjectEnd() override;
  RtVoid ObjectInstance(RtObjectHandle handle) override;

  // Texture making
  RtVoid MakeTexture(char *picturename, char *texturename, RtToken swrap, RtToken twrap,
                             RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, ...) override;
  RtVoid MakeTextureV(char *picturename, char *texturename, RtToken swrap,
                              RtToken twrap, RtFilterFunc filterfunc, RtFloat swidth,
                              RtFloat twidth, RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid MakeLatLongEnvironment(char *picturename, char *texturename,
                                        RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth,
                                        ...) override;
  RtVoid MakeLatLongEnvironmentV(char *picturename, char *texturename,
                                         RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth,
                                         RtInt n, RtToken tokens[], RtPointer values[]) override;
  RtVoid MakeCubeFaceEnvironment(char *px, char *nx, char *py, char *ny, char *pz,
                                         char *nz, char *texturename, RtFloat fov,
                                         RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth,
                                         ...) override;
  RtVoid MakeCubeFaceEnvironmentV(char *px, char *nx, char *py, char *ny, char *pz,
                                          char *nz, char *texturename, RtFloat fov,
                                          RtFilterFunc filterfunc, RtFloat swidth,
                                          RtFloat twidth, RtInt n, RtToken tokens[],
                                          RtPointer values[]) override;
  RtVoid MakeShadow(char *picturename, char *texturename, ...) override;
  RtVoid MakeShadowV(char *picturename, char *texturename, RtInt n, RtToken tokens[],
                             RtPointer values[]) override;

  // Declarations, archives, errors
  RtToken Declare(char *name, char *declaration) override;
  RtVoid ArchiveRecord(RtToken type, char *format, ...) override;
  RtVoid ArchiveRecordV(RtToken type, char *format, va_list arguments) override;
  RtVoid ReadArchive(RtToken name, RtArchiveCallback callback, ...) override;
  RtVoid ReadArchiveV(RtToken name, RtArchiveCallback callback, RtInt n,
                              RtToken tokens[], RtPointer values[]) override;
  RtVoid ErrorHandler(RtErrorHandler handler) override;
};
