// Requests that reach the context as what was read: a request no table knows, and the library's
// own Option "rib", written again as one line of ASCII RIB and handed on as a verbatim record.
#include <charconv>
#include <cmath>

#include "DoubleText.h"
#include "RibRequestRead.h"
#include "RibText.h"
#include "TextEscapes.h"

namespace rib {
namespace {

void appendInt(std::string &out, int32_t value) {
  char digits[16];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The fewest digits that read back as the same float.
void appendFloat(std::string &out, float value) {
  char digits[64];
  out.append(digits, shortestFloatText(digits, value));
}

void appendArg(std::string &out, const RibArg &arg) {
  if (arg.isArray()) out += '[';
  for (size_t i = 0; i < arg.count; ++i) {
    if (i > 0) out += ' ';
    if (arg.isText())
      appendQuoted(out, arg.strings[i].data(), arg.strings[i].size());
    else if (arg.ints)
      appendInt(out, arg.ints[i]);
    else
      appendFloat(out, arg.floats[i]);
  }
  if (arg.isArray()) out += ']';
}

} // namespace

std::string requestText(const RibRequest &request) {
  std::string text(request.name);
  for (const RibArg &arg : request) {
    text += ' ';
    appendArg(text, arg);
  }
  text += '\n';
  return text;
}

void RibDispatch::State::passOn(const RibRequest &request) {
  // Text has no form for infinities and NaNs (binary input can hold them), as the writer has none.
  for (size_t i = 0; i < request.size(); ++i) {
    const RibArg &arg = request[i];
    for (size_t k = 0; arg.floats && !arg.ints && k < arg.count; ++k) {
      if (std::isfinite(arg.floats[k])) continue;
      report(arg.where, shownText(request.name) + ": argument " + std::to_string(i + 1) +
                            " holds a number that is not finite");
      return;
    }
  }
  static char verbatim[] = "verbatim", format[] = "%s";
  context.ArchiveRecord(verbatim, format, requestText(request).c_str());
}

} // namespace rib
