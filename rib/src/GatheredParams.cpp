#include "GatheredParams.h"

#include <cstddef>

#include "Diagnostics.h"

namespace rib {

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
    reportError(RIE_LIMIT, "%s takes at most %d parameters; the rest of the list is ignored",
                request, kMaxGatheredParams);
}

GatheredTimes::GatheredTimes(RtInt n, va_list arguments) : count_(n > 0 ? n : 0) {
  if (count_ > kOnStack) {
    onHeap_.reset(new RtFloat[static_cast<size_t>(count_)]);
    times_ = onHeap_.get();
  }
  for (RtInt i = 0; i < count_; ++i) times_[i] = static_cast<RtFloat>(va_arg(arguments, double));
}

} // namespace rib
