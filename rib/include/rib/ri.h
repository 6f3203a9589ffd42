/* ri.h - the C interface of the RIB output library.
 *
 * The library writes RIB (RenderMan scene description, version 3.03) to a file, to standard
 * output or into a renderer's pipe. A C program opens a context with RiBegin, makes requests and
 * lets the context write them:
 *
 *     RiBegin("scene.rib");              (null: standard output; "|cmd": pipe into cmd)
 *     RiFormat(640, 480, 1.0f);
 *     ...
 *
 * Everything here has C linkage and compiles as C99 and as C++. C++ programs may also use the
 * context objects of rib/RiContext.h directly.
 *
 * Failures never end the program: a stream that fails (a full disk, a pipe whose command has gone)
 * is reported once and gets nothing more, a request that cannot be written whole (a number that
 * is not finite, no memory) is left out; each report is one line on standard error and sets
 * RiLastError.
 *
 * One thread for all contexts: the declaration and name tables, RiLastError and the error-report
 * state are process-wide and unlocked. Contexts share no buffer; two threads may each drive a
 * context of their own only with requests that touch nothing process-wide (no parameter list, no
 * declaration, nothing reported).
 */
#ifndef RIB_RI_H
#define RIB_RI_H

#include <stdarg.h>

/* The library's version; the installed package and the shared library carry the same. */
#define RIB_VERSION_MAJOR 1
#define RIB_VERSION_MINOR 0
#define RIB_VERSION_PATCH 0
#define RIB_VERSION "1.0.0"

/* What this header declares is the interface of the shared library; all else stays inside it. */
#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Types of the RenderMan Interface ---- */

typedef short RtBoolean; /* 16-bit */
typedef int RtInt;       /* 32-bit */
typedef float RtFloat;   /* 32-bit IEEE */
typedef char *RtToken;
typedef char *RtString;
typedef void *RtPointer;
typedef void RtVoid;

typedef RtFloat RtColor[3];
typedef RtFloat RtPoint[3];
typedef RtFloat RtMatrix[4][4];
typedef RtFloat RtBasis[4][4];
typedef RtFloat RtBound[6];

typedef RtPointer RtObjectHandle;  /* carries the object's number, not an address */
typedef RtPointer RtLightHandle;   /* carries the light's number, not an address */
typedef RtPointer RtContextHandle; /* the context object itself */
typedef RtPointer RtArchiveHandle; /* an inline archive's name, as ReadArchive takes it */

typedef RtFloat (*RtFilterFunc)(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
typedef RtVoid (*RtErrorHandler)(RtInt code, RtInt severity, char *message);
typedef RtVoid (*RtFunc)(void);
typedef RtVoid (*RtProcSubdivFunc)(RtPointer data, RtFloat detail);
typedef RtVoid (*RtProcFreeFunc)(RtPointer data);
typedef RtVoid (*RtArchiveCallback)(RtToken type, char *format, ...);

#define RI_FALSE 0
#define RI_TRUE 1
#define RI_NULL ((RtToken)0)
#define RI_INFINITY 1.0e38f
#define RI_EPSILON 1.0e-10f

/* ---- Error codes and severities ---- */

#define RIE_NOERROR 0
#define RIE_NOMEM 1
#define RIE_SYSTEM 2
#define RIE_NOFILE 3
#define RIE_BADFILE 4
#define RIE_VERSION 5
#define RIE_DISKFULL 6
#define RIE_INCAPABLE 11
#define RIE_UNIMPLEMENT 12
#define RIE_LIMIT 13
#define RIE_BUG 14
#define RIE_NOTSTARTED 23
#define RIE_NESTING 24
#define RIE_NOTOPTIONS 25
#define RIE_NOTATTRIBS 26
#define RIE_NOTPRIMS 27
#define RIE_ILLSTATE 28
#define RIE_BADMOTION 29
#define RIE_BADSOLID 30
#define RIE_BADTOKEN 41
#define RIE_RANGE 42
#define RIE_CONSISTENCY 43
#define RIE_BADHANDLE 44
#define RIE_NOSHADER 45
#define RIE_MISSINGDATA 46
#define RIE_SYNTAX 47
#define RIE_MATH 61

#define RIE_INFO 0
#define RIE_WARNING 1
#define RIE_ERROR 2
#define RIE_SEVERE 3

/* ---- Token variables: the predeclared names, interned when a context begins ---- */

#define RI_DECLARED_TOKEN(variable, name, declaration) extern RtToken variable;
#define RI_INTERNED_TOKEN(variable, name) extern RtToken variable;
#include "rib/RiTokens.def"

/* ---- Process-wide state ---- */

extern RtInt RiLastError;     /* code of the last error the library reported */
extern RtInt gRibBinary;      /* binary float encoding for contexts made by RiBegin */
extern RtInt gRibCompression; /* gzip-compressed output for contexts made by RiBegin */
extern RtInt gRibPrecision;   /* significant digits of "%g" floats for contexts made by RiBegin:
                                 6 (the default) or up to 17; 9 makes every float read back exact */
extern char *gRibErrorFile;   /* set by an embedding program: RIB source being read */
extern RtInt gRibErrorLine;   /* line in that source; above 0 adds "file (line): " to reports */
extern char *gRibErrorObject; /* object being processed; named at the end of each report */

/* ---- Error handlers ---- */

/* Records the code and prints nothing. */
RtVoid RiErrorIgnore(RtInt code, RtInt severity, char *message);
/* Prints a report on standard error, folding immediate repeats; exits with -1 when severe. */
RtVoid RiErrorPrint(RtInt code, RtInt severity, char *message);
/* As RiErrorPrint, and exits with -1 from severity RIE_ERROR up. */
RtVoid RiErrorAbort(RtInt code, RtInt severity, char *message);

/* ---- Standard filters, bases and procedural markers ---- */

RtFloat RiGaussianFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiBoxFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiTriangleFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiCatmullRomFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiSincFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiBesselFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiDiskFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiMitchellFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);

extern RtBasis RiBezierBasis, RiBSplineBasis, RiCatmullRomBasis, RiHermiteBasis, RiPowerBasis;

/* Markers for RiProcedural: recognised by identity; calling them does nothing. */
RtVoid RiProcDelayedReadArchive(RtPointer data, RtFloat detail);
RtVoid RiProcRunProgram(RtPointer data, RtFloat detail);
RtVoid RiProcDynamicLoad(RtPointer data, RtFloat detail);

/* ---- Contexts ---- */

/* Opens a RIB context on a file, standard output (null name), a renderer ("rendrib", "rgl",
 * "prman") or a command ("|command"), writes the RIB header and makes it the current context.
 * Uses gRibBinary. An unwritable target ends the process with status 1; without memory for the
 * context one line says so (RIE_NOMEM) and null is returned. */
RtContextHandle RiBegin(RtToken name);
/* As RiBegin but ASCII, and without making the context current. */
RtContextHandle RiNewContext(RtToken name);

/* ---- Option requests (each reports "RiBegin not called" and exits when there is no context) ----
 */

RtVoid RiFormat(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio);
RtVoid RiFrameAspectRatio(RtFloat frameaspectratio);
RtVoid RiScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top);
RtVoid RiCropWindow(RtFloat xmin, RtFloat xmax, RtFloat ymin, RtFloat ymax);
RtVoid RiProjection(RtToken name, ...);
RtVoid RiProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiClipping(RtFloat hither, RtFloat yon);
RtVoid RiDepthOfField(RtFloat fstop, RtFloat focallength, RtFloat focaldistance);
RtVoid RiShutter(RtFloat opentime, RtFloat closetime);
RtVoid RiPixelVariance(RtFloat variation);
RtVoid RiPixelSamples(RtFloat xsamples, RtFloat ysamples);
RtVoid RiPixelFilter(RtFilterFunc filterfunc, RtFloat xwidth, RtFloat ywidth);
RtVoid RiExposure(RtFloat gain, RtFloat gamma);
RtVoid RiQuantize(RtToken type, RtInt one, RtInt min, RtInt max, RtFloat ditheramplitude);
RtVoid RiDisplay(char *name, RtToken type, RtToken mode, ...);
RtVoid RiDisplayV(char *name, RtToken type, RtToken mode, RtInt n, RtToken tokens[],
                  RtPointer values[]);
RtVoid RiHider(RtToken type, ...);
RtVoid RiHiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiColorSamples(RtInt n, RtFloat nRGB[], RtFloat RGBn[]);
RtVoid RiRelativeDetail(RtFloat relativedetail);
/* The name "rib" (or "RIB") sets the library's own options for the contexts RiBegin makes later
 * ("format" "binary", "binary" 0/1, "compression" "gzip", "precision" 1-17) and works without a
 * context. Compressed RIB is had by a pipe target: RiBegin("|gzip > scene.rib.gz"). */
RtVoid RiOption(RtToken name, ...);
RtVoid RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);

/* ---- All other requests: each forwards to the current context; without one it reports
 *      "RiBegin not called" (severe) naming the procedure and ends the process ---- */

/* Ends the current context (a final newline; the file is closed or the pipe's command waited for,
 * a failure or a command's status other than 0 reported) and clears it; later requests report
 * "RiBegin not called". */
RtVoid RiEnd(void);
/* The current context, or null. */
RtContextHandle RiGetContext(void);
/* Frame and world blocks */
RtVoid RiFrameBegin(RtInt frame);
RtVoid RiFrameEnd(void);
RtVoid RiWorldBegin(void);
RtVoid RiWorldEnd(void);

/* Attribute block */
RtVoid RiAttributeBegin(void);
RtVoid RiAttributeEnd(void);

/* Attributes */
RtVoid RiColor(RtColor color);
RtVoid RiOpacity(RtColor color);
RtVoid RiTextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3, RtFloat t3,
                            RtFloat s4, RtFloat t4);
RtVoid RiShadingRate(RtFloat size);
RtVoid RiShadingInterpolation(RtToken type);
RtVoid RiMatte(RtBoolean onoff);
RtVoid RiBound(RtBound bound);
RtVoid RiDetail(RtBound bound);
RtVoid RiDetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                     RtFloat maxvisible);
RtVoid RiGeometricApproximation(RtToken type, RtFloat value);
RtVoid RiGeometricRepresentation(RtToken type);
RtVoid RiSides(RtInt sides);
RtVoid RiOrientation(RtToken orientation);
RtVoid RiReverseOrientation(void);
RtVoid RiAttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiAttribute(RtToken name, ...);

/* Transforms */
RtVoid RiIdentity(void);
RtVoid RiConcatTransform(RtMatrix transform);
RtVoid RiTransform(RtMatrix transform);
RtVoid RiPerspective(RtFloat fov);
RtVoid RiTranslate(RtFloat dx, RtFloat dy, RtFloat dz);
RtVoid RiRotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz);
RtVoid RiScale(RtFloat sx, RtFloat sy, RtFloat sz);
RtVoid RiSkew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2, RtFloat dy2,
              RtFloat dz2);
RtVoid RiCoordinateSystem(RtToken space);
RtVoid RiCoordSysTransform(RtToken space);
RtPoint *RiTransformPoints(RtToken fromspace, RtToken tospace, RtInt npoints, RtPoint points[]);
RtVoid RiTransformBegin(void);
RtVoid RiTransformEnd(void);
RtVoid RiMotionBegin(RtInt n, ...);
RtVoid RiMotionBeginV(RtInt n, RtFloat times[]);
RtVoid RiMotionEnd(void);

/* Shaders and lights */
RtVoid RiSurface(RtToken name, ...);
RtVoid RiSurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiDisplacement(RtToken name, ...);
RtVoid RiDisplacementV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiAtmosphere(RtToken name, ...);
RtVoid RiAtmosphereV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiInterior(RtToken name, ...);
RtVoid RiInteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiExterior(RtToken name, ...);
RtVoid RiExteriorV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiImager(RtToken name, ...);
RtVoid RiImagerV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtLightHandle RiLightSource(RtToken name, ...);
RtLightHandle RiLightSourceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtLightHandle RiAreaLightSource(RtToken name, ...);
RtLightHandle RiAreaLightSourceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiIlluminate(RtLightHandle light, RtBoolean onoff);

/* Quadrics and polygons */
RtVoid RiCone(RtFloat height, RtFloat radius, RtFloat thetamax, ...);
RtVoid RiConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
               RtPointer values[]);
RtVoid RiCylinder(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...);
RtVoid RiCylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                   RtToken tokens[], RtPointer values[]);
RtVoid RiDisk(RtFloat height, RtFloat radius, RtFloat thetamax, ...);
RtVoid RiDiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
               RtPointer values[]);
RtVoid RiHyperboloid(RtPoint point1, RtPoint point2, RtFloat thetamax, ...);
RtVoid RiHyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n, RtToken tokens[],
                      RtPointer values[]);
RtVoid RiParaboloid(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...);
RtVoid RiParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                     RtToken tokens[], RtPointer values[]);
RtVoid RiSphere(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...);
RtVoid RiSphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                 RtToken tokens[], RtPointer values[]);
RtVoid RiTorus(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
               RtFloat thetamax, ...);
RtVoid RiTorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiPolygon(RtInt nvertices, ...);
RtVoid RiPolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiGeneralPolygon(RtInt nloops, RtInt nvertices[], ...);
RtVoid RiGeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                         RtPointer values[]);
RtVoid RiPointsPolygons(RtInt npolys, RtInt nvertices[], RtInt vertices[], ...);
RtVoid RiPointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                         RtToken tokens[], RtPointer values[]);
RtVoid RiPointsGeneralPolygons(RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[],
                               ...);
RtVoid RiPointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[],
                                RtInt n, RtToken tokens[], RtPointer values[]);

/* Patches and other primitives */
RtVoid RiBasis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep);
RtVoid RiPatch(RtToken type, ...);
RtVoid RiPatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiPatchMesh(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, ...);
RtVoid RiPatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, RtInt n,
                    RtToken tokens[], RtPointer values[]);
RtVoid RiTrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[], RtFloat min[],
                   RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[], RtFloat w[]);
RtVoid RiNuPatch(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv,
                 RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, ...);
RtVoid RiNuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv,
                  RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, RtInt n,
                  RtToken tokens[], RtPointer values[]);
RtVoid RiCurves(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...);
RtVoid RiCurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                 RtToken tokens[], RtPointer values[]);
RtVoid RiPoints(RtInt npoints, ...);
RtVoid RiPointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiSubdivisionMesh(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                         RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                         RtFloat floatargs[], ...);
RtVoid RiSubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                          RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                          RtFloat floatargs[], RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiBlobby(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr,
                RtToken str[], ...);
RtVoid RiBlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr,
                 RtToken str[], RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiProcedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                    RtProcFreeFunc freefunc);
RtVoid RiGeometry(RtToken type, ...);
RtVoid RiGeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]);

/* Solids and retained objects */
RtVoid RiSolidBegin(RtToken operation);
RtVoid RiSolidEnd(void);
RtObjectHandle RiObjectBegin(void);
RtVoid RiObjectEnd(void);
RtVoid RiObjectInstance(RtObjectHandle handle);

/* Texture making */
RtVoid RiMakeTexture(char *picturename, char *texturename, RtToken swrap, RtToken twrap,
                     RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, ...);
RtVoid RiMakeTextureV(char *picturename, char *texturename, RtToken swrap, RtToken twrap,
                      RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, RtInt n,
                      RtToken tokens[], RtPointer values[]);
RtVoid RiMakeLatLongEnvironment(char *picturename, char *texturename, RtFilterFunc filterfunc,
                                RtFloat swidth, RtFloat twidth, ...);
RtVoid RiMakeLatLongEnvironmentV(char *picturename, char *texturename, RtFilterFunc filterfunc,
                                 RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[],
                                 RtPointer values[]);
RtVoid RiMakeCubeFaceEnvironment(char *px, char *nx, char *py, char *ny, char *pz, char *nz,
                                 char *texturename, RtFloat fov, RtFilterFunc filterfunc,
                                 RtFloat swidth, RtFloat twidth, ...);
RtVoid RiMakeCubeFaceEnvironmentV(char *px, char *nx, char *py, char *ny, char *pz, char *nz,
                                  char *texturename, RtFloat fov, RtFilterFunc filterfunc,
                                  RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[],
                                  RtPointer values[]);
RtVoid RiMakeShadow(char *picturename, char *texturename, ...);
RtVoid RiMakeShadowV(char *picturename, char *texturename, RtInt n, RtToken tokens[],
                     RtPointer values[]);

/* Declarations, archives, errors */
RtToken RiDeclare(char *name, char *declaration);
RtVoid RiArchiveRecord(RtToken type, char *format, ...);
RtVoid RiArchiveRecordV(RtToken type, char *format, va_list arguments);
RtVoid RiReadArchive(RtToken name, RtArchiveCallback callback, ...);
RtVoid RiReadArchiveV(RtToken name, RtArchiveCallback callback, RtInt n, RtToken tokens[],
                      RtPointer values[]);
RtVoid RiErrorHandler(RtErrorHandler handler);

/* Requests of the later interface */
RtArchiveHandle RiArchiveBegin(RtToken name, ...);
RtArchiveHandle RiArchiveBeginV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiArchiveEnd(void);
RtVoid RiIfBegin(char *condition);
RtVoid RiElseIf(char *condition);
RtVoid RiElse(void);
RtVoid RiIfEnd(void);
RtVoid RiResource(RtToken handle, RtToken type, ...);
RtVoid RiResourceV(RtToken handle, RtToken type, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiResourceBegin(void);
RtVoid RiResourceEnd(void);
RtVoid RiClippingPlane(RtFloat x, RtFloat y, RtFloat z, RtFloat nx, RtFloat ny, RtFloat nz);
RtVoid RiDeformation(RtToken name, ...);
RtVoid RiDeformationV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
RtVoid RiMakeBump(char *picturename, char *texturename, RtToken swrap, RtToken twrap,
                  RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, ...);
RtVoid RiMakeBumpV(char *picturename, char *texturename, RtToken swrap, RtToken twrap,
                   RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, RtInt n,
                   RtToken tokens[], RtPointer values[]);
RtVoid RiMakeOcclusion(RtInt npics, RtToken picfiles[], char *shadowfile, ...);
RtVoid RiMakeOcclusionV(RtInt npics, RtToken picfiles[], char *shadowfile, RtInt n,
                        RtToken tokens[], RtPointer values[]);
RtVoid RiShaderLayer(RtToken type, RtToken name, RtToken layername, ...);
RtVoid RiShaderLayerV(RtToken type, RtToken name, RtToken layername, RtInt n, RtToken tokens[],
                      RtPointer values[]);
RtVoid RiConnectShaderLayers(RtToken type, RtToken layer1, RtToken variable1, RtToken layer2,
                             RtToken variable2);

#ifdef __cplusplus
}
#endif

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif

#endif /* RIB_RI_H */
