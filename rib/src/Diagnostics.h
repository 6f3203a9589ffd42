// Diagnostics.h - how the library reports a problem that does not stop the output.
//
// Every report goes through one function, emitDiagnostic, to the installed sink; the default sink
// writes it on standard error exactly as given. A tool, a test or a fuzz target installs its own
// sink to count or collect reports instead (the reader turns the reports of a request into
// problems of the line that made it). Most reports are one line beginning "zizurezar error: ",
// and also set RiLastError to the matching RenderMan error code, so that a program can test it
// after a request:
//
//     reportError(RIE_BADTOKEN, "undeclared parameter \"%s\"", token);
//
// The sink is one per process, like RiLastError: install it from one thread.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "rib/ri.h"

namespace rib {

enum class DiagnosticKind : unsigned char {
  Library,    // what the writer and the error handlers say
  Problem,    // "FILE:LINE: message" of an input that was read
  Note,       // "FILE:LINE: note: message": read beyond the standard's RIB, and passed on
  Unreadable, // an input that cannot be read at all: one line saying why
};

/// Receives each report: `text` is what the default sink writes, line ends included. A long
/// report may arrive in several pieces of one kind.
using DiagnosticSink = void (*)(void *user, DiagnosticKind kind, const char *text, size_t length);

struct DiagnosticTarget {
  DiagnosticSink sink;
  void *user;
};

/// Installs `sink` (null: standard error) and returns the sink it replaces.
DiagnosticTarget setDiagnosticSink(DiagnosticSink sink, void *user);
/// The one way a report leaves the library.
void emitDiagnostic(DiagnosticKind kind, const char *text, size_t length);

/// Gathers one report's text on the stack and emits it once; a report longer than the buffer goes
/// out in pieces rather than cut short.
class DiagnosticText {
public:
  explicit DiagnosticText(DiagnosticKind kind) : kind_(kind) {}
  ~DiagnosticText() { flush(); }
  DiagnosticText(const DiagnosticText &) = delete;
  DiagnosticText &operator=(const DiagnosticText &) = delete;

  void append(const char *text, size_t length);
  void append(const char *text);
  void appendFormat(const char *format, ...) __attribute__((format(printf, 2, 3)));
  void appendFormatV(const char *format, va_list arguments);
  /// Emits what has gathered.
  void flush();

private:
  DiagnosticKind kind_;
  size_t used_ = 0;
  char text_[1024];
};

/// Reports "zizurezar error: <message>\n" and sets RiLastError to `code`.
void reportError(RtInt code, const char *format, ...) __attribute__((format(printf, 2, 3)));
/// Reports "zizurezar note: <message>\n": something worth knowing that is no error (RiLastError
/// stays). Said during a request the reader made, it becomes a note of the request's line.
void reportNote(const char *format, ...) __attribute__((format(printf, 1, 2)));
/// The older layout of a few count reports: a newline first, no newline at the end.
void reportErrorUnterminated(RtInt code, const char *format, ...)
    __attribute__((format(printf, 2, 3)));
/// A line of its own wording (no prefix), "\n" added; sets RiLastError to `code`.
void reportLine(RtInt code, const char *format, ...) __attribute__((format(printf, 2, 3)));

} // namespace rib
