#include "Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace rib {
namespace {

constexpr const char *kPrefix = "zizurezar error: ";
constexpr const char *kNotePrefix = "zizurezar note: ";

void writeToStandardError(void *, DiagnosticKind, const char *text, size_t length) {
  std::fwrite(text, 1, length, stderr);
}

DiagnosticTarget gTarget = {writeToStandardError, nullptr};

void report(RtInt code, const char *before, const char *format, va_list arguments,
            const char *after) {
  DiagnosticText text(DiagnosticKind::Library);
  text.append(before);
  text.appendFormatV(format, arguments);
  text.append(after);
  text.flush();
  RiLastError = code;
}

} // namespace

DiagnosticTarget setDiagnosticSink(DiagnosticSink sink, void *user) {
  const DiagnosticTarget previous = gTarget;
  gTarget = sink ? DiagnosticTarget{sink, user} : DiagnosticTarget{writeToStandardError, nullptr};
  return previous;
}

void emitDiagnostic(DiagnosticKind kind, const char *text, size_t length) {
  if (length > 0) gTarget.sink(gTarget.user, kind, text, length);
}

void DiagnosticText::append(const char *text, size_t length) {
  while (length > 0) {
    if (used_ == sizeof text_) flush();
    const size_t room = sizeof text_ - used_;
    const size_t part = length < room ? length : room;
    std::memcpy(text_ + used_, text, part);
    used_ += part;
    text += part;
    length -= part;
  }
}

void DiagnosticText::append(const char *text) { append(text, std::strlen(text)); }

void DiagnosticText::appendFormat(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  appendFormatV(format, arguments);
  va_end(arguments);
}

void DiagnosticText::appendFormatV(const char *format, va_list arguments) {
  va_list copy;
  va_copy(copy, arguments);
  const int length = std::vsnprintf(text_ + used_, sizeof text_ - used_, format, copy);
  va_end(copy);
  if (length < 0) return;
  if (used_ + static_cast<size_t>(length) < sizeof text_) {
    used_ += static_cast<size_t>(length);
    return;
  }
  // Longer than the room left (a very long token): formatted on the heap, or in pieces of the
  // stack buffer when there is no memory for it.
  std::unique_ptr<char[]> whole(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
  if (whole) {
    va_copy(copy, arguments);
    std::vsnprintf(whole.get(), static_cast<size_t>(length) + 1, format, copy);
    va_end(copy);
    append(whole.get(), static_cast<size_t>(length));
  } else {
    used_ = sizeof text_ - 1; // what fitted, cut short
  }
}

void DiagnosticText::flush() {
  emitDiagnostic(kind_, text_, used_);
  used_ = 0;
}

void reportError(RtInt code, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(code, kPrefix, format, arguments, "\n");
  va_end(arguments);
}

void reportErrorUnterminated(RtInt code, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(code, "\nzizurezar error: ", format, arguments, "");
  va_end(arguments);
}

void reportLine(RtInt code, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(code, "", format, arguments, "\n");
  va_end(arguments);
}

void reportNote(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  DiagnosticText text(DiagnosticKind::Library);
  text.append(kNotePrefix);
  text.appendFormatV(format, arguments);
  text.append("\n");
  text.flush();
  va_end(arguments);
}

} // namespace rib
