// GatheredParams.h - token/value pairs gathered from a list-gathering request's variadic arguments.
//
// A list-gathering form (Sphere, Surface, ...) reads token, value, token, value, ... up to a null
// token, at most kMaxGatheredParams pairs, into fixed arrays on the stack (no heap while a request
// is written), and calls its writing form (SphereV, ...) with them:
//
//     RtVoid RibWriter::Sphere(RtFloat r, RtFloat zmin, RtFloat zmax, RtFloat tmax, ...) {
//       RIB_GATHER_PARAMS(params, tmax, "Sphere");
//       SphereV(r, zmin, zmax, tmax, params.count, params.tokens, params.values);
//     }
#pragma once

#include <cstdarg>
#include <memory>

#include "rib/ri.h"

namespace rib {

constexpr int kMaxGatheredParams = 512;

struct GatheredParams {
  RtInt count = 0;
  RtToken tokens[kMaxGatheredParams];
  RtPointer values[kMaxGatheredParams];

  /// Reads pairs until a null token or kMaxGatheredParams pairs. When the list goes on after the
  /// last pair kept, says so on standard error in one line naming `request`; the rest is dropped.
  void gather(va_list arguments, const char *request);
};

/// The sample times of a MotionBegin call, read from its variadic arguments (which arrive as
/// doubles): the usual few on the stack, a longer list on the heap, never cut short.
class GatheredTimes {
public:
  static constexpr int kOnStack = 100;

  /// Reads max(n, 0) times from `arguments`; count() is n as given. A longer list than fits on the
  /// stack that finds no memory is said in one line naming `request`, and nothing is read (lost()
  /// is true).
  GatheredTimes(RtInt n, va_list arguments, const char *request);
  GatheredTimes(const GatheredTimes &) = delete;
  GatheredTimes &operator=(const GatheredTimes &) = delete;

  RtInt count() const { return count_; }
  RtFloat *times() { return times_; }
  /// True when the times could not be kept: the request is to be left out.
  bool lost() const { return !times_; }

private:
  RtFloat onStack_[kOnStack];
  std::unique_ptr<RtFloat[]> onHeap_;
  RtFloat *times_ = onStack_;
  RtInt count_;
};

// Fixed arguments of the RenderMan requests end in floats, which C promotes in a call with
// variadic arguments; va_start only needs the position of the last fixed argument, which the
// compilers this library supports take as it is.
#define RIB_GATHER_PARAMS(params, lastFixed, request)                                              \
  rib::GatheredParams params;                                                                      \
  {                                                                                                \
    va_list gatherArguments;                                                                       \
    va_start(gatherArguments, lastFixed);                                                          \
    params.gather(gatherArguments, request);                                                       \
    va_end(gatherArguments);                                                                       \
  }

} // namespace rib
