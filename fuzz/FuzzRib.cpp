// Shared pieces of the fuzz targets: the scratch context, read-back and the quoting check.
#include "FuzzRib.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

#include "ParamDecl.h"
#include "RibDispatch.h"
#include "RibReader.h"

using namespace rib;

namespace fuzzrib {

namespace {

// Values above this many bytes are not built: a declaration may ask for 32767 matrices per
// element, which is legal but only slows the search.
constexpr long long kMaxValueBytes = 1 << 20;

std::string scratchPath() {
  const char *dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/wobble_fuzz_" + std::to_string(getpid()) +
         ".rib";
}

// The context writes its file write-only; this descriptor reads it back.
int gReadBack = -1;

// What reading back found: syntax errors apart from the dispatch's problems.
class ReadBack : public RibHandler, public RibProblemSink {
public:
  explicit ReadBack(rib::RibWriter &context) : dispatch(context, *this) {
    dispatch.setBasisSteps(context.uStep, context.vStep);
    dispatch.acceptEarlierDeclarations(true);
  }
  void request(const RibRequest &request) override { dispatch.request(request); }
  void structure(std::string_view text, RibPosition where) override {
    dispatch.structure(text, where);
  }
  void error(std::string_view message, RibPosition where) override {
    syntax = first(syntax, message, where);
  }
  void problem(RibPosition where, std::string_view message) override {
    problems = first(problems, message, where);
  }

  RibDispatch dispatch;
  std::string syntax, problems;

private:
  static std::string first(const std::string &kept, std::string_view message, RibPosition where) {
    if (!kept.empty()) return kept;
    return "line " + std::to_string(where.line) + ": " + std::string(message);
  }
};

} // namespace

rib::RibWriter &readBackContext() {
  // Made once, before any input: a context's construction declares the standard parameters
  // afresh, which must not undo what an input declared.
  static rib::RibWriter *context = new rib::RibWriter("/dev/null");
  return *context;
}

bool hasVertexPositions(const std::vector<RtToken> &tokens) {
  for (RtToken token : tokens) {
    const ParamDecl *decl = lookupParam(token);
    if (decl && decl->paramClass == kClassVertex &&
        (std::strcmp(decl->name, "P") == 0 || std::strcmp(decl->name, "Pw") == 0 ||
         std::strcmp(decl->name, "Pz") == 0))
      return true;
  }
  return false;
}

void checkReadsBack(const std::string &written, bool wellFormed) {
  const bool quiet = RiLastError == 0;
  ReadBack back(readBackContext());
  RibReader(back).readMemory(written.data(), written.size());
  back.dispatch.endInput();
  const std::string &found = !back.syntax.empty() ? back.syntax : back.problems;
  if (found.empty() || (back.syntax.empty() && !(wellFormed && quiet))) return;
  // What was written, its bytes above 126 and below 32 as escapes, for the log.
  std::string shown;
  for (size_t i = 0; i < written.size() && i < 400; ++i) {
    const unsigned char c = static_cast<unsigned char>(written[i]);
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
    shown += (c >= 32 && c < 127) || c == '\n' ? std::string(1, static_cast<char>(c)) : escaped;
  }
  std::fprintf(stderr, "%s\nwritten: %s\n", found.c_str(), shown.c_str());
  fail(back.syntax.empty() ? "a well-formed request reads back with a problem"
                           : "what the library wrote does not read back");
}

rib::RibWriter &freshContext(bool binary) {
  static rib::RibWriter *rib = [] {
    readBackContext();
    std::string path = scratchPath();
    auto *writer = new rib::RibWriter(path.c_str());
    gReadBack = open(path.c_str(), O_RDONLY);
    if (gReadBack < 0) fail("cannot read the scratch file back");
    std::remove(path.c_str()); // the open descriptors keep the file; nothing is left behind
    return writer;
  }();
  FILE *stream = rib->encoder.stream();
  std::fflush(stream);
  if (ftruncate(fileno(stream), 0) != 0) fail("cannot empty the scratch file");
  std::rewind(stream);
  rib->encoder.binary = binary;
  RiLastError = 0;
  return *rib;
}

std::string written(rib::RibWriter &rib) {
  std::fflush(rib.encoder.stream());
  std::string text;
  char buffer[65536];
  off_t at = 0;
  for (;;) {
    ssize_t got = pread(gReadBack, buffer, sizeof buffer, at);
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
    at += got;
  }
  return text;
}

void fail(const char *what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

namespace {

// How C's printf writes a float that is not finite; no RIB reader takes any of them as a number.
bool isNonFiniteWord(const std::string &word) {
  std::string lower;
  for (char c : word) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!lower.empty() && (lower[0] == '-' || lower[0] == '+')) lower.erase(0, 1);
  return lower == "nan" || lower == "inf" || lower == "infinity";
}

bool endsWord(char c) {
  return std::isspace(static_cast<unsigned char>(c)) || c == '[' || c == ']' || c == '"' ||
         c == '#';
}

} // namespace

void checkAsciiRib(const std::string &rib) {
  bool inQuote = false;
  for (size_t i = 0; i < rib.size(); ++i) {
    char c = rib[i];
    if (inQuote) {
      if (c == '\\') {
        if (++i == rib.size()) fail("a quoted text ends in a lone backslash");
      } else if (c == '\n') {
        fail("a raw newline inside a quoted text");
      } else if (c == '"') {
        inQuote = false;
      }
    } else if (c == '"') {
      inQuote = true;
    } else if (c == '#') {
      const size_t end = rib.find('\n', i);
      if (end == std::string::npos) fail("a comment without its newline");
      // A reader ends the comment at a carriage return: what follows would be requests.
      if (rib.find('\r', i) < end) fail("a carriage return inside a comment");
      i = end;
    } else if (!endsWord(c)) {
      size_t end = i;
      while (end < rib.size() && !endsWord(rib[end])) ++end;
      if (isNonFiniteWord(rib.substr(i, end - i)))
        fail("a number that is not finite in a RIB line");
      i = end - 1;
    }
  }
  if (inQuote) fail("a quoted text is never closed");
  if (!rib.empty() && rib.back() != '\n') fail("the output does not end with a newline");
}

std::vector<std::string> quotedTexts(const std::string &line) {
  std::vector<std::string> texts;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '"') continue;
    std::string text;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        ++i;
        // The writer's escapes: the named control bytes, three octal digits, or the byte itself.
        static const std::string named = "n\nr\rt\tb\bf\f";
        const size_t at = named.find(line[i]);
        if (at != std::string::npos && at % 2 == 0) {
          text += named[at + 1];
        } else if (line[i] >= '0' && line[i] <= '7' && i + 2 < line.size()) {
          text += static_cast<char>((line[i] - '0') * 64 + (line[i + 1] - '0') * 8 +
                                    (line[i + 2] - '0'));
          i += 2;
        } else {
          text += line[i];
        }
      } else {
        text += line[i];
      }
    }
    texts.push_back(text);
  }
  return texts;
}

char *TextStore::keep(const std::string &text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  texts_.push_back(std::move(copy));
  return texts_.back().get();
}

char *TextStore::take(FuzzedDataProvider &data, size_t maxLength) {
  std::string text = data.ConsumeRandomLengthString(maxLength);
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return keep(text);
}

RtFloat takeFloat(FuzzedDataProvider &data) {
  switch (data.ConsumeIntegral<uint8_t>()) {
  case 0: return std::numeric_limits<RtFloat>::quiet_NaN();
  case 1: return std::numeric_limits<RtFloat>::infinity();
  case 2: return -std::numeric_limits<RtFloat>::infinity();
  default: return data.ConsumeFloatingPoint<RtFloat>();
  }
}

void fillFloats(FuzzedDataProvider &data, ExactArray<RtFloat> &values) {
  for (size_t i = 0; i < values.size(); ++i) values[i] = takeFloat(data);
}

void fillInts(FuzzedDataProvider &data, ExactArray<RtInt> &values, RtInt min, RtInt max) {
  for (size_t i = 0; i < values.size(); ++i) values[i] = data.ConsumeIntegralInRange(min, max);
}

ParamValues valuesFor(FuzzedDataProvider &data, TextStore &texts, const char *token,
                      long long elements) {
  ParamValues values;
  const ParamDecl *decl = token ? lookupParam(token) : nullptr;
  if (!decl) return values;
  const ParamTypeInfo &type = paramTypeInfo(decl->type);
  long long count = elements * decl->arraySize * type.components;
  if (count < 0) count = 0;
  const size_t width = type.kind == ValueKind::String ? sizeof(char *) : 4;
  if (count * static_cast<long long>(width) > kMaxValueBytes) {
    values.tooLarge = true;
    return values;
  }
  values.block.reset(new char[static_cast<size_t>(count) * width]);
  for (long long i = 0; i < count; ++i) {
    char *at = values.block.get() + i * static_cast<long long>(width);
    if (type.kind == ValueKind::String) {
      char *text = texts.take(data, 40);
      std::memcpy(at, &text, sizeof text);
    } else if (type.kind == ValueKind::Integer) {
      RtInt v = data.ConsumeIntegral<RtInt>();
      std::memcpy(at, &v, sizeof v);
    } else {
      RtFloat v = takeFloat(data);
      std::memcpy(at, &v, sizeof v);
    }
  }
  return values;
}

} // namespace fuzzrib
