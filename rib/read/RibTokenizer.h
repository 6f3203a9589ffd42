// RibTokenizer.h - the tokens of RIB: ASCII words, numbers, strings, brackets and comments, and the
// binary encoding's numbers, strings, float arrays, encoded requests and string definitions.
//
// Strings and float arrays are decoded straight into the pools of the request being read, as
// their bytes arrive; names and numbers are read in place from the input buffer. Definitions
// (binary request codes and strings) are kept by the tokenizer and never show up as tokens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PodBuffer.h"
#include "RibInput.h"
#include "RibNumber.h"
#include "RibReader.h"

namespace rib {

enum class TokenKind : uint8_t {
  End,
  Name,    // text
  Integer, // number
  Float,   // number
  String,  // first, count: bytes in the pools' chars
  ArrayOpen,
  ArrayClose,
  FloatArray, // first, count: values in the pools' floats (binary only)
  Structure,  // text: a "##" comment
  Error,      // text: the message
};

struct Token {
  TokenKind kind = TokenKind::End;
  RibPosition where;
  RibNumber number;
  std::string_view text; // valid until the next token
  size_t first = 0;
  size_t count = 0;
  bool overLimit = false; // String, FloatArray: the request's limit was reached; values dropped
  bool glued = false;     // Integer, Float: a request's name follows without a blank ("5Sphere")
  bool endsInput = false; // Name: the input ends with its last character (it may be cut short)
  bool ofInput = false;   // Error: the input itself failed (read error, corrupt gzip)
  bool afterData = false; // Error of the input: after all its data (garbage after gzip's end)
  int readError = 0;      // Error of the input: the errno of a read that failed, else 0
};

/// The values of the request being read, in buffers kept from request to request.
struct RibPools {
  PodBuffer<int32_t> ints;
  PodBuffer<float> floats;
  PodBuffer<char> chars; // strings, each followed by a zero byte
  size_t otherBytes = 0; // argument records, their views, string references, comments held back

  /// What the request holds, as measured against its limit: every value with all its copies and
  /// records, so that a request of single numbers (the most held per byte of input) stays
  /// within the limit too.
  size_t bytes() const {
    return (ints.size() + floats.size()) * sizeof(float) + chars.size() + otherBytes;
  }
  void clear() {
    ints.clear();
    floats.clear();
    chars.clear();
    otherBytes = 0;
  }
};

/// An ASCII array of numbers being read: integers while every element is one.
struct NumberArray {
  size_t firstInt = 0;
  bool allIntegers = true;

  void add(RibPools &pools, const RibNumber &number) {
    if (allIntegers) {
      if (number.isInteger) {
        pools.ints.push_back(number.integer);
      } else {
        allIntegers = false;
        pools.ints.resize(firstInt);
      }
    }
    pools.floats.push_back(number.value);
  }
};

class RibTokenizer {
public:
  static constexpr size_t kRequestCodes = 256; // one byte names a binary-encoded request

  RibTokenizer(RibPools &pools, const RibReaderLimits &limits);

  RibInput &input() { return input_; }
  /// Starts a new input (after input() is pointed at it): line 1, no definitions.
  void restart();

  /// Whether strings and float arrays are kept in the pools (off while skipping after an error).
  void keepValues(bool keep) { keep_ = keep; }

  Token next();
  /// Adds the ASCII numbers that follow (and the blanks between them) to `array`; stops before
  /// anything else, or when the request's limit is passed.
  void readNumbers(NumberArray &array);

private:
  RibPosition here() const { return {line_, input_.offsetOf(p_)}; }
  bool more();               // reads on at the end of the buffer; false when the input is exhausted
  bool ensure(size_t bytes); // at least `bytes` from p_ in the buffer, reading on if needed
  char *wholeWord(uint8_t wordClass); // the end of the word at p_, or null if over the limit
  char *blockNumbers(char *p, const char *end, float *&floats, int32_t *&ints);
  template <bool kIntegers>
  char *blockNumbersOf(char *p, const char *end, float *&floats, int32_t *&ints);
  __attribute__((noinline)) bool longNumber(const char *token, const char *end);

  Token &fail(Token &token, const char *format, ...) __attribute__((format(printf, 3, 4)));
  Token &end(Token &token);
  void comment(Token &token, bool &produced);
  void name(Token &token);
  void number(Token &token);
  void binary(Token &token, bool &produced);

  // Strings go to a sink: the pools' chars for values, a scratch buffer for definitions.
  void openSink(PodBuffer<char> *out, size_t room, bool keep);
  void put(const char *from, size_t n);
  bool quoted(Token &token); // false after an error in the token
  bool binaryString(Token &token, uint64_t length);
  bool definitionText(Token &token);
  void valueString(Token &token, bool binaryForm, uint64_t length);
  void floatArray(Token &token, uint64_t count);
  uint64_t bigEndian(const char *at, size_t bytes) const;

  RibPools &pools_;
  const RibReaderLimits &limits_;
  RibInput input_;
  char *p_ = nullptr;
  uint64_t line_ = 1;
  bool keep_ = true;
  bool readErrorReported_ = false;
  std::string scratch_; // number text for strtof
  RibNumber longNumber_;
  std::string message_; // of the last error token
  std::string comment_; // of the last structure token

  PodBuffer<char> *sink_ = nullptr;
  size_t sinkRoom_ = 0;
  bool sinkKeep_ = false;
  bool sinkFull_ = false;
  const char *escapeProblem_ = nullptr;
  RibPosition escapeWhere_;

  PodBuffer<char> definition_;
  std::vector<std::string> requestCodes_; // 0xCC definitions, by code
  std::vector<bool> requestDefined_;
  std::vector<std::string> strings_; // 0xCD/0xCE definitions, by code
  std::vector<bool> stringDefined_;
  size_t definedBytes_ = 0;
};

} // namespace rib
