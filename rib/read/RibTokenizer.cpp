// The RIB tokenizer's ASCII side: blanks, comments, names, numbers and quoted strings. Bytes from
// 0x80 on start a form of the binary encoding (RibBinary.cpp); arrays of numbers are read in
// bulk by RibNumberRun.cpp.
#include "RibTokenizer.h"

#include <cstdarg>
#include <cstring>

#include "RibCharClass.h"
#include "RibDispatch.h"

namespace rib {
namespace {

// Longest word quoted in a message.
constexpr int kQuotedWordMax = 40;

} // namespace

RibTokenizer::RibTokenizer(RibPools &pools, const RibReaderLimits &limits)
    : pools_(pools), limits_(limits) {}

void RibTokenizer::restart() {
  p_ = input_.begin();
  line_ = 1;
  keep_ = true;
  readErrorReported_ = false;
  requestCodes_.assign(kRequestCodes, std::string());
  requestDefined_.assign(kRequestCodes, false);
  strings_.clear();
  stringDefined_.clear();
  definedBytes_ = 0;
}

bool RibTokenizer::more() {
  size_t added;
  p_ = input_.refill(p_, added);
  return added > 0;
}

bool RibTokenizer::ensure(size_t bytes) {
  while (static_cast<size_t>(input_.end() - p_) < bytes) {
    if (!more()) return false;
  }
  return true;
}

Token &RibTokenizer::fail(Token &token, const char *format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  message_ = text;
  token.kind = TokenKind::Error;
  token.text = message_;
  return token;
}

Token &RibTokenizer::end(Token &token) {
  token.where = here();
  token.ofInput = true;
  if (input_.error() != 0 && !readErrorReported_) {
    readErrorReported_ = true;
    token.readError = input_.error();
    return fail(token, "read error: %s", std::strerror(input_.error()));
  }
  if (input_.problem() && !readErrorReported_) {
    readErrorReported_ = true;
    token.afterData = input_.problemAfterData();
    return fail(token, "%s", input_.problem());
  }
  token.kind = TokenKind::End;
  return token;
}

Token RibTokenizer::next() {
  Token token;
  for (;;) {
    char *p = p_;
    for (;; ++p) {
      const char c = *p;
      if (c == '\n')
        ++line_;
      else if (!(classOf(c) & kSpace))
        break;
    }
    p_ = p;
    if (p == input_.end()) {
      if (!more()) return end(token);
      continue;
    }
    token.where = here();
    const unsigned char c = static_cast<unsigned char>(*p);
    bool produced = true;
    if (c == '#') {
      comment(token, produced);
    } else if (c == '"') {
      valueString(token, false, 0);
    } else if (c == '[' || c == ']') {
      ++p_;
      token.kind = c == '[' ? TokenKind::ArrayOpen : TokenKind::ArrayClose;
    } else if (classOf(*p) & kNumberStart) {
      number(token);
    } else if (classOf(*p) & kNameStart) {
      name(token);
    } else if (c >= 0x80) {
      binary(token, produced);
    } else {
      ++p_;
      if (c > 0x20 && c < 0x7F)
        fail(token, "unexpected character '%c'", c);
      else
        fail(token, "unexpected byte 0x%02X at byte %llu", c,
             static_cast<unsigned long long>(token.where.offset));
    }
    if (produced) return token;
  }
}

char *RibTokenizer::wholeWord(uint8_t wordClass) {
  size_t scanned = 0;
  for (;;) {
    char *q = p_ + scanned;
    while (classOf(*q) & wordClass) ++q;
    scanned = static_cast<size_t>(q - p_);
    if (scanned > limits_.tokenBytes) {
      p_ = q;
      while (p_ == input_.end() && more())
        while (classOf(*p_) & wordClass) ++p_;
      return nullptr;
    }
    if (q != input_.end() || input_.exhausted()) return q;
    size_t added;
    p_ = input_.refill(p_, added);
  }
}

void RibTokenizer::name(Token &token) {
  char *stop = wholeWord(kNameChar);
  if (!stop) {
    fail(token, "name longer than %zu bytes", limits_.tokenBytes);
    return;
  }
  token.kind = TokenKind::Name;
  token.text = std::string_view(p_, static_cast<size_t>(stop - p_));
  token.endsInput = stop == input_.end() && input_.exhausted();
  p_ = stop;
}

void RibTokenizer::number(Token &token) {
  const char *stop = scanRibNumber(p_, token.number, scratch_);
  if (!stop || stop == input_.end() || (classOf(*stop) & kWordChar)) {
    char *wordEnd = wholeWord(kWordChar);
    if (!wordEnd) {
      fail(token, "number longer than %zu bytes", limits_.tokenBytes);
      return;
    }
    stop = scanRibNumber(p_, token.number, scratch_);
    if (stop && stop != wordEnd && (classOf(*stop) & kNameStart) &&
        isRequestName(std::string_view(stop, static_cast<size_t>(wordEnd - stop)))) {
      // "5Sphere": other readers end the number where a request's name starts, so the next
      // request is read as they read it. Anything else glued to a number ("1f", "0x1p3",
      // "1e5e5") is a malformed number, not a number and a request nobody knows.
      token.glued = true;
    } else if (stop != wordEnd) {
      const int length = static_cast<int>(wordEnd - p_);
      fail(token, "malformed number '%.*s%s'", length < kQuotedWordMax ? length : kQuotedWordMax,
           p_, length > kQuotedWordMax ? "..." : "");
      p_ = wordEnd;
      return;
    }
  }
  p_ = const_cast<char *>(stop);
  token.kind = token.number.isInteger ? TokenKind::Integer : TokenKind::Float;
}

void RibTokenizer::comment(Token &token, bool &produced) {
  ensure(2);
  const bool structure = input_.end() - p_ >= 2 && p_[1] == '#';
  p_ += structure ? 2 : 1;
  if (structure) comment_.clear();
  bool tooLong = false;
  // A comment ends at a newline or a carriage return.
  for (;;) {
    char *p = p_;
    char *const end = input_.end();
    while (p < end && *p != '\n' && *p != '\r') ++p;
    if (structure && !tooLong) {
      const size_t n = static_cast<size_t>(p - p_);
      if (comment_.size() + n > limits_.tokenBytes)
        tooLong = true;
      else
        comment_.append(p_, n);
    }
    p_ = p;
    if (p < end || !more()) break;
  }
  if (!structure) {
    produced = false;
  } else if (tooLong) {
    fail(token, "structure comment longer than %zu bytes", limits_.tokenBytes);
  } else {
    token.kind = TokenKind::Structure;
    token.text = comment_;
  }
}

// ---- Strings ----

void RibTokenizer::openSink(PodBuffer<char> *out, size_t room, bool keep) {
  sink_ = out;
  sinkRoom_ = room;
  sinkKeep_ = keep;
  sinkFull_ = false;
}

void RibTokenizer::put(const char *from, size_t n) {
  if (!sinkKeep_ || sinkFull_ || n == 0) return;
  if (n > sinkRoom_) {
    n = sinkRoom_;
    sinkFull_ = true;
  }
  sink_->append(from, n);
  sinkRoom_ -= n;
}

bool RibTokenizer::quoted(Token &token) {
  ++p_;
  escapeProblem_ = nullptr;
  for (;;) {
    char *p = p_;
    char *const end = input_.end();
    while (p < end && *p != '"' && *p != '\\' && *p != '\n') ++p;
    put(p_, static_cast<size_t>(p - p_));
    p_ = p;
    if (p == end) {
      if (!more()) {
        fail(token, "unterminated string");
        return false;
      }
      continue;
    }
    if (*p == '"') {
      ++p_;
      break;
    }
    if (*p == '\n') {
      ++line_;
      put(p, 1);
      ++p_;
      continue;
    }
    // A backslash and up to three more bytes: an escape never spans a refill.
    ensure(4);
    if (input_.end() - p_ < 2) {
      ++p_; // the input ends after the backslash
      continue;
    }
    const RibPosition escapeAt = here();
    const char c = p_[1];
    char value = c;
    p_ += 2;
    switch (c) {
    case 'n': value = '\n'; break;
    case 'r': value = '\r'; break;
    case 't': value = '\t'; break;
    case 'b': value = '\b'; break;
    case 'f': value = '\f'; break;
    case '\n': // continuation: the backslash and the line end vanish
      ++line_;
      continue;
    case '\r':
      if (*p_ == '\n') {
        ++p_;
        ++line_;
      }
      continue;
    case '"':
    case '\\': break;
    default:
      if (c < '0' || c > '7') put("\\", 1); // an unknown escape keeps its backslash
      break;
    }
    if (c >= '0' && c <= '7') {
      unsigned octal = static_cast<unsigned>(c - '0');
      for (int digits = 1; digits < 3 && *p_ >= '0' && *p_ <= '7'; ++digits)
        octal = octal * 8 + static_cast<unsigned>(*p_++ - '0');
      if (octal > 0xFF && !escapeProblem_) {
        escapeProblem_ = "octal escape above \\377 in a string";
        escapeWhere_ = escapeAt;
      }
      value = static_cast<char>(octal);
    }
    put(&value, 1);
  }
  if (escapeProblem_) {
    token.where = escapeWhere_;
    fail(token, "%s", escapeProblem_);
    return false;
  }
  return true;
}

void RibTokenizer::valueString(Token &token, bool binaryForm, uint64_t length) {
  const size_t first = pools_.chars.size();
  const size_t used = pools_.bytes();
  // Room for one byte past the limit, so that the reader sees it passed.
  openSink(&pools_.chars, used < limits_.requestBytes ? limits_.requestBytes - used + 1 : 1, keep_);
  if (!(binaryForm ? binaryString(token, length) : quoted(token))) return;
  token.kind = TokenKind::String;
  token.first = first;
  token.count = pools_.chars.size() - first;
  token.overLimit = sinkFull_;
}

} // namespace rib
