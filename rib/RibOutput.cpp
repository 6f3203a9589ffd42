// Text output of RibWriter: raw text, quoted texts, and the printf-like request formatter.
#include <charconv>
#include <cstdarg>
#include <cstring>

#include "rib/RibText.h"
#include "rib/RibWriter.h"

void putEscaped(RibChunk &out, const char *text) {
  if (!text) return;
  const char *run = text;
  for (const char *p = text; *p; ++p) {
    const char *escape = nullptr;
    if (*p == '"') escape = "\\\"";
    else if (*p == '\\') escape = "\\\\";
    else if (*p == '\n') escape = "\\n";
    if (!escape) continue;
    out.put(run, static_cast<size_t>(p - run));
    out.put(escape, 2);
    run = p + 1;
  }
  out.put(run);
}

void putQuoted(RibChunk &out, const char *text) {
  out.put('"');
  putEscaped(out, text);
  out.put('"');
}

void putFloat(RibChunk &out, float value, int precision) {
  char *at = out.reserve(kFloatTextMax);
  int length = precision == 6 ? formatFloatG(value, at) : formatFloatDigits(value, precision, at);
  out.commit(static_cast<size_t>(length));
}

void putInt(RibChunk &out, long value) {
  char *at = out.reserve(24);
  auto result = std::to_chars(at, at + 24, value);
  out.commit(static_cast<size_t>(result.ptr - at));
}

static void putFixed(RibChunk &out, double value) {
  // "%f": six decimals. Large magnitudes need up to 309 digits before the point.
  char *at = out.reserve(400);
  auto result = std::to_chars(at, at + 400, value, std::chars_format::fixed, 6);
  out.commit(static_cast<size_t>(result.ptr - at));
}

void RibWriter::writeRaw(const char *text) {
  if (text) writeRaw(text, std::strlen(text));
}

void RibWriter::writeRaw(const char *text, size_t length) {
  if (stream && length > 0) fwrite(text, 1, length, stream);
}

void RibWriter::writeQuoted(const char *text) {
  RibChunk out(stream);
  putQuoted(out, text);
}

void RibWriter::writeFormatted(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  writeFormattedV(format, arguments);
  va_end(arguments);
}

void RibWriter::writeFormattedV(const char *format, va_list arguments) {
  RibChunk out(stream);
  const char *p = format;
  while (*p) {
    const char *percent = std::strchr(p, '%');
    if (!percent) {
      out.put(p);
      break;
    }
    out.put(p, static_cast<size_t>(percent - p));
    char conversion = percent[1];
    p = conversion ? percent + 2 : percent + 1;
    switch (conversion) {
    case 'd':
    case 'i': putInt(out, va_arg(arguments, int)); break;
    case 'l': // %ld
      putInt(out, va_arg(arguments, long));
      if (*p) ++p;
      break;
    case 'g': putFloat(out, static_cast<float>(va_arg(arguments, double)), precision); break;
    case 'f': putFixed(out, va_arg(arguments, double)); break;
    case 's': putEscaped(out, va_arg(arguments, const char *)); break;
    case '%': out.put('%'); break;
    default: // the formats are the library's own: an unknown conversion shows as written
      out.put('%');
      if (conversion) out.put(conversion);
      break;
    }
  }
}
