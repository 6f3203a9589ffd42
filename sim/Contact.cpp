// Contact response of a mass point against a surface with outward normal n:
// the pressing force is cancelled (and friction applied), then the velocity
// into the surface is removed or reflected.
#include <cmath>

#include "sim/MassPoint.h"

void MassPoint::collide(Vector3 n, bool elastic) {
  applyContactForce(n);
  applyContactVelocity(n, elastic ? 1.0 : 0.0);
}

void MassPoint::applyContactForce(Vector3 n) {
  Vector3 reaction(0.0, 0.0, 0.0);
  double pressing = force.dot(n);
  if (pressing < 0) {
    reaction = n * std::fabs(pressing);
    // Friction deliberately sees the normal force of the previous
    // contact evaluation, still held in normalForce.
    applyFriction(n);
  }
  normalForce = reaction;
  force += reaction;
}

void MassPoint::applyFriction(Vector3 n) {
  Vector3 F = force;
  Vector3 P = normalForce;
  Vector3 V = velocity;
  // The tangent follows the accumulated force, not the velocity.
  Vector3 T = (F + P).normalized();
  Vector3 B = T.cross(n);
  Vector3 Ft = T * F.dot(T) + B * F.dot(B);
  Vector3 Vt = T * V.dot(T) + B * V.dot(B);
  Vector3 f;
  if (Ft.length() - (P * staticFriction).length() > 0 || Vt.length() > kStickSpeed) {
    f = -Vt.normalized() * (P * kineticFriction).length();
  } else {
    // Sticking: the sliding motion and the tangential force vanish at once.
    velocity += -Vt;
    f = -Ft;
  }
  force += f;
}

void MassPoint::applyContactVelocity(Vector3 n, double restitution) {
  double vn = velocity.dot(n);
  if (vn < 0) {
    Vector3 J = n * (-vn);
    velocity += J;
    velocity += J * restitution;
  }
}
