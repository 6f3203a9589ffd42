#include "rib/GatheredParams.h"

#include <cstdio>

void GatheredParams::gather(va_list arguments, const char *request) {
  count = 0;
  while (count < kMaxGatheredParams) {
    RtToken token = va_arg(arguments, RtToken);
    if (!token) return;
    tokens[count] = token;
    values[count] = va_arg(arguments, RtPointer);
    ++count;
  }
  // The caller's list holds more pairs than fit: peek at the next token only to say so.
  if (va_arg(arguments, RtToken))
    fprintf(stderr,
            "zizurezar error: %s takes at most %d parameters; the rest of the list is ignored\n",
            request, kMaxGatheredParams);
}
