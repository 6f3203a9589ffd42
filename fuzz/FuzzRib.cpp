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

} // namespace

RibWriter &freshContext(bool binary) {
  static RibWriter *rib = [] {
    std::string path = scratchPath();
    auto *writer = new RibWriter(path.c_str());
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
  return *rib;
}

std::string written(RibWriter &rib) {
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
        text += line[i] == 'n' ? '\n' : line[i];
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
