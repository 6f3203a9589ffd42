// Diagnostics.h - how the library reports a problem that does not stop the output.
//
// Every such report is one line on standard error, beginning "zizurezar error: ", and also sets
// RiLastError to the matching RenderMan error code, so that a program can test it after a request:
//
//     reportError(RIE_BADTOKEN, "undeclared parameter \"%s\"", token);
#pragma once

#include "rib/ri.h"

namespace rib {

/// Writes "zizurezar error: <message>\n" on standard error and sets RiLastError to `code`.
void reportError(RtInt code, const char *format, ...) __attribute__((format(printf, 2, 3)));
/// The older layout of a few count reports: a newline first, no newline at the end.
void reportErrorUnterminated(RtInt code, const char *format, ...)
    __attribute__((format(printf, 2, 3)));
/// A line of its own wording (no prefix), "\n" added; sets RiLastError to `code`.
void reportLine(RtInt code, const char *format, ...) __attribute__((format(printf, 2, 3)));

} // namespace rib
