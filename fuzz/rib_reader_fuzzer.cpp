// Fuzz target: arbitrary bytes through the RIB reader. Reading must not crash, hang or grow
// without bound; every value it reports must be in bounds; reading the same bytes in small
// chunks (a few bytes per read, so that every token and binary value is cut somewhere) must
// report exactly the same requests, comments, notes and errors; and every request written again
// as text (as requests no table knows are passed on) must read back as the same request.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzRib.h"
#include "RibDispatch.h"
#include "RibReader.h"
#include "RibRequestRead.h"

namespace {

void checkAsText(const rib::RibRequest &request);

// Everything reported, in a compact form that two reads can be compared by.
class Digest : public rib::RibHandler {
public:
  void request(const rib::RibRequest &request) override {
    put('R', request.where);
    putText(request.name);
    put(request.size());
    for (const rib::RibArg &arg : request) {
      put(static_cast<uint64_t>(arg.type));
      put(arg.count);
      put(arg.where.offset);
      const bool integers =
          arg.type == rib::RibArgType::Integer || arg.type == rib::RibArgType::IntegerArray;
      const bool texts =
          arg.type == rib::RibArgType::String || arg.type == rib::RibArgType::StringArray;
      if ((!arg.isArray() && arg.count != 1) || integers != (arg.ints != nullptr) ||
          texts == arg.isNumeric() || (texts && !arg.isText()))
        fuzzrib::fail("an argument's views do not match its type");
      if (arg.floats) log.append(reinterpret_cast<const char *>(arg.floats), arg.count * 4);
      if (arg.ints) log.append(reinterpret_cast<const char *>(arg.ints), arg.count * 4);
      for (size_t i = 0; arg.strings && i < arg.count; ++i) {
        if (arg.strings[i].data()[arg.strings[i].size()] != '\0')
          fuzzrib::fail("a string is not followed by a zero byte");
        putText(arg.strings[i]);
      }
    }
    if (request.where.offset < lastOffset) fuzzrib::fail("requests out of order");
    lastOffset = request.where.offset;
    if (checkText) checkAsText(request);
  }

  bool checkText = false;
  void structure(std::string_view text, rib::RibPosition where) override {
    put('C', where);
    putText(text);
  }
  void error(std::string_view message, rib::RibPosition where) override {
    put('E', where);
    putText(message);
    if (message.empty() || message.find('\n') != std::string_view::npos)
      fuzzrib::fail("an error message is not one line");
  }
  void note(std::string_view message, rib::RibPosition where) override {
    put('N', where);
    putText(message);
    if (message.empty() || message.find('\n') != std::string_view::npos)
      fuzzrib::fail("a note is not one line");
  }

  std::string log;

private:
  void put(uint64_t value) { log.append(reinterpret_cast<const char *>(&value), sizeof value); }
  void put(char kind, rib::RibPosition where) {
    if (where.line == 0) fuzzrib::fail("a position without a line");
    log += kind;
    put(where.line);
    put(where.offset);
  }
  void putText(std::string_view text) {
    put(text.size());
    log.append(text.data(), text.size());
  }

  uint64_t lastOffset = 0;
};

// A request read back from its text: one request, the same values (floats to the bit).
class SameRequest : public rib::RibHandler {
public:
  explicit SameRequest(const rib::RibRequest &expected) : expected_(expected) {}
  void request(const rib::RibRequest &got) override {
    if (++count_ > 1 || got.name != expected_.name || got.size() != expected_.size())
      fuzzrib::fail("a request written as text reads back as another request");
    for (size_t i = 0; i < got.size(); ++i) {
      const rib::RibArg &a = got[i], &b = expected_[i];
      const bool textA = a.isText() && !(a.isArray() && a.count == 0);
      const bool textB = b.isText() && !(b.isArray() && b.count == 0);
      // A float may come back as an integer of the same value ("1"); an integer stays one.
      if (a.count != b.count || a.isArray() != b.isArray() || textA != textB ||
          (b.ints && b.count > 0 && !a.ints))
        fuzzrib::fail("an argument written as text reads back as another kind");
      for (size_t k = 0; k < a.count; ++k) {
        const bool same = textA    ? a.strings[k] == b.strings[k]
                          : b.ints ? a.ints[k] == b.ints[k]
                                   : std::memcmp(&a.floats[k], &b.floats[k], sizeof(float)) == 0;
        if (!same) fuzzrib::fail("a value written as text reads back as another value");
      }
    }
  }
  void error(std::string_view, rib::RibPosition) override {
    fuzzrib::fail("a request written as text does not read back");
  }
  size_t count_ = 0;

private:
  const rib::RibRequest &expected_;
};

void checkAsText(const rib::RibRequest &request) {
  // Names from binary definitions may hold anything; non-finite numbers have no text form.
  for (char c : request.name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return;
  if (request.name.empty() || std::isdigit(static_cast<unsigned char>(request.name[0]))) return;
  for (const rib::RibArg &arg : request)
    for (size_t k = 0; arg.floats && k < arg.count; ++k)
      if (!std::isfinite(arg.floats[k])) return;
  const std::string text = rib::requestText(request);
  SameRequest same(request);
  rib::RibReader(same).readMemory(text.data(), text.size());
  if (same.count_ != 1) fuzzrib::fail("a request written as text is lost");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
  // Small limits, so that inputs reach them and memory stays bounded.
  rib::RibReaderLimits limits;
  limits.requestBytes = 1 << 16;
  limits.tokenBytes = 1 << 10;
  limits.definitionBytes = 1 << 12;
  Digest whole;
  whole.checkText = true;
  rib::RibReader(whole, limits).readMemory(bytes, size);
  limits.chunkBytes = size > 0 ? 1 + bytes[0] % 11 : 1;
  Digest chunked;
  rib::RibReader(chunked, limits).readMemory(bytes, size);
  if (whole.log != chunked.log) fuzzrib::fail("reading in small chunks changed what was read");

  // And the same bytes into a context: every request checked before the context reads it.
  struct Ignored : rib::RibProblemSink {
    void problem(rib::RibPosition, std::string_view message) override {
      if (message.empty()) fuzzrib::fail("a problem without a message");
    }
    void note(rib::RibPosition, std::string_view message) override {
      if (message.empty()) fuzzrib::fail("a note without a message");
    }
  } problems;
  rib::RibWriter &context = fuzzrib::readBackContext();
  rib::RibDispatch dispatch(context, problems);
  dispatch.setBasisSteps(context.uStep, context.vStep);
  rib::RibReader(dispatch, limits).readMemory(bytes, size);
  dispatch.endInput();
  return 0;
}
