// The binary encoding of RIB. A byte from 0x80 on starts a form: 0x80-0x8F integer or fixed point,
// 0x90-0xA3 string, 0xA4 float, 0xA5 double, 0xA6 encoded request, 0xC8-0xCB float array, 0xCC
// request definition, 0xCD-0xCE string definition, 0xCF-0xD0 defined string; every other byte
// is reserved. Multi-byte values are big-endian.
#include <cmath>
#include <cstring>

#include "RibCharClass.h"
#include "RibTokenizer.h"

namespace rib {

bool RibTokenizer::binaryString(Token &token, uint64_t length) {
  while (length > 0) {
    if (p_ == input_.end() && !more()) {
      fail(token, "binary string truncated at byte %llu",
           static_cast<unsigned long long>(token.where.offset));
      return false;
    }
    const size_t available = static_cast<size_t>(input_.end() - p_);
    const size_t n = available < length ? available : static_cast<size_t>(length);
    put(p_, n);
    p_ += n;
    length -= n;
  }
  return true;
}

// The text of a definition, into definition_: a quoted or binary string, possibly after blanks.
bool RibTokenizer::definitionText(Token &token) {
  for (;;) {
    while ((classOf(*p_) & kSpace) || *p_ == '\n') line_ += *p_++ == '\n';
    if (p_ != input_.end() || !more()) break;
  }
  definition_.clear();
  openSink(&definition_, limits_.definitionBytes + 1, true);
  const unsigned char c = static_cast<unsigned char>(*p_);
  if (p_ != input_.end()) {
    if (c == '"') return quoted(token);
    if (c >= 0x90 && c <= 0x9F) {
      ++p_;
      return binaryString(token, c - 0x90u);
    }
    if (c >= 0xA0 && c <= 0xA3) {
      const size_t lengthBytes = c - 0xA0u + 1;
      if (ensure(1 + lengthBytes)) {
        const uint64_t length = bigEndian(p_ + 1, lengthBytes);
        p_ += 1 + lengthBytes;
        return binaryString(token, length);
      }
      p_ = input_.end();
    }
  }
  fail(token, "binary definition at byte %llu without its text",
       static_cast<unsigned long long>(token.where.offset));
  return false;
}

uint64_t RibTokenizer::bigEndian(const char *at, size_t bytes) const {
  uint64_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value = value << 8 | static_cast<unsigned char>(at[i]);
  return value;
}

void RibTokenizer::floatArray(Token &token, uint64_t count) {
  const size_t first = pools_.floats.size();
  bool keep = keep_;
  uint64_t done = 0;
  while (done < count) {
    size_t whole = static_cast<size_t>(input_.end() - p_) / 4;
    if (whole == 0) {
      if (!ensure(4)) {
        p_ = input_.end();
        fail(token, "binary float array truncated after %llu of %llu values (array at byte %llu)",
             static_cast<unsigned long long>(done), static_cast<unsigned long long>(count),
             static_cast<unsigned long long>(token.where.offset));
        return;
      }
      continue;
    }
    const size_t n = count - done < whole ? static_cast<size_t>(count - done) : whole;
    if (keep && pools_.bytes() + n * sizeof(float) > limits_.requestBytes) {
      keep = false;
      token.overLimit = true;
    }
    if (keep) {
      const size_t at = pools_.floats.size();
      pools_.floats.resize(at + n);
      float *out = pools_.floats.data() + at;
      for (size_t i = 0; i < n; ++i) {
        uint32_t bits;
        std::memcpy(&bits, p_ + 4 * i, sizeof bits);
#if !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
        bits = __builtin_bswap32(bits);
#endif
        std::memcpy(out + i, &bits, sizeof bits);
      }
    }
    p_ += 4 * n;
    done += n;
  }
  token.kind = TokenKind::FloatArray;
  token.first = first;
  token.count = pools_.floats.size() - first;
}

void RibTokenizer::binary(Token &token, bool &produced) {
  const unsigned code = static_cast<unsigned char>(*p_);
  const unsigned long long offset = token.where.offset;
  // Bytes that follow the code: a value, a length or a definition code.
  size_t operand = 0;
  if (code <= 0x8F)
    operand = (code & 3) + 1;
  else if (code >= 0xA0 && code <= 0xA3)
    operand = code - 0xA0 + 1;
  else if (code == 0xA4)
    operand = 4;
  else if (code == 0xA5)
    operand = 8;
  else if (code == 0xA6 || code == 0xCC)
    operand = 1;
  else if (code >= 0xC8 && code <= 0xCB)
    operand = code - 0xC8 + 1;
  else if (code >= 0xCD && code <= 0xD0)
    operand = (code - 0xCD) % 2 + 1;
  else if (code > 0x9F) {
    ++p_;
    fail(token, "reserved binary code 0x%02X at byte %llu", code, offset);
    return;
  }
  if (!ensure(1 + operand)) {
    p_ = input_.end();
    fail(token, "binary value truncated at byte %llu", offset);
    return;
  }
  const uint64_t value = bigEndian(p_ + 1, operand);
  p_ += 1 + operand;

  if (code <= 0x8F) {
    // A big-endian integer; the upper two bits of the code's low nibble give how many of its
    // bytes lie after the binary point. The forms of one to three bytes are unsigned, as the
    // writers that use them write them (200 is 0x80 0xC8, 32768 is 0x81 0x80 0x00); the
    // four-byte form is the 32-bit two's complement of RtInt, the only one that holds a sign.
    const int64_t integer = operand < 4 ? static_cast<int64_t>(value)
                                        : static_cast<int64_t>(static_cast<int32_t>(value));
    const unsigned fractionBytes = (code >> 2) & 3;
    if (fractionBytes == 0) {
      token.kind = TokenKind::Integer;
      token.number.isInteger = true;
      token.number.integer = static_cast<int32_t>(integer);
      token.number.value = static_cast<float>(integer);
    } else {
      token.kind = TokenKind::Float;
      token.number.value = static_cast<float>(
          std::ldexp(static_cast<double>(integer), -8 * static_cast<int>(fractionBytes)));
    }
  } else if (code <= 0xA3) {
    valueString(token, true, code <= 0x9F ? code - 0x90 : value);
  } else if (code == 0xA4) {
    const uint32_t bits = static_cast<uint32_t>(value);
    token.kind = TokenKind::Float;
    std::memcpy(&token.number.value, &bits, sizeof bits);
  } else if (code == 0xA5) {
    double real;
    std::memcpy(&real, &value, sizeof real);
    token.kind = TokenKind::Float;
    token.number.value = static_cast<float>(real);
  } else if (code == 0xA6) {
    if (!requestDefined_[value]) {
      fail(token, "binary request code %llu at byte %llu has no definition",
           static_cast<unsigned long long>(value), offset);
      return;
    }
    token.kind = TokenKind::Name;
    token.text = requestCodes_[value];
  } else if (code <= 0xCB) {
    floatArray(token, value);
  } else if (code <= 0xCE) {
    if (!definitionText(token)) return;
    const bool isRequest = code == 0xCC;
    if (!isRequest && strings_.size() <= value) {
      strings_.resize(value + 1);
      stringDefined_.resize(value + 1, false);
    }
    if (isRequest && definition_.size() > limits_.tokenBytes) {
      // A request's name, however it is written, is one name: the same limit as in ASCII.
      fail(token, "binary request definition at byte %llu: name longer than %zu bytes", offset,
           limits_.tokenBytes);
      return;
    }
    std::string &slot = isRequest ? requestCodes_[value] : strings_[value];
    if (definedBytes_ - slot.size() + definition_.size() > limits_.definitionBytes) {
      fail(token, "binary definitions exceed %zu bytes at byte %llu", limits_.definitionBytes,
           offset);
      return;
    }
    definedBytes_ = definedBytes_ - slot.size() + definition_.size();
    slot.assign(definition_.data(), definition_.size());
    (isRequest ? requestDefined_ : stringDefined_)[value] = true;
    produced = false;
  } else {
    if (value >= stringDefined_.size() || !stringDefined_[value]) {
      fail(token, "binary string code %llu at byte %llu has no definition",
           static_cast<unsigned long long>(value), offset);
      return;
    }
    const std::string &text = strings_[value];
    const size_t first = pools_.chars.size();
    const size_t used = pools_.bytes();
    openSink(&pools_.chars, used < limits_.requestBytes ? limits_.requestBytes - used + 1 : 1,
             keep_);
    put(text.data(), text.size());
    token.kind = TokenKind::String;
    token.first = first;
    token.count = pools_.chars.size() - first;
    token.overLimit = sinkFull_;
  }
}

} // namespace rib
