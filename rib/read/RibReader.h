// RibReader.h - a streaming reader of RIB, ASCII and binary, mixed freely in one input.
//
// The reader takes its input in chunks (a FILE* or a memory block), so a file
// larger than memory streams through it: only the arguments of the request being read are held.
// For each request it calls the handler with the request's name, where it starts and its
// arguments as typed values; structure comments ("##...") and syntax errors go to the handler too.
// After an error the reader skips to the next request name, so one input can report several
// problems.
//
//     struct Printer : rib::RibHandler {
//       void request(const rib::RibRequest &r) override {
//         std::printf("%.*s: %zu arguments\n", int(r.name.size()), r.name.data(), r.size());
//       }
//       void error(std::string_view message, rib::RibPosition where) override {
//         std::printf("line %llu: %.*s\n", (unsigned long long)where.line, int(message.size()),
//                     message.data());
//       }
//     } printer;
//     rib::RibReader reader(printer);
//     bool clean = reader.readFile(stdin);
//
// Values live in buffers that the reader owns and reuses: the views a handler gets are valid only
// during its call. The reader never reads past its input, never recurses, and holds at most
// RibReaderLimits::requestBytes of one request's values (a binary array claiming billions of
// floats grows only as its bytes arrive). One reader serves one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace rib {

/// Where something starts in the input: line (from 1; lines end at '\n' of the ASCII text) and
/// byte offset from the start of the input (from 0).
struct RibPosition {
  uint64_t line = 0;
  uint64_t offset = 0;
};

enum class RibArgType : uint8_t { Integer, Float, String, IntegerArray, FloatArray, StringArray };

/// One argument of a request. Numbers always have a float view; integers (single or an ASCII
/// array of integers only) also have their exact 32-bit values. An empty array "[]" is an
/// integer array of count 0 whose float and string views are empty too.
struct RibArg {
  RibArgType type = RibArgType::Integer;
  size_t count = 0;                          // 1 for single values
  const int32_t *ints = nullptr;             // Integer, IntegerArray
  const float *floats = nullptr;             // Integer, Float, IntegerArray, FloatArray
  const std::string_view *strings = nullptr; // String, StringArray; each ends with a zero byte
  RibPosition where;

  bool isArray() const { return type >= RibArgType::IntegerArray; }
  /// Numbers, integers included (they read as floats too).
  bool isNumeric() const { return floats != nullptr; }
  bool isText() const { return strings != nullptr; }
};

/// A request as read: its name (an ASCII word or a binary-encoded request) and its arguments.
struct RibRequest {
  std::string_view name;
  RibPosition where; // of the name
  const RibArg *args = nullptr;
  size_t argCount = 0;

  size_t size() const { return argCount; }
  const RibArg &operator[](size_t i) const { return args[i]; }
  const RibArg *begin() const { return args; }
  const RibArg *end() const { return args + argCount; }
};

/// What the reader reports. Only request() is required.
class RibHandler {
public:
  virtual ~RibHandler() = default;
  /// A complete request; called when the next request or the end of the input is reached.
  virtual void request(const RibRequest &request) = 0;
  /// A "##" comment line: `text` follows the two '#' up to the end of the line. Comments met
  /// inside a request come after that request.
  virtual void structure(std::string_view text, RibPosition where);
  /// A problem in the input: one line of text, where it is. The request it occurs in is not
  /// delivered; reading goes on at the next request name.
  virtual void error(std::string_view message, RibPosition where);
  /// A read of the input failed (`error` is the system's errno): reading ends. By default the
  /// same as error(message, where).
  virtual void readFailed(int error, std::string_view message, RibPosition where);
  /// Something read as other readers read it, though it is not RIB as written by the standard
  /// (a number run into the name after it): one line of text, where it is. Reading goes on.
  virtual void note(std::string_view message, RibPosition where);
};

/// Bounds that keep a hostile input from taking unbounded memory.
struct RibReaderLimits {
  size_t requestBytes = size_t(1) << 30;    // one request's values (floats 4, text 1 per byte)
  size_t tokenBytes = size_t(1) << 20;      // one name, number or "##" comment line
  size_t definitionBytes = size_t(1) << 26; // all binary string definitions together
  size_t chunkBytes = size_t(1) << 16;      // input taken per read
};

class RibReader {
public:
  explicit RibReader(RibHandler &handler, const RibReaderLimits &limits = RibReaderLimits());
  ~RibReader();
  RibReader(const RibReader &) = delete;
  RibReader &operator=(const RibReader &) = delete;

  // Each read starts afresh (line 1, no binary definitions) and returns true when the whole
  // input was read without an error. The file is read to its end, never closed.
  bool readFile(FILE *file);
  bool readMemory(const void *data, size_t size);

  // The same input read on demand, for a caller that takes requests one at a time: start it,
  // then each readNext() reads on until the handler has been called (a request or a structure
  // comment; problems do not count) and returns false once the input has been read to its end,
  // after the handler's last calls. Stopping early leaves nothing behind but the buffers.
  void startFile(FILE *file);
  void startMemory(const void *data, size_t size);
  bool readNext();

  class Impl;

private:
  std::unique_ptr<Impl> impl_;
};

} // namespace rib
