// Requests that reach the context as what was read: a request no table knows, and the library's
// own Option "rib", written again as one line of ASCII RIB and handed on as a verbatim record.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

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

// Texts are escaped a slice at a time, so that `flush` may hand on what is done between slices.
constexpr size_t kTextSlice = size_t(1) << 16;

// Appends the argument; `flush` is called after each value and slice, to hand on a full piece.
template <class Flush> void appendArg(std::string &out, const RibArg &arg, Flush &&flush) {
  if (arg.isArray()) out += '[';
  for (size_t i = 0; i < arg.count; ++i) {
    if (i > 0) out += ' ';
    if (arg.isText()) {
      const std::string_view text = arg.strings[i];
      out += '"';
      for (size_t at = 0; at < text.size(); at += kTextSlice) {
        const size_t n = std::min(kTextSlice, text.size() - at);
        appendEscaped(out, text.data() + at, n);
        flush();
      }
      out += '"';
    } else if (arg.ints) {
      appendInt(out, arg.ints[i]);
    } else {
      appendFloat(out, arg.floats[i]);
    }
    flush();
  }
  if (arg.isArray()) out += ']';
}

} // namespace

std::string requestText(const RibRequest &request) {
  std::string text(request.name);
  for (const RibArg &arg : request) {
    text += ' ';
    appendArg(text, arg, [] {});
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
  // The line goes out as verbatim records of about kPiece bytes each, which together make it: a
  // large request costs one piece beyond what was read, not a copy of all its text.
  constexpr size_t kPiece = size_t(1) << 20;
  static char verbatim[] = "verbatim", format[] = "%s";
  std::string piece;
  try {
    piece.reserve(kPiece + kTextSlice * 4 + 64);
  } catch (const std::bad_alloc &) {
    report(request.where, shownText(request.name) + ": out of memory to pass it on");
    return;
  }
  auto flush = [&] {
    if (piece.size() < kPiece) return;
    context.ArchiveRecord(verbatim, format, piece.c_str());
    piece.clear();
  };
  piece.assign(request.name.data(), request.name.size());
  for (const RibArg &arg : request) {
    piece += ' ';
    appendArg(piece, arg, flush);
  }
  piece += '\n';
  context.ArchiveRecord(verbatim, format, piece.c_str());
}

} // namespace rib
