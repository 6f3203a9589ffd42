/* The C interface from a strict C99 program: compiles without C++ and links against the library.
 * Writes a small RIB file (the name is the first argument) and checks the library's state. */
#include <stdio.h>
#include <string.h>

#include "rib/ri.h"

static int failures = 0;

static void check(int ok, const char *what) {
  if (!ok) {
    fprintf(stderr, "c99 check failed: %s\n", what);
    ++failures;
  }
}

int main(int argc, char **argv) {
  RtContextHandle context;
  RtErrorHandler handler = RiErrorIgnore;
  if (argc != 2) {
    fprintf(stderr, "usage: ri_c99 FILE\n");
    return 2;
  }
  gRibBinary = 0;
  context = RiBegin(argv[1]);
  check(context != NULL, "RiBegin returns a context");
  check(strcmp(RI_P, "P") == 0 && strcmp(RI_KA, "Ka") == 0, "token variables hold their names");
  handler(RIE_NOSHADER, RIE_ERROR, "plastic");
  check(RiLastError == RIE_NOSHADER, "RiErrorIgnore records the code");
  check(sizeof(RtFloat) == 4 && sizeof(RtInt) == 4 && sizeof(RtBoolean) == 2, "type sizes");
  return failures == 0 ? 0 : 1;
}
