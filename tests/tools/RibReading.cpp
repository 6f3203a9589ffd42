#include "RibReading.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

std::vector<RibRequest> readRibRequests(const std::string &rib) {
  std::vector<RibRequest> requests;
  std::size_t at = 0;
  auto readText = [&]() {
    std::string text;
    for (++at; at < rib.size() && rib[at] != '"'; ++at) {
      if (rib[at] == '\\' && at + 1 < rib.size()) ++at;
      text += rib[at];
    }
    ++at;
    return text;
  };
  // A value before the first request would have no request to belong to.
  auto addValue = [&](RibValue value) {
    if (requests.empty()) requests.push_back({"(value before any request)", {}});
    requests.back().values.push_back(value);
  };
  while (at < rib.size()) {
    const char c = rib[at];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++at;
    } else if (c == '#') {
      // As RIB readers do, a comment ends at a carriage return as well as at a newline.
      while (at < rib.size() && rib[at] != '\n' && rib[at] != '\r') ++at;
    } else if (c == '"') {
      addValue({RibValue::Text, readText(), {}});
    } else if (c == '[') {
      RibValue array{RibValue::Array, "", {}};
      for (++at; at < rib.size() && rib[at] != ']';) {
        if (std::isspace(static_cast<unsigned char>(rib[at]))) {
          ++at;
        } else if (rib[at] == '"') {
          array.items.push_back(readText());
        } else {
          const std::size_t end = std::min(rib.find_first_of(" \n]", at), rib.size());
          array.items.push_back(rib.substr(at, end - at));
          at = end;
        }
      }
      ++at;
      addValue(array);
    } else {
      const std::size_t end = std::min(rib.find_first_of(" \n[\"", at), rib.size());
      const std::string word = rib.substr(at, end - at);
      at = end;
      if (std::isalpha(static_cast<unsigned char>(word[0])))
        requests.push_back({word, {}});
      else
        addValue({RibValue::Word, word, {}});
    }
  }
  return requests;
}

std::size_t parameterStart(const RibRequest &request) {
  std::size_t start = request.values.size();
  while (start >= 2 && request.values[start - 1].kind == RibValue::Array &&
         request.values[start - 2].kind == RibValue::Text)
    start -= 2;
  return start;
}

std::vector<double> ribNumbers(const RibValue &value) {
  std::vector<double> numbers;
  if (value.kind == RibValue::Word) numbers.push_back(std::strtod(value.text.c_str(), nullptr));
  for (const std::string &item : value.items) numbers.push_back(std::strtod(item.c_str(), nullptr));
  return numbers;
}

std::vector<double> parameterNumbers(const RibRequest &request, const std::string &token) {
  for (std::size_t i = parameterStart(request); i + 1 < request.values.size(); i += 2)
    if (request.values[i].text == token) return ribNumbers(request.values[i + 1]);
  return {};
}
