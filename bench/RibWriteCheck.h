// RibWriteCheck.h - the check every rib_write case makes before it is timed: the library and the
// fprintf baseline must write the same words (keywords and numbers) in the same order; they may
// differ only in blanks and brackets.
#pragma once

#include <benchmark/benchmark.h>
#include <cstdint>

#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "RibWriter.h"

namespace ribbench {

/// A scratch file of this run for `what`.
inline std::string outputPath(const char *what) {
  return "/tmp/rib_write_" + std::string(what) + "_" + std::to_string(getpid()) + ".rib";
}

inline std::string fileText(const std::string &path) {
  std::string text;
  if (FILE *file = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
  }
  return text;
}

/// The words of a RIB text from `marker` on, brackets and blanks taken as separators; none when
/// the marker is missing.
inline std::vector<std::string> wordsAfter(const std::string &text, const char *marker) {
  std::vector<std::string> words;
  size_t at = text.find(marker);
  if (at == std::string::npos) return words;
  std::string current;
  for (size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ' || c == '[' || c == ']' || c == '\n') {
      if (!current.empty()) words.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  return words;
}

/// The construction options of a writer whose ASCII floats have `digits` significant digits.
class PrecisionOptions {
public:
  explicit PrecisionOptions(int32_t digits)
      : digits_(digits), options_{{"precision", &digits_}, {nullptr, nullptr}} {}
  PrecisionOptions(const PrecisionOptions &) = delete;
  PrecisionOptions &operator=(const PrecisionOptions &) = delete;
  const rib::RibOption *options() const { return options_; }

private:
  int32_t digits_;
  rib::RibOption options_[2];
};

/// The fprintf conversion of one number and its blank at 6 or 9 significant digits.
constexpr const char *fprintfFloat(int digits) { return digits == 9 ? "%.9g " : "%g "; }

/// Writes a case both ways into scratch files and returns the library's words from `marker` on,
/// or nothing when the baseline's words differ. The library writes its floats with `digits`.
inline std::vector<std::string> sameWordsBothWays(void (*library)(rib::RibWriter &),
                                                  void (*baseline)(FILE *), const char *marker,
                                                  int digits = 6) {
  const std::string libraryPath = outputPath("check_library");
  const std::string baselinePath = outputPath("check_fprintf");
  {
    const PrecisionOptions precision(digits);
    rib::RibWriter rib(libraryPath.c_str(), precision.options());
    library(rib);
  }
  if (FILE *file = std::fopen(baselinePath.c_str(), "wb")) {
    baseline(file);
    std::fclose(file);
  }
  std::vector<std::string> written = wordsAfter(fileText(libraryPath), marker);
  const std::vector<std::string> expected = wordsAfter(fileText(baselinePath), marker);
  std::remove(libraryPath.c_str());
  std::remove(baselinePath.c_str());
  if (written != expected) written.clear();
  return written;
}

/// Times `write` on a context (made with `options`) that rewrites one scratch file from its start
/// in every iteration, so that each case measures its writing, not a growing file.
template <class Write>
void timeLibrary(benchmark::State &state, const char *what, const rib::RibOption *options,
                 Write write) {
  const std::string path = outputPath(what);
  rib::RibWriter rib(path.c_str(), options);
  for (auto _ : state) {
    std::rewind(rib.encoder.stream());
    write(rib);
    std::fflush(rib.encoder.stream());
  }
  std::remove(path.c_str());
}

/// The same for a baseline that writes to a plain FILE.
template <class Write> void timeFile(benchmark::State &state, const char *what, Write write) {
  const std::string path = outputPath(what);
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file) {
    state.SkipWithError("cannot open the output file");
    return;
  }
  for (auto _ : state) {
    std::rewind(file);
    write(file);
    std::fflush(file);
  }
  std::fclose(file);
  std::remove(path.c_str());
}

} // namespace ribbench
