// ArchiveRecord writes a comment, a structure comment or verbatim text into the RIB. (ReadArchive,
// a reference to another RIB file, is written from its row in rib/RiRequests.def.)
#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <memory>
#include <new>

#include "Diagnostics.h"
#include "RibWriter.h"
#include "SameText.h"

namespace {

// Records are short: formatted on the stack when they fit, so a request needs only a few KB of
// stack; a longer one takes a buffer of its size from the heap.
constexpr size_t kRecordOnStack = 1024;

// The C locale, so that numbers in records never take the program's decimal comma.
locale_t cLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
  return locale;
}

// printf into `buffer`; returns the length the whole text needs (negative on a format error).
int formatInCLocale(char *buffer, size_t size, const char *format, va_list arguments) {
  locale_t c = cLocale();
  locale_t previous = c ? uselocale(c) : locale_t(0);
  int length = vsnprintf(buffer, size, format, arguments);
  if (c) uselocale(previous);
  return length;
}

// Comment lines: every line of the text carries the prefix, so that a line end in the text cannot
// turn the rest of it into requests. Readers end a comment at a carriage return as well as at a
// newline: CR, LF and CRLF each start a new line of the record. A final line end is the record's
// own.
void writeCommented(rib::RibEncoder &encoder, const char *prefix, const char *text, size_t length) {
  if (length > 0 && text[length - 1] == '\n') --length;
  if (length > 0 && text[length - 1] == '\r') --length;
  encoder.writeRaw(prefix);
  size_t run = 0; // start of the text not yet written
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    encoder.writeRaw(text + run, i - run);
    if (text[i] == '\r' && i + 1 < length && text[i + 1] == '\n') ++i;
    encoder.writeRaw("\n", 1);
    encoder.writeRaw(prefix);
    run = i + 1;
  }
  encoder.writeRaw(text + run, length - run);
  encoder.endRecord();
}

} // namespace

RtVoid rib::RibWriter::ArchiveRecord(RtToken type, char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ArchiveRecordV(type, format, arguments);
  va_end(arguments);
}

RtVoid rib::RibWriter::ArchiveRecordV(RtToken type, char *format, va_list arguments) {
  if (!type || !format) return;
  const char *prefix = nullptr;
  bool verbatim = rib::sameText(type, "verbatim");
  if (rib::sameText(type, "comment"))
    prefix = "# ";
  else if (rib::sameText(type, "structure"))
    prefix = "##";
  else if (!verbatim)
    return;

  char local[kRecordOnStack];
  va_list copy;
  va_copy(copy, arguments);
  int length = formatInCLocale(local, sizeof local, format, copy);
  va_end(copy);
  if (length < 0) {
    rib::reportError(RIE_SYNTAX, "ArchiveRecord format \"%s\" cannot be formatted", format);
    return;
  }
  const char *text = local;
  std::unique_ptr<char[]> large;
  if (static_cast<size_t>(length) >= sizeof local) {
    large.reset(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
    if (!large) {
      rib::reportError(RIE_NOMEM, "RiArchiveRecord: out of memory; the request is left out");
      return;
    }
    formatInCLocale(large.get(), static_cast<size_t>(length) + 1, format, arguments);
    text = large.get();
  }
  if (verbatim) {
    encoder.writeRaw(text, static_cast<size_t>(length));
    encoder.endRequest();
  } else {
    writeCommented(encoder, prefix, text, static_cast<size_t>(length));
  }
}

// An inline archive: its requests are written between ArchiveBegin and ArchiveEnd, and its handle
// is its name, which ReadArchive takes to instance it.
RtArchiveHandle rib::RibWriter::ArchiveBeginV(RtToken name, RtInt n, RtToken tokens[],
                                              RtPointer values[]) {
  encoder.writeKeyword("ArchiveBegin");
  encoder.writeParamList(name, 0, n, tokens, values);
  encoder.openBlock();
  return name;
}
