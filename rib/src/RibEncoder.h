// RibEncoder.h - the one way bytes reach a RIB stream.
//
// Every request of a RibWriter is written through its encoder: a request body says what it writes
// (a keyword, a number, an array, a text, a parameter list), the encoder decides how. Bytes gather
// in one buffer that the encoder owns (part of the context, never on a request's stack) and
// go to the stream at the end of each request, so what a request wrote is in the stream when the
// call returns and the process's exit flushes it as usual.
//
// A request that cannot be written whole is left out whole: one that holds a float that is not
// finite (NaN, +-Inf have no RIB form), one whose parameter declarations could not be stored
// for want of memory, or one whose parameter list has a negative count or pairs without their
// token or value arrays. Its bytes are dropped at its end and one line names it on standard error.
// A request longer than the buffer is checked before its first bytes go out (the parameter list a
// body announces with expectParams and any large array are scanned first), or, in a regular file,
// cut back again.
//
// The stream: the first failed write, flush or close is reported in one line naming the target
// and the system's reason, and nothing more goes to that stream. Writes into a pipe never raise
// SIGPIPE in the host (nor into standard output or a FIFO whose reader has gone); a pipe's
// command that ends badly is reported when the stream closes.
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

// gzip in and out need zlib and libdeflate; a build without them (the web page's) says
// RIB_GZIP=0 for the library and everything that sees its insides (CMake option RIB_GZIP).
#ifndef RIB_GZIP
#define RIB_GZIP 1
#endif

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "CompactCodes.h"
#include "FiniteFloats.h"
#include "rib/ri.h"

namespace rib {

struct PrimitiveCounts;
class GzipOutput;
class Declarations;

/// How a stream failed, for a host that raises it its own way (the report line goes out as
/// well): the system's error number of the first failed write, flush or close, or how a pipe's
/// command ended. All 0 while the stream is sound.
struct StreamFailure {
  int error = 0;
  int commandStatus = 0; // the command's exit status when not 0
  int commandSignal = 0; // the signal that ended the command
};

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

  RibEncoder();
  ~RibEncoder();
  RibEncoder(const RibEncoder &) = delete;
  RibEncoder &operator=(const RibEncoder &) = delete;

  /// Writes to `stream` from now on (null: nowhere). `target` names it in reports (null: standard
  /// output); a `pipe` is closed with pclose and written with SIGPIPE held back.
  void attach(FILE *stream, const char *target, bool pipe);
  FILE *stream() const { return stream_; }
  /// True once a write, flush or close of the stream has failed (and been reported).
  bool failed() const { return failed_; }
  /// Compresses what goes to the stream as gzip at `level` (1 to 9), until close; called before
  /// the stream gets its first bytes. Throws std::bad_alloc without memory.
  void compress(int level);
  /// Hands what the stream holds to the system, so that a reader sees it now.
  void flushStream();
  /// Flushes and closes the stream (standard output is only flushed) and detaches it; a pipe's
  /// command is waited for and a failure or a status other than 0 is reported.
  void close();
  const StreamFailure &failure() const { return failure_; }

  /// The declarations that parameter tokens are looked up in: the context's own (set by the
  /// context before its first request).
  Declarations *declarations = nullptr;

  bool binary = false; // float arrays and single float values in the binary encoding
  /// Every token binary (binary must be set too): requests, texts, integers and floats.
  bool compact = false;
  int precision = 6; // significant digits of "%g" floats
  /// Each request inside a block starts with two blanks per open block (off by default, when
  /// every request starts its line at the left margin).
  bool indentBlocks = false;

  // ---- Text pieces ----

  /// A request's name, first in the request: text, or a request code in the compact encoding.
  /// `name` must outlive the request (a literal).
  void writeKeyword(const char *name);
  /// Bytes as they are, in every encoding (the header, comment records).
  void writeRaw(const char *text, size_t length);
  void writeRaw(const char *text);
  /// A character of the layout: a blank or a line end is left out in the compact encoding.
  void writeChar(char c) {
    if (compact && (c == ' ' || c == '\n')) return;
    if (used_ == kBufferSize) spill();
    buffer_[used_++] = c;
  }
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
    // Checked first: a long text among the arguments may take the request past the buffer.
    if (!(isFiniteArgument(arguments) && ...)) fault_ = Fault::NonFinite;
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
  /// The pair forms (RiParamPair arrays ending with a null token) are used by nothing in the
  /// library: they are kept, with their tests, because its documented interface lists them.
  void writeParamPairs(const char *name, int count, const RiParamPair *pairs);
  /// For primitives: a parameter's number of elements follows from its class and `counts`.
  void writePrimParamList(const PrimitiveCounts &counts, int n, RtToken const tokens[],
                          RtPointer const values[]);
  void writePrimParamPairs(const PrimitiveCounts &counts, const RiParamPair *pairs);

  // ---- Checks ahead of writing ----

  /// Announces the parameter list a request will end with (`counts` null for a request that is
  /// not a primitive), before a positional part that may be longer than the buffer: should the
  /// request fill the buffer, the list's floats are checked before any of its bytes go out.
  void expectParams(const PrimitiveCounts *counts, int n, RtToken const tokens[],
                    RtPointer const values[]);
  /// Marks the request to be left out when one of the n floats is not finite; for positional
  /// arrays that follow a part that may be longer than the buffer.
  void checkFloats(const RtFloat *values, long long n);
  /// Leaves the request out because memory for it ran out (reported at its end).
  void leaveOutForMemory() { fault_ = Fault::NoMemory; }

  // ---- Request boundaries ----

  /// Ends the request's line and hands its bytes to the stream.
  void endLine();
  /// Hands the bytes written so far to the stream.
  void endRequest();
  /// Ends a comment record's line, in every encoding (a comment runs to its line end).
  void endRecord();

  // ---- Block nesting, for indentation ----

  /// A Begin request calls openBlock after its line, an End request closeBlock before its line.
  void openBlock() { ++blockDepth_; }
  void closeBlock() {
    if (blockDepth_ > 0) --blockDepth_;
  }

private:
  /// Why the request being written is to be left out.
  enum class Fault : uint8_t { None, NonFinite, NoMemory, BadList, PastGiven };
  /// A parameter list announced by expectParams.
  struct ExpectedParams {
    const PrimitiveCounts *counts;
    int n;
    RtToken const *tokens;
    RtPointer const *values;
    const RiParamPair *pairs; // instead of tokens and values
  };

  /// A parameter list of n pairs that can be read: n >= 0, and tokens and values when n > 0.
  static bool isWholeList(int n, RtToken const tokens[], RtPointer const values[]) {
    return n == 0 || (n > 0 && tokens && values);
  }
  static bool isFiniteArgument(RtFloat value) { return isFinite(value); }
  template <class Other> static bool isFiniteArgument(Other) { return true; }

  void writeArgument(RtFloat value);
  void writeArgument(RtInt value);
  void writeArgument(RtBoolean value);
  void writeArgument(const char *text);
  void writeArgument(RtFilterFunc filter);
  void writeArgument(RtPointer handle);

  void writeParam(RtToken token, RtPointer value, const PrimitiveCounts *counts);
  /// True when n values of `width` bytes at `values` may be read: they lie within what a reader
  /// handed on (GivenValues.h), or are none of its. Else the request is to be left out.
  bool given(const void *values, size_t n, size_t width);
  void writeTextArray(RtToken const *texts, size_t n);
  void writeBinaryFloats(const RtFloat *values, size_t n);
  void writeTextFloats(const RtFloat *values, size_t n);

  // The compact encoding (RibEncoderCompact.cpp).
  void writeCompactKeyword(const char *name);
  void writeCompactText(const char *text);
  void writeCompactInt(long long value);
  void writeCompactFloat(RtFloat value);
  void writeCompactInts(const RtInt *values, long long n);

  /// Room for `length` more bytes (at most kBufferSize): write there, then commit what was used.
  char *reserve(size_t length) {
    if (kBufferSize - used_ < length) spill();
    return buffer_ + used_;
  }
  void commit(size_t length) { used_ += length; }
  /// Empties the full buffer in the middle of a request: to the stream once the rest of the
  /// request is known to be writable, else nowhere.
  void spill();
  void expectPairs(const PrimitiveCounts *counts, const RiParamPair *pairs);
  /// Checks the announced parameter list, once per request.
  void checkAhead();
  bool expectedParamsFinite();
  /// A binary float array that may not fit in the buffer's free room is checked before it is
  /// written (its copy checks it too, but runs go out as the buffer fills).
  void checkLargeArray(const RtFloat *values, size_t n);
  /// Drops the request's bytes and reports why it is left out.
  void leaveOut();
  void keepKeyword();
  void resetRequest();

  // The stream (RibEncoderStream.cpp).
  void writeOut(const char *bytes, size_t length);
  void streamFailed(int error);
  /// True when what a request wrote can be taken back: the stream is a regular file.
  bool canTakeBack() const { return regularFile_ && !failed_ && !compressing(); }
  long long streamPosition();
  /// Drops everything the stream holds from `position` on.
  void cutStreamAt(long long position);
  /// Hands a request's bytes to the stream, indented first when they start a line inside blocks.
  void writeRequestBytes(const char *bytes, size_t length);
  void writeIndent();

  FILE *stream_ = nullptr;
  const char *target_ = nullptr; // the target's name for reports; null for standard output
  bool pipe_ = false;
  bool failed_ = false;
  bool regularFile_ = false;
  StreamFailure failure_;
#if RIB_GZIP
  std::unique_ptr<GzipOutput> gzip_; // set when the stream is compressed
  bool compressing() const { return gzip_ != nullptr; }
#else
  bool compressing() const { return false; }
#endif
  bool holdSigpipe_ = false;         // a write may raise SIGPIPE: anything but a regular file

  Fault fault_ = Fault::None;
  bool spilled_ = false;        // part of the request went to the stream already
  long long requestStart_ = -1; // where it began in a file that can be cut back, else -1
  bool checkedAhead_ = false;
  bool expecting_ = false;
  bool inExpectedList_ = false; // the announced list is being written
  ExpectedParams expected_ = {};
  int badListCount_ = 0;  // the n of a list left out as Fault::BadList
  char keyword_[32] = ""; // the request's keyword, kept when its first bytes leave the buffer
  const char *requestKeyword_ = nullptr; // as given to writeKeyword
  CompactCodes codes_;                   // request codes and string definitions

  size_t used_ = 0;
  int blockDepth_ = 0;
  bool atLineStart_ = false; // the last request ended its line: the next bytes start a line
  char buffer_[kBufferSize];
};

} // namespace rib
