// Placeholder: these requests write nothing until their family is implemented.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

RtVoid RibWriter::Cone(RtFloat height, RtFloat radius, RtFloat thetamax, ...) {}
RtVoid RibWriter::ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Cylinder(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) {}
RtVoid RibWriter::CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Disk(RtFloat height, RtFloat radius, RtFloat thetamax, ...) {}
RtVoid RibWriter::DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Hyperboloid(RtPoint point1, RtPoint point2, RtFloat thetamax, ...) {}
RtVoid RibWriter::HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Paraboloid(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) {}
RtVoid RibWriter::ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Sphere(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, ...) {}
RtVoid RibWriter::SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Torus(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax, RtFloat thetamax, ...) {}
RtVoid RibWriter::TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax, RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Polygon(RtInt nvertices, ...) {}
RtVoid RibWriter::PolygonV(RtInt nvertices, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::GeneralPolygon(RtInt nloops, RtInt nvertices[], ...) {}
RtVoid RibWriter::GeneralPolygonV(RtInt nloops, RtInt nvertices[], RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::PointsPolygons(RtInt npolys, RtInt nvertices[], RtInt vertices[], ...) {}
RtVoid RibWriter::PointsPolygonsV(RtInt npolys, RtInt nvertices[], RtInt vertices[], RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::PointsGeneralPolygons(RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[], ...) {}
RtVoid RibWriter::PointsGeneralPolygonsV(RtInt npolys, RtInt nloops[], RtInt nvertices[], RtInt vertices[], RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Basis(RtBasis ubasis, RtInt ustep, RtBasis vbasis, RtInt vstep) {}
RtVoid RibWriter::Patch(RtToken type, ...) {}
RtVoid RibWriter::PatchV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::PatchMesh(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, ...) {}
RtVoid RibWriter::PatchMeshV(RtToken type, RtInt nu, RtToken uwrap, RtInt nv, RtToken vwrap, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::TrimCurve(RtInt nloops, RtInt ncurves[], RtInt order[], RtFloat knot[], RtFloat min[], RtFloat max[], RtInt n[], RtFloat u[], RtFloat v[], RtFloat w[]) {}
RtVoid RibWriter::NuPatch(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, ...) {}
RtVoid RibWriter::NuPatchV(RtInt nu, RtInt uorder, RtFloat uknot[], RtFloat umin, RtFloat umax, RtInt nv, RtInt vorder, RtFloat vknot[], RtFloat vmin, RtFloat vmax, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Curves(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, ...) {}
RtVoid RibWriter::CurvesV(RtToken type, RtInt ncurves, RtInt nvertices[], RtToken wrap, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Points(RtInt npoints, ...) {}
RtVoid RibWriter::PointsV(RtInt npoints, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::SubdivisionMesh(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[], RtFloat floatargs[], ...) {}
RtVoid RibWriter::SubdivisionMeshV(RtToken scheme, RtInt nfaces, RtInt nvertices[], RtInt vertices[], RtInt ntags, RtToken tags[], RtInt nargs[], RtInt intargs[], RtFloat floatargs[], RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Blobby(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr, RtToken str[], ...) {}
RtVoid RibWriter::BlobbyV(RtInt nleaf, RtInt ncode, RtInt code[], RtInt nflt, RtFloat flt[], RtInt nstr, RtToken str[], RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Procedural(RtPointer data, RtBound bound, RtProcSubdivFunc subdivfunc, RtProcFreeFunc freefunc) {}
RtVoid RibWriter::Geometry(RtToken type, ...) {}
RtVoid RibWriter::GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) {}
