// Quadrics.h - the quadric surfaces of RenderMan, each swept about the z axis by thetamax
// degrees: Sphere, Cone, Cylinder, Hyperboloid, Paraboloid, Disk and Torus, with their height
// and angle limits. Their grids are wound by dP/du x dP/dv, which points outward for a positive
// sweep; Cs, Os and N are taken per corner (varying, vertex), once (uniform, constant).
#pragma once

#include "Mesh.h"
#include "PrimVars.h"
#include "ViewSpace.h"

namespace view {

void tessellateSphere(double radius, double zmin, double zmax, double thetamax,
                      const PrimVars &vars, const ViewSpace &view, Mesh &mesh);
void tessellateCone(double height, double radius, double thetamax, const PrimVars &vars,
                    const ViewSpace &view, Mesh &mesh);
void tessellateCylinder(double radius, double zmin, double zmax, double thetamax,
                        const PrimVars &vars, const ViewSpace &view, Mesh &mesh);
void tessellateHyperboloid(Vec3 point1, Vec3 point2, double thetamax, const PrimVars &vars,
                           const ViewSpace &view, Mesh &mesh);
void tessellateParaboloid(double rmax, double zmin, double zmax, double thetamax,
                          const PrimVars &vars, const ViewSpace &view, Mesh &mesh);
void tessellateDisk(double height, double radius, double thetamax, const PrimVars &vars,
                    const ViewSpace &view, Mesh &mesh);
void tessellateTorus(double majorRadius, double minorRadius, double phimin, double phimax,
                     double thetamax, const PrimVars &vars, const ViewSpace &view, Mesh &mesh);

} // namespace view
