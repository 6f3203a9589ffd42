// The seven quadrics: the keyword and its numbers on one line, then the parameter list, whose
// vertex and varying parameters carry 4 values (the parametric corners) and uniform ones 1.
//
// The numbers of a quadric are always text, whatever the binary flag says.
#include <cstdio>

#include "rib/PrimitiveCounts.h"
#include "rib/RibWriter.h"

namespace {

void writeQuadricParams(RibWriter &rib, RtInt n, RtToken tokens[], RtPointer values[]) {
  const PrimitiveCounts counts = quadricCounts();
  rib.writePrimParamList(counts.vertex, counts.varying, counts.uniform, n, tokens, values);
}

} // namespace

RtVoid RibWriter::ConeV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                        RtToken tokens[], RtPointer values[]) {
  writeFormatted("Cone %g %g %g", height, radius, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::CylinderV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                            RtToken tokens[], RtPointer values[]) {
  writeFormatted("Cylinder %g %g %g %g", radius, zmin, zmax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::DiskV(RtFloat height, RtFloat radius, RtFloat thetamax, RtInt n,
                        RtToken tokens[], RtPointer values[]) {
  writeFormatted("Disk %g %g %g", height, radius, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::HyperboloidV(RtPoint point1, RtPoint point2, RtFloat thetamax, RtInt n,
                               RtToken tokens[], RtPointer values[]) {
  if (!point1 || !point2) {
    std::fprintf(stderr, "zizurezar error: RiHyperboloid without its two points; the request is "
                         "left out\n");
    return;
  }
  writeFormatted("Hyperboloid %g %g %g %g %g %g %g", point1[0], point1[1], point1[2], point2[0],
                 point2[1], point2[2], thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::ParaboloidV(RtFloat rmax, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                              RtToken tokens[], RtPointer values[]) {
  writeFormatted("Paraboloid %g %g %g %g", rmax, zmin, zmax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::SphereV(RtFloat radius, RtFloat zmin, RtFloat zmax, RtFloat thetamax, RtInt n,
                          RtToken tokens[], RtPointer values[]) {
  writeFormatted("Sphere %g %g %g %g", radius, zmin, zmax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}

RtVoid RibWriter::TorusV(RtFloat majorradius, RtFloat minorradius, RtFloat phimin, RtFloat phimax,
                         RtFloat thetamax, RtInt n, RtToken tokens[], RtPointer values[]) {
  writeFormatted("Torus %g %g %g %g %g", majorradius, minorradius, phimin, phimax, thetamax);
  writeQuadricParams(*this, n, tokens, values);
}
