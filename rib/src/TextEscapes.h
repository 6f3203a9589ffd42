// TextEscapes.h - how each byte is written inside a quoted RIB string, so that the text reads back
// as the same bytes: '"' and '\' escaped, every control byte as its escape ("\r", "\t", ...) or as
// three octal digits; every other byte as it is.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rib {

/// The escape of a byte (up to 4 characters and a zero), or an empty text for a byte written as
/// it is.
struct TextEscape {
  char text[5];
};

constexpr std::array<TextEscape, 256> makeTextEscapes() {
  std::array<TextEscape, 256> escapes{};
  auto set = [&escapes](unsigned c, char a, char b, char d = 0, char e = 0) {
    escapes[c].text[0] = a;
    escapes[c].text[1] = b;
    escapes[c].text[2] = d;
    escapes[c].text[3] = e;
  };
  for (unsigned c = 0; c < 0x20; ++c)
    set(c, '\\', static_cast<char>('0' + (c >> 6)), static_cast<char>('0' + ((c >> 3) & 7)),
        static_cast<char>('0' + (c & 7)));
  set(0x7F, '\\', '1', '7', '7');
  set('\n', '\\', 'n');
  set('\r', '\\', 'r');
  set('\t', '\\', 't');
  set('\b', '\\', 'b');
  set('\f', '\\', 'f');
  set('"', '\\', '"');
  set('\\', '\\', '\\');
  return escapes;
}

inline constexpr std::array<TextEscape, 256> kTextEscapes = makeTextEscapes();

/// Appends `text` (of `length` bytes) to `out`, escaped as above; each byte on its own, so a text
/// may be escaped in slices.
inline void appendEscaped(std::string &out, const char *text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const TextEscape &escape = kTextEscapes[static_cast<unsigned char>(text[i])];
    if (escape.text[0])
      out += escape.text;
    else
      out += text[i];
  }
}

/// Appends `text` (of `length` bytes) to `out` in quotes, escaped as above.
inline void appendQuoted(std::string &out, const char *text, size_t length) {
  out += '"';
  appendEscaped(out, text, length);
  out += '"';
}

} // namespace rib
