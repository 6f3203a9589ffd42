// Vector3: the one geometric value of the simulation (positions, velocities,
// forces, normals). Three doubles, no heap storage, no virtual operations.
//
// Every operation evaluates its floating-point expression in the written
// order (x*x + y*y + z*z, left to right; division divides each component),
// because runs must agree bit for bit across machines.
#ifndef WOBBLE_SIM_VECTOR3_H
#define WOBBLE_SIM_VECTOR3_H

#include <cmath>
#include <iostream>

class Vector3 {
public:
  double x, y, z;

  // Components are left unset; every user assigns before reading.
  Vector3() {}
  Vector3(double x, double y, double z) : x(x), y(y), z(z) {}

  // ---- Componentwise arithmetic ----------------------------------------
  Vector3 operator+(Vector3 b) const { return Vector3(x + b.x, y + b.y, z + b.z); }
  Vector3 operator-(Vector3 b) const { return Vector3(x - b.x, y - b.y, z - b.z); }
  Vector3 operator*(double s) const { return Vector3(x * s, y * s, z * s); }
  Vector3 operator/(double s) const { return Vector3(x / s, y / s, z / s); }
  Vector3 operator-() const { return Vector3(-x, -y, -z); }

  Vector3 &operator+=(Vector3 b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
  }
  Vector3 &operator-=(Vector3 b) {
    x -= b.x;
    y -= b.y;
    z -= b.z;
    return *this;
  }
  Vector3 &operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  Vector3 &operator/=(double s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
  }

  bool operator==(Vector3 b) const { return x == b.x && y == b.y && z == b.z; }
  bool operator!=(Vector3 b) const { return !(*this == b); }

  // ---- Products and measures -------------------------------------------
  double dot(Vector3 b) const { return x * b.x + y * b.y + z * b.z; }

  Vector3 cross(Vector3 b) const {
    return Vector3(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
  }
  // In-place form: this = this x b.
  Vector3 &crossWith(Vector3 b) {
    *this = cross(b);
    return *this;
  }

  double length() const { return std::sqrt(x * x + y * y + z * z); }

  // Unit vector in this direction; exactly zero length gives (0, 0, 0), no NaN.
  Vector3 normalized() const {
    double len = length();
    if (len == 0.0) return Vector3(0.0, 0.0, 0.0);
    return *this / len;
  }

  // Unit vector from this point towards p; (0, 0, 0) when they coincide.
  Vector3 directionTo(Vector3 p) const { return (p - *this).normalized(); }

  // Squared distance to p; no square root taken.
  double distanceSquared(Vector3 p) const {
    Vector3 d = *this - p;
    return d.dot(d);
  }

  Vector3 &clear() {
    x = 0.0;
    y = 0.0;
    z = 0.0;
    return *this;
  }

  // Diagnostic: writes "(x,y,z)" with the stream's default format, no newline.
  void print() const { std::cout << "(" << x << "," << y << "," << z << ")"; }
};

#endif
