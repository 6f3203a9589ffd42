// RibOptions.h - the library's own option "rib": the encoding of the RIB it writes.
//
// The words are read in one place for all three ways they arrive: the options a RibWriter is made
// with, RiOption("rib", ...) before RiBegin (for the contexts made later) and Option "rib" on an
// open context (which changes only its own encoding).
#pragma once

#include "rib/ri.h"

namespace rib {

struct RibSettings {
  RtInt binary = 0;           // binary float encoding
  RtInt compact = 0;          // every token binary ("format" "compact")
  RtInt compression = 0;      // gzip-compressed output
  RtInt compressionLevel = 6; // gzip level, 1 (fastest) to 9 (smallest)
  RtInt precision = 6;        // significant digits of "%g" floats, 1 to 17
};

enum class OptionScope {
  NewContext,    // "format", "binary", "compact", "compression", "gzip", "compressionlevel",
                 // "precision"
  LaterContexts, // "format", "binary", "compression", "compressionlevel", "precision"
  OpenContext,   // "binary", "precision"
};

/// What RiOption("rib", ...) chose for the contexts RiBegin makes later, beside the public
/// gRibBinary, gRibCompression and gRibPrecision.
extern RtInt gRibCompact;
extern RtInt gRibCompressionLevel;

/// True for the option names "rib" and "RIB".
bool isRibOption(RtToken name);
/// Applies one word and its value (a pointer to a text pointer or to an integer) to `settings`.
/// Words that do not apply in `scope` are ignored; an unknown word, a "format" other than
/// "ascii", "binary" or "compact", a "compression" other than "none" or "gzip", a missing value
/// or a number out of its range is reported in one line and ignored.
void applyRibOption(RibSettings &settings, const char *token, const void *value, OptionScope scope);

} // namespace rib
