#include "tools/sim/FramePattern.h"

#include <cstdio>
#include <cstring>

namespace simtool {

namespace {

// Widths and precisions beyond two digits only make absurd names.
constexpr std::size_t kMaxFieldDigits = 2;

std::size_t skipDigits(const std::string &text, std::size_t at) {
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  return at;
}

} // namespace

std::string FramePattern::fileName(int frame) const {
  if (!perFrame()) return prefix;
  // The conversion has been checked to be %[-+ 0]*[0-9]{0,2}(.[0-9]{0,2})?d: safe to hand to
  // snprintf with one int, and at most 99 characters long.
  char number[128];
  std::snprintf(number, sizeof number, conversion.c_str(), frame);
  return prefix + number + suffix;
}

std::string parseFramePattern(const std::string &name, FramePattern &pattern,
                              const char *option) {
  FramePattern result;
  std::string *text = &result.prefix;
  const auto problem = [&](const std::string &what) {
    return std::string(option) + " file name '" + name + "' " + what;
  };
  for (std::size_t at = 0; at < name.size(); ++at) {
    if (name[at] != '%') {
      *text += name[at];
      continue;
    }
    if (at + 1 < name.size() && name[at + 1] == '%') {
      *text += '%';
      ++at;
      continue;
    }
    const std::size_t start = at++;
    while (at < name.size() && std::strchr("-+ 0", name[at]) != nullptr) ++at;
    std::size_t end = skipDigits(name, at);
    bool tooWide = end - at > kMaxFieldDigits;
    if (end < name.size() && name[end] == '.') {
      const std::size_t digits = end + 1;
      end = skipDigits(name, digits);
      tooWide = tooWide || end - digits > kMaxFieldDigits;
    }
    if (end >= name.size())
      return problem("ends in an incomplete conversion '" + name.substr(start) + "'");
    const std::string conversion = name.substr(start, end + 1 - start);
    if (name[end] != 'd')
      return problem("has the conversion '" + conversion + "'; a frame number is written with %d");
    if (tooWide) return problem("asks for a frame number wider than 99 characters");
    if (result.perFrame()) return problem("has more than one frame-number conversion");
    result.conversion = conversion;
    text = &result.suffix;
    at = end;
  }
  pattern = result;
  return "";
}

} // namespace simtool
