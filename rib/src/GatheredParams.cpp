#include "GatheredParams.h"

#include <cstddef>
#include <new>

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

GatheredTimes::GatheredTimes(RtInt n, va_list arguments, const char *request)
    : count_(n) { // a negative count is passed on, for the request to refuse it
  if (count_ > kOnStack) {
    onHeap_.reset(new (std::nothrow) RtFloat[static_cast<size_t>(count_)]);
    times_ = onHeap_.get();
    if (!times_) {
      reportError(RIE_NOMEM, "%s: out of memory; the request is left out", request);
      count_ = 0;
      return;
    }
  }
  for (RtInt i = 0; i < count_; ++i) times_[i] = static_cast<RtFloat>(va_arg(arguments, double));
}

} // namespace rib
