// What a RIB reader reported, one line per event, for comparing whole reads:
//     R 3:42 Translate | i:0 f:0.5 I[1 2] F[0.25] S["a"]
//     C 1 RenderMan RIB-Structure 1.0
//     E 7:120 unterminated string
// Floats are written with 9 significant digits, which tell every float apart.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "RibReader.h"

namespace ribtest {

class ReadLog : public rib::RibHandler {
public:
  void request(const rib::RibRequest &request) override {
    std::string line = "R " + at(request.where) + " " + std::string(request.name) + " |";
    for (const rib::RibArg &arg : request) line += " " + argText(arg);
    lines.push_back(line);
  }
  void structure(std::string_view text, rib::RibPosition where) override {
    lines.push_back("C " + std::to_string(where.line) + " " + std::string(text));
  }
  void error(std::string_view message, rib::RibPosition where) override {
    lines.push_back("E " + at(where) + " " + std::string(message));
  }

  /// The lines of one kind ('R', 'C' or 'E').
  std::vector<std::string> only(char kind) const {
    std::vector<std::string> kept;
    for (const std::string &line : lines)
      if (line[0] == kind) kept.push_back(line);
    return kept;
  }

  std::vector<std::string> lines;

  static std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
  }

  /// One argument: numbers by their float view, so that an ASCII integer array and the same
  /// values in a binary float array read alike; the type letter tells them apart.
  static std::string argText(const rib::RibArg &arg) {
    static const char *const kTypes[] = {"i:", "f:", "s:", "I[", "F[", "S["};
    std::string text = kTypes[static_cast<int>(arg.type)];
    for (size_t i = 0; i < arg.count; ++i) {
      if (i > 0) text += ' ';
      text += arg.isText() ? "\"" + std::string(arg.strings[i]) + "\"" : number(arg.floats[i]);
    }
    return arg.isArray() ? text + "]" : text;
  }

private:
  static std::string at(rib::RibPosition where) {
    return std::to_string(where.line) + ":" + std::to_string(where.offset);
  }
};

} // namespace ribtest
