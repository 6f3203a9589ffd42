// GivenValues.h - the arrays a reader hands a context, so that no context reads past one.
//
// The reader checks each array of a request against what the context will read, but a filter
// between them may change what that is (a Basis on the way changes the counts of the next patch
// mesh, a Declare the size of a parameter). So while a request read from RIB is made, its arrays
// are listed here, on the reading's thread, and the writer checks every array it reads against
// the list: one that would be read past its end leaves the request out with one line. Arrays
// that are not listed (a program's own) are the caller's to size, as the interface has it.
//
//     GivenValues given;                         // for one request; nested readings add theirs
//     given.add(values, count * sizeof(RtFloat));
//     ...
//     if (!withinGiven(values, 25 * 3 * sizeof(RtFloat))) leaveOut();
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rib {

class GivenValues {
public:
  GivenValues() = default;
  /// Takes the arrays this scope listed off the list again.
  ~GivenValues();
  GivenValues(const GivenValues &) = delete;
  GivenValues &operator=(const GivenValues &) = delete;

  /// Lists `bytes` at `start` as handed on (null or nothing: ignored). Throws std::bad_alloc.
  void add(const void *start, size_t bytes);

private:
  struct Listed {
    uintptr_t start;
    uintptr_t oldEnd; // the end the list held for `start` before, 0 when it held none
  };
  std::vector<Listed> listed_;
};

/// False when `start` lies in an array listed on this thread and `bytes` from there run past its
/// end; true otherwise (also for every array while no reading lists any).
bool withinGiven(const void *start, size_t bytes);

} // namespace rib
