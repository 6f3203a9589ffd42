// A C++ user of the installed library: one context on standard output, used as an object.
#include "rib/RiContext.h"

int main() {
  RiContext *rib = static_cast<RiContext *>(RiNewContext(nullptr));
  RtFloat kd = 0.5f;
  char kdToken[] = "Kd";
  rib->WorldBegin();
  rib->Sphere(1, -1, 1, 360, kdToken, &kd, RI_NULL);
  rib->WorldEnd();
  delete rib;
  return 0;
}
