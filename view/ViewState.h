// ViewState.h - what ViewContext keeps between requests: the options of the frame (the camera),
// the graphics state and its stacks, lights, retained objects and the picture being gathered.
// The requests that change a picture are operations of ViewContext::State, in three files:
// ViewContext.cpp (blocks, options, attributes, transformations, lights), ViewGeometry.cpp (the
// primitives) and ViewArchives.cpp (archives, procedurals, objects).
#pragma once

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "Camera.h"
#include "Declarations.h"
#include "MeshDrawing.h"
#include "NuPatch.h"
#include "RequestDefaults.h"
#include "ViewContext.h"

namespace view {

struct Attributes {
  Mat4 transform; // current space -> world (camera, before WorldBegin)
  Color color, opacity;
  SurfaceLook look;
  Orientation orientation = Orientation::Outside;
  int sides = 2;
  std::vector<bool> lightsOn;
  RtBasis ubasis, vbasis;
  int ustep = 3, vstep = 3;
  TrimCurves trims;
  bool trimInside = false;
  double detail = -1; // the raster area of the Detail bound; negative: none given
  bool hidden = false; // outside its DetailRange
  Attributes();
};

/// A primitive of a retained object, in the object's own space.
struct StoredMesh {
  Mesh mesh;
  Mat4 toObject;
  view::Orientation orientation;
  int sides;
};

struct ViewContext::State : RequestDefaults {
  State(ViewContext &self, const ViewOptions &view, PictureDone done)
      : self(self), view(view), done(std::move(done)) {}

  ViewContext &self;
  ViewOptions view;
  PictureDone done;
  std::string inputName;
  std::vector<std::string> archives; // the archives being read, innermost last

  CameraOptions options;
  std::vector<CameraOptions> savedOptions; // FrameBegin's
  Attributes attributes;
  std::vector<Attributes> savedAttributes; // AttributeBegin's, FrameBegin's, WorldBegin's
  std::vector<size_t> blockBases; // savedAttributes' size inside each open frame or world
  std::vector<Mat4> savedTransforms;       // TransformBegin's
  std::map<std::string, Mat4> spaces;      // CoordinateSystem's, to world
  Declarations declarations;

  bool inWorld = false;
  int frameNumber = 0;
  bool inFrame = false;
  int pictures = 0;
  Picture picture;
  DepthExtent depth;
  std::deque<Light> lights;
  Light eye;

  bool inMotion = false, motionTaken = false;
  int inlineDepth = 0;                 // inside ArchiveBegin ... ArchiveEnd
  std::vector<std::string> inlineArchives; // their names

  std::vector<std::vector<StoredMesh>> objects;
  std::vector<bool> objectInWorld; // released at WorldEnd
  int defining = -1; // the object being defined
  Mat4 definingTransform;

  // The first request of a motion block is drawn; the others are its later samples.
  bool skipMotionSample() {
    if (!inMotion) return false;
    if (motionTaken) return true;
    motionTaken = true;
    return false;
  }
  // A frame or world block saves the attributes; an AttributeEnd never takes back more than its
  // own block saved, and the block's end takes back all of it.
  void beginBlock() {
    savedAttributes.push_back(attributes);
    blockBases.push_back(savedAttributes.size());
  }
  void endBlock() {
    if (blockBases.empty()) return;
    savedAttributes.resize(blockBases.back());
    blockBases.pop_back();
    attributes = savedAttributes.back();
    savedAttributes.pop_back();
  }
  Mat4 toCamera() const {
    return inWorld ? attributes.transform * options.worldToCamera : attributes.transform;
  }
  void concat(const Mat4 &m) {
    if (!skipMotionSample()) attributes.transform = m * attributes.transform;
  }
  /// Draws (or keeps in the object being defined) a primitive made in the current space.
  void draw(const Mesh &mesh);
  void drawIn(const Mesh &mesh, const Mat4 &toCamera, view::Orientation orientation, int sides);
  Frame frame() const { return frameOf(options, view); }
  PrimVars vars(RtInt n, RtToken tokens[], RtPointer values[]) const {
    return findPrimVars(n, tokens, values, declarations);
  }

  // ---- Blocks and options (ViewContext.cpp) ----
  RtVoid FrameBegin(RtInt frame);
  RtVoid FrameEnd();
  RtVoid WorldBegin();
  RtVoid WorldEnd();
  RtVoid Format(RtInt xresolution, RtInt yresolution, RtFloat pixelaspectratio);
  RtVoid FrameAspectRatio(RtFloat frameaspectratio);
  RtVoid ScreenWindow(RtFloat left, RtFloat right, RtFloat bottom, RtFloat top);
  RtVoid ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid Clipping(RtFloat hither, RtFloat yon);

  // ---- Attributes ----
  RtVoid AttributeBegin();
  RtVoid AttributeEnd();
  RtVoid Color(RtColor color);
  RtVoid Opacity(RtColor color);
  RtVoid Sides(RtInt sides);
  RtVoid Orientation(RtToken orientation);
  RtVoid ReverseOrientation();
  RtVoid AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
  RtLightHandle LightSourceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
  RtLightHandle AreaLightSourceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid Illuminate(RtLightHandle light, RtBoolean onoff);
  RtVoid Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep);
  RtVoid TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[], RtFloat min[],
                   RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[], RtFloat w[]);
  RtToken Declare(char *name, char *declaration);
  RtVoid Detail(RtBound bound);
  RtVoid DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition,
                     RtFloat maxvisible);

  // ---- Transformations ----
  RtVoid Identity();
  RtVoid ConcatTransform(RtMatrix transform);
  RtVoid Transform(RtMatrix transform);
  RtVoid Perspective(RtFloat fov);
  RtVoid Translate(RtFloat dx, RtFloat dy, RtFloat dz);
  RtVoid Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz);
  RtVoid Scale(RtFloat sx, RtFloat sy, RtFloat sz);
  RtVoid Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2, RtFloat dy2,
              RtFloat dz2);
  RtVoid CoordinateSystem(RtToken space);
  RtVoid CoordSysTransform(RtToken space);
  RtVoid TransformBegin();
  RtVoid TransformEnd();
  RtVoid MotionBeginV(RtInt n, RtFloat times[]);
  RtVoid MotionEnd();

  // ---- Primitives (ViewGeometry.cpp) ----
  RtVoid SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                 RtToken tokens[], RtPointer values[]);
  RtVoid ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
               RtPointer values[]);
  RtVoid CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                   RtToken tokens[], RtPointer values[]);
  RtVoid HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n, RtToken tokens[],
                      RtPointer values[]);
  RtVoid ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                     RtToken tokens[], RtPointer values[]);
  RtVoid DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[],
               RtPointer values[]);
  RtVoid TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[],
                         RtPointer values[]);
  RtVoid PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n,
                         RtToken tokens[], RtPointer values[]);
  RtVoid PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[],
                                RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, RtInt n,
                    RtToken tokens[], RtPointer values[]);
  RtVoid NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv,
                  RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, RtInt n,
                  RtToken tokens[], RtPointer values[]);
  RtVoid CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n,
                 RtToken tokens[], RtPointer values[]);
  RtVoid PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[],
                          RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[],
                          RtFloat floatargs[], RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr,
                 RtToken str[], RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]);

  // ---- Archives, procedurals, objects (ViewArchives.cpp) ----
  RtVoid ReadArchiveV(RtToken name, RtArchiveCallback callback, RtInt n, RtToken tokens[],
                      RtPointer values[]);
  RtVoid Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc,
                    RtProcFreeFunc freefunc);
  RtObjectHandle ObjectBegin();
  RtVoid ObjectEnd();
  RtVoid ObjectInstance(RtObjectHandle handle);
  RtArchiveHandle ArchiveBeginV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
  RtVoid ArchiveEnd();
  static bool opensOrClosesArchive(const char *request) {
    return std::strcmp(request, "ArchiveBegin") == 0 || std::strcmp(request, "ArchiveEnd") == 0;
  }
  /// Reads the archive `name` names, found as an archive's path is; `request` names the request.
  void readArchive(const char *name, const char *request);
};

} // namespace view
