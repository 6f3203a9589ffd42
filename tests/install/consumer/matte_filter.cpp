// A RIB filter built against the installed library: reads IN (ASCII or binary), makes every
// surface "matte" and writes the rest as it was to OUT. Exit status 1 when IN has problems.
#include "rib/RibRead.h"

struct Matte : rib::ForwardingContext {
  using ForwardingContext::ForwardingContext;
  RtVoid SurfaceV(RtToken, RtInt, RtToken[], RtPointer[]) override {
    static char matte[] = "matte";
    ForwardingContext::SurfaceV(matte, 0, nullptr, nullptr);
  }
};

int main(int argc, char **argv) {
  if (argc != 3) return 2;
  RiContext *out = static_cast<RiContext *>(RiBegin(argv[2]));
  Matte filter(*out);
  const int problems = rib::readRib(argv[1], filter);
  RiEnd();
  return problems == 0 ? 0 : 1;
}
