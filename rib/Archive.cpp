// Archive requests: ArchiveRecord writes a comment, a structure comment or verbatim text into the
// RIB; ReadArchive writes a reference to another RIB file.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <memory>

#include "rib/RibChunk.h"
#include "rib/RibWriter.h"

namespace {

constexpr size_t kRecordBuffer = 10000;

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

// Comment lines: every line of the text carries the prefix, so that a newline in the text cannot
// turn the rest of it into requests. A final newline is the record's own.
void putCommented(RibChunk &out, const char *prefix, const char *text, size_t length) {
  if (length > 0 && text[length - 1] == '\n') --length;
  out.put(prefix);
  for (size_t i = 0; i < length; ++i) {
    out.put(text[i]);
    if (text[i] == '\n') out.put(prefix);
  }
  out.put('\n');
}

} // namespace

RtVoid RibWriter::ArchiveRecord(RtToken type, char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  ArchiveRecordV(type, format, arguments);
  va_end(arguments);
}

RtVoid RibWriter::ArchiveRecordV(RtToken type, char *format, va_list arguments) {
  if (!type || !format) return;
  const char *prefix = nullptr;
  bool verbatim = std::strcmp(type, "verbatim") == 0;
  if (std::strcmp(type, "comment") == 0)
    prefix = "# ";
  else if (std::strcmp(type, "structure") == 0)
    prefix = "##";
  else if (!verbatim)
    return;

  // Records are short: format on the stack, and only a longer text takes a buffer of its size.
  char local[kRecordBuffer];
  va_list copy;
  va_copy(copy, arguments);
  int length = formatInCLocale(local, sizeof local, format, copy);
  va_end(copy);
  if (length < 0) {
    fprintf(stderr, "zizurezar error: ArchiveRecord format \"%s\" cannot be formatted\n", format);
    return;
  }
  const char *text = local;
  std::unique_ptr<char[]> large;
  if (static_cast<size_t>(length) >= sizeof local) {
    large.reset(new char[static_cast<size_t>(length) + 1]);
    formatInCLocale(large.get(), static_cast<size_t>(length) + 1, format, arguments);
    text = large.get();
  }
  RibChunk out(stream);
  if (verbatim)
    out.put(text, static_cast<size_t>(length));
  else
    putCommented(out, prefix, text, static_cast<size_t>(length));
}

RtVoid RibWriter::ReadArchiveV(RtToken name, RtArchiveCallback, RtInt n, RtToken tokens[],
                               RtPointer values[]) {
  writeRaw("ReadArchive");
  writeParamList(name, 0, n, tokens, values);
}
