// RibEncoder.h - the one way bytes reach a RIB stream.
//
// Every request of a RibWriter is written through its encoder: a request body says what it writes
// (a keyword, a number, an array, a text, a parameter list), the encoder decides how. Bytes gather
// in one buffer that the encoder owns (part of the context, never on a request's stack) and
// go to the stream at the end of each request, so what a request wrote is in the stream when the
// call returns and the process's exit flushes it as usual.
//
// Which numbers follow the binary flag, for every request: float arrays (writeFloats, and so
// every float parameter value) and single float values (writeFloat) take the binary encoding when
// `binary` is set. Everything else is text in both encodings: the fixed numbers of a request
// (writeNumber, writeArguments), integers and integer arrays, texts and keywords.
//
//     encoder.writeRaw("Sphere");
//     encoder.writeArguments(radius, zmin, zmax, thetamax);          // " 1 -1 1 360"
//     encoder.writePrimParamList(quadricCounts(), n, tokens, values);  // parameters, then "\n"
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "rib/ri.h"

namespace rib {

struct PrimitiveCounts;

/// One token and its value pointer; arrays of them end with a null token.
struct RiParamPair {
  RtToken token;
  RtPointer value;
};

class RibEncoder {
public:
  /// Bytes held before they go to the stream; a request longer than this goes out in pieces of
  /// this size, few enough that a large binary array costs little more than its own write.
  static constexpr size_t kBufferSize = 1 << 20;

  RibEncoder() = default;
  RibEncoder(const RibEncoder &) = delete;
  RibEncoder &operator=(const RibEncoder &) = delete;

  /// Writes to `stream` from now on (null: nowhere).
  void attach(FILE *stream) { stream_ = stream; }
  FILE *stream() const { return stream_; }

  bool binary = false; // float arrays and single float values in the binary encoding
  int precision = 6;   // significant digits of "%g" floats
  /// Each request inside a block starts with two blanks per open block (off by default, when
  /// every request starts its line at the left margin).
  bool indentBlocks = false;

  // ---- Text pieces ----

  void writeRaw(const char *text, size_t length);
  void writeRaw(const char *text);
  void writeChar(char c);
  /// A float as "%g" with `precision` digits: always text.
  void writeNumber(RtFloat value);
  /// A float as "%f" (six decimals): always text.
  void writeFixed(RtFloat value);
  /// A decimal integer.
  void writeInt(long long value);
  /// A text in double quotes; quote, backslash and newline escaped. Null reads as empty.
  void writeText(const char *text);

  /// The fixed arguments of a request, each after one blank: numbers as "%g" or "%d" text, texts
  /// quoted, a filter function by its name, a light or object handle by its number.
  template <class... Arguments> void writeArguments(Arguments... arguments) {
    (writeArgument(arguments), ...);
  }

  // ---- Values that follow the binary flag ----

  /// Text: "%g " (the value and one blank). Binary: 0xA4 and the big-endian IEEE single.
  void writeFloat(RtFloat value);
  /// Text: "[v v v]". Binary: a count header (0xC8 to 0xCB) and n big-endian singles.
  void writeFloats(const RtFloat *values, long long n);

  // ---- Arrays that are always text ----

  /// "[i i i ]": each value followed by a blank. n <= 0 gives "[]".
  void writeInts(const RtInt *values, long long n);
  /// "[\"a\" \"b\" ]": each text quoted and followed by a blank.
  void writeStrings(RtToken const *texts, long long n);

  // ---- Parameter lists (they end the line) ----

  /// For requests that are not primitives: each parameter carries its declared array size of
  /// values. Writes " \"name\"" first when name is set, and " count" when count > 0.
  void writeParamList(const char *name, int count, int n, RtToken const tokens[],
                      RtPointer const values[]);
  void writeParamPairs(const char *name, int count, const RiParamPair *pairs);
  /// For primitives: a parameter's number of elements follows from its class and `counts`.
  void writePrimParamList(const PrimitiveCounts &counts, int n, RtToken const tokens[],
                          RtPointer const values[]);
  void writePrimParamPairs(const PrimitiveCounts &counts, const RiParamPair *pairs);

  // ---- Request boundaries ----

  /// Ends the request's line and hands its bytes to the stream.
  void endLine();
  /// Hands the bytes written so far to the stream.
  void endRequest();

  // ---- Block nesting, for indentation ----

  /// A Begin request calls openBlock after its line, an End request closeBlock before its line.
  void openBlock() { ++blockDepth_; }
  void closeBlock() {
    if (blockDepth_ > 0) --blockDepth_;
  }

private:
  void writeArgument(RtFloat value);
  void writeArgument(RtInt value);
  void writeArgument(RtBoolean value);
  void writeArgument(const char *text);
  void writeArgument(RtFilterFunc filter);
  void writeArgument(RtPointer handle);

  void writeParam(RtToken token, RtPointer value, const PrimitiveCounts *counts);
  void writeTextArray(RtToken const *texts, size_t n);
  void writeBinaryFloats(const RtFloat *values, size_t n);
  void writeTextFloats(const RtFloat *values, size_t n);

  /// Room for `length` more bytes (at most kBufferSize): write there, then commit what was used.
  char *reserve(size_t length) {
    if (kBufferSize - used_ < length) flushBuffer();
    return buffer_ + used_;
  }
  void commit(size_t length) { used_ += length; }
  void flushBuffer();
  void writeIndent();

  FILE *stream_ = nullptr;
  size_t used_ = 0;
  int blockDepth_ = 0;
  bool atLineStart_ = false; // the last request ended its line: the next bytes start a line
  char buffer_[kBufferSize];
};

} // namespace rib
