// RibText.h - a text from the input as it is shown in a message: one line, of bounded length.
#pragma once

#include <string>
#include <string_view>

namespace rib {

/// `text` with every control byte shown as '?', cut to 60 bytes (and "...") when longer.
inline std::string shownText(std::string_view text) {
  constexpr size_t kLongest = 60;
  std::string shown(text.substr(0, kLongest));
  for (char &c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  if (text.size() > kLongest) shown += "...";
  return shown;
}

} // namespace rib
