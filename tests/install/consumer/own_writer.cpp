// A user's program with a class of its own named RibWriter, linked with the static library: the
// library keeps its writer in its namespace, so the two classes never meet at link time.
#include "rib/ri.h"

class RibWriter {
public:
  RibWriter() { RiBegin(RI_NULL); }
  virtual ~RibWriter() { RiEnd(); }
  virtual void sphere(RtFloat radius) { RiSphere(radius, -radius, radius, 360, RI_NULL); }
};

int main() {
  RibWriter *writer = new RibWriter;
  writer->sphere(1);
  delete writer;
  return 0;
}
