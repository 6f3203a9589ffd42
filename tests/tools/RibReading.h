// Test helper: a small reader of the ASCII RIB that the recording writes. It splits the text into
// requests made of words, quoted texts and [arrays]; it knows no request and checks no syntax.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct RibValue {
  enum Kind { Word, Text, Array } kind;
  std::string text;               // Word, Text
  std::vector<std::string> items; // Array: numbers or texts as written
};

struct RibRequest {
  std::string keyword;
  std::vector<RibValue> values;
};

// The requests of `rib`, in order; comments and header lines starting with '#' are skipped up to
// the next newline or carriage return.
std::vector<RibRequest> readRibRequests(const std::string &rib);

// Index of the first value of the request's parameter list: the run of "token" [values] pairs
// that ends it.
std::size_t parameterStart(const RibRequest &request);

// The numbers of a word or an array value.
std::vector<double> ribNumbers(const RibValue &value);

// The numbers of the array that follows the parameter `token`; empty when the request has none.
std::vector<double> parameterNumbers(const RibRequest &request, const std::string &token);
