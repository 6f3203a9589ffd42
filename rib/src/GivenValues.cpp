#include "GivenValues.h"

#include <map>

namespace rib {
namespace {

// The listed arrays by start: start -> end. Arrays of one request do not overlap; an empty one
// may start where the next begins, so a start keeps the larger end.
thread_local std::map<uintptr_t, uintptr_t> tGiven;

} // namespace

void GivenValues::add(const void *start, size_t bytes) {
  if (!start) return;
  const uintptr_t at = reinterpret_cast<uintptr_t>(start);
  const uintptr_t end = at + bytes;
  listed_.reserve(listed_.size() + 1);
  const auto found = tGiven.find(at);
  if (found == tGiven.end()) {
    tGiven.emplace(at, end);
    listed_.push_back({at, 0});
  } else if (found->second < end) {
    listed_.push_back({at, found->second});
    found->second = end;
  }
}

GivenValues::~GivenValues() {
  for (auto it = listed_.rbegin(); it != listed_.rend(); ++it) {
    if (it->oldEnd == 0)
      tGiven.erase(it->start);
    else
      tGiven[it->start] = it->oldEnd;
  }
}

bool withinGiven(const void *start, size_t bytes) {
  if (tGiven.empty() || !start) return true;
  const uintptr_t at = reinterpret_cast<uintptr_t>(start);
  auto next = tGiven.upper_bound(at);
  if (next == tGiven.begin()) return true;
  const auto &array = *--next;
  if (array.first != at && at >= array.second) return true; // in no listed array
  return bytes <= array.second - at;
}

} // namespace rib
