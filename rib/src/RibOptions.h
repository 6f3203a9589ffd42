// RibOptions.h - the library's own option "rib": the encoding of the RIB it writes.
//
// The words are read in one place for all three ways they arrive: the options a RibWriter is made
// with, RiOption("rib", ...) before RiBegin (for the contexts made later) and Option "rib" on an
// open context (which changes only its own encoding).
#pragma once

#include "rib/ri.h"

namespace rib {

struct RibSettings {
  RtInt binary = 0;      // binary float encoding
  RtInt compression = 0; // recorded only; output is never compressed
  RtInt precision = 6;   // significant digits of "%g" floats, 1 to 17
};

enum class OptionScope {
  NewContext,    // "format", "binary", "compression", "gzip", "precision"
  LaterContexts, // "format", "binary", "compression", "precision"
  OpenContext,   // "binary", "precision"
};

/// True for the option names "rib" and "RIB".
bool isRibOption(RtToken name);
/// Applies one word and its value (a pointer to a text pointer or to an integer) to `settings`.
/// Words that do not apply in `scope` are ignored; a missing value or a precision outside 1 to 17
/// is reported in one line and ignored.
void applyRibOption(RibSettings &settings, const char *token, const void *value, OptionScope scope);

} // namespace rib
