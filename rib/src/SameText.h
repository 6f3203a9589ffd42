// SameText.h - the library's one comparison of texts that may be null.
#pragma once

#include <cstring>

namespace rib {

/// True when both texts are present and equal (a null text never matches).
inline bool sameText(const char *a, const char *b) { return a && b && std::strcmp(a, b) == 0; }

} // namespace rib
