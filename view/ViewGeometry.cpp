// The primitives of ViewContext: each cut into a mesh by its tessellator, in the current space,
// then drawn (or kept in the object being defined).
#include <cstring>

#include "Blobby.h"
#include "Curves.h"
#include "Diagnostics.h"
#include "NuPatch.h"
#include "Patches.h"
#include "Polygons.h"
#include "Quadrics.h"
#include "SubdivisionMesh.h"
#include "Teapot.h"
#include "ViewState.h"

namespace view {
namespace {

bool named(const char *text, const char *name) { return text && std::strcmp(text, name) == 0; }

} // namespace

#define VIEW_SPACE(space) const CameraViewSpace space(options, frame(), toCamera())

// ---- Quadrics ----

RtVoid ViewContext::State::SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax,
                                   RtInt n, RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateSphere(radius, zmin, zmax, thetamax, vars(n, tokens, values), space, mesh);
  draw(mesh);
}

RtVoid ViewContext::State::ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                                 RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateCone(height, radius, thetamax, vars(n, tokens, values), space, mesh);
  draw(mesh);
}

RtVoid ViewContext::State::CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax,
                                     RtInt n, RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateCylinder(radius, zmin, zmax, thetamax, vars(n, tokens, values), space, mesh);
  draw(mesh);
}

RtVoid ViewContext::State::HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                                        RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateHyperboloid({point1[0], point1[1], point1[2]}, {point2[0], point2[1], point2[2]},
                        thetamax, vars(n, tokens, values), space, mesh);
  draw(mesh);
}

RtVoid ViewContext::State::ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax,
                                       RtInt n, RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateParaboloid(rmax, zmin, zmax, thetamax, vars(n, tokens, values), space, mesh);
  draw(mesh);
}

RtVoid ViewContext::State::DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                                 RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateDisk(height, radius, thetamax, vars(n, tokens, values), space, mesh);
  draw(mesh);
}

RtVoid ViewContext::State::TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin,
                                  RtFloat phimax, RtFloat thetamax, RtInt n, RtToken tokens[],
                                  RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateTorus(majorradius, minorradius, phimin, phimax, thetamax, vars(n, tokens, values),
                  space, mesh);
  draw(mesh);
}

// ---- Polygons ----

RtVoid ViewContext::State::PolygonV(RtInt nvertices, RtInt n, RtToken tokens[],
                                    RtPointer values[]) {
  if (skipMotionSample()) return;
  PolygonsArgs args;
  args.nvertices = &nvertices;
  Mesh mesh;
  if (tessellatePolygons(args, vars(n, tokens, values), mesh)) draw(mesh);
}

RtVoid ViewContext::State::GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n,
                                           RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  PolygonsArgs args;
  args.nloops = &nloops;
  args.nvertices = nvertices;
  args.general = true;
  Mesh mesh;
  if (tessellatePolygons(args, vars(n, tokens, values), mesh)) draw(mesh);
}

RtVoid ViewContext::State::PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[],
                                           RtInt n, RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  PolygonsArgs args;
  args.npolys = npolys;
  args.nvertices = nvertices;
  args.vertices = vertices;
  Mesh mesh;
  if (tessellatePolygons(args, vars(n, tokens, values), mesh)) draw(mesh);
}

RtVoid ViewContext::State::PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[],
                                                  RtInt nvertices[], RtInt vertices[], RtInt n,
                                                  RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  PolygonsArgs args;
  args.npolys = npolys;
  args.nloops = nloops;
  args.nvertices = nvertices;
  args.vertices = vertices;
  args.general = true;
  Mesh mesh;
  if (tessellatePolygons(args, vars(n, tokens, values), mesh)) draw(mesh);
}

// ---- Patches ----

RtVoid ViewContext::State::PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {
  const bool bicubic = named(type, "bicubic");
  PatchMeshV(type, bicubic ? 4 : 2, const_cast<RtToken>("nonperiodic"), bicubic ? 4 : 2,
             const_cast<RtToken>("nonperiodic"), n, tokens, values);
}

RtVoid ViewContext::State::PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv,
                                      RtToken vwrap, RtInt n, RtToken tokens[],
                                      RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  PatchMeshArgs args;
  args.bicubic = named(type, "bicubic");
  args.nu = nu, args.nv = nv;
  args.uPeriodic = named(uwrap, "periodic"), args.vPeriodic = named(vwrap, "periodic");
  args.ubasis = attributes.ubasis, args.vbasis = attributes.vbasis;
  args.ustep = attributes.ustep, args.vstep = attributes.vstep;
  Mesh mesh;
  if (tessellatePatchMesh(args, vars(n, tokens, values), space, mesh)) draw(mesh);
}

RtVoid ViewContext::State::NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin,
                                    RtFloat umax, RtInt nv, RtInt vorder, RtFloat vknot[],
                                    RtFloat vmin, RtFloat vmax, RtInt n, RtToken tokens[],
                                    RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  NuPatchArgs args;
  args.nu = nu, args.uorder = uorder, args.uknot = uknot, args.umin = umin, args.umax = umax;
  args.nv = nv, args.vorder = vorder, args.vknot = vknot, args.vmin = vmin, args.vmax = vmax;
  Mesh mesh;
  const TrimCurves *trims = attributes.trims.empty() ? nullptr : &attributes.trims;
  if (tessellateNuPatch(args, vars(n, tokens, values), trims, attributes.trimInside, space, mesh))
    draw(mesh);
}

// ---- Curves, points, subdivision meshes, blobbies, the teapot ----

RtVoid ViewContext::State::CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap,
                                   RtInt n, RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  CurvesArgs args;
  args.cubic = named(type, "cubic");
  args.periodic = named(wrap, "periodic");
  args.ncurves = ncurves;
  args.nvertices = nvertices;
  // Curves run along v: the v basis and step are theirs, as the reader counts them too.
  std::memcpy(args.basis, attributes.vbasis, sizeof(RtBasis));
  args.step = attributes.vstep;
  Mesh mesh;
  if (tessellateCurves(args, vars(n, tokens, values), space, mesh)) draw(mesh);
}

RtVoid ViewContext::State::PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  Mesh mesh;
  if (tessellatePoints(npoints, vars(n, tokens, values), space, mesh)) draw(mesh);
}

RtVoid ViewContext::State::SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[],
                                            RtInt vertices[], RtInt ntags, RtToken tags[],
                                            RtInt nargs[], RtInt intargs[], RtFloat floatargs[],
                                            RtInt n, RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  SubdivisionMeshArgs args;
  args.scheme = scheme;
  args.nfaces = nfaces, args.nvertices = nvertices, args.vertices = vertices;
  args.ntags = ntags, args.tags = tags, args.nargs = nargs;
  args.intargs = intargs, args.floatargs = floatargs;
  Mesh mesh;
  if (tessellateSubdivisionMesh(args, vars(n, tokens, values), space, mesh))
    draw(mesh);
  else if (scheme && !named(scheme, "catmull-clark"))
    rib::reportNote("SubdivisionMesh \"%s\" is not drawn: only \"catmull-clark\" is known", scheme);
}

RtVoid ViewContext::State::BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt,
                                   RtFloat flt[], RtInt nstr, RtToken str[], RtInt n,
                                   RtToken tokens[], RtPointer values[]) {
  if (skipMotionSample()) return;
  VIEW_SPACE(space);
  BlobbyArgs args;
  args.nleaf = nleaf, args.ncode = ncode, args.code = code;
  args.nflt = nflt, args.flt = flt, args.nstr = nstr, args.str = str;
  Mesh mesh;
  if (tessellateBlobby(args, vars(n, tokens, values), space, mesh)) draw(mesh);
}

RtVoid ViewContext::State::GeometryV(RtToken type, RtInt, RtToken[], RtPointer[]) {
  if (skipMotionSample()) return;
  if (!named(type, "teapot")) {
    rib::reportNote("Geometry \"%s\" is not drawn: only \"teapot\" is known", type ? type : "");
    return;
  }
  VIEW_SPACE(space);
  Mesh mesh;
  tessellateTeapot(space, mesh);
  draw(mesh);
}

} // namespace view
