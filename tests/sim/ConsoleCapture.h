// Collects what the code under test writes to std::cout / std::cerr, so
// tests can check the progress lines and keep the test log clean.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

class ConsoleCapture {
public:
  explicit ConsoleCapture(std::ostream &stream = std::cout)
      : stream_(stream), saved_(stream.rdbuf(captured_.rdbuf())) {}
  ~ConsoleCapture() { stream_.rdbuf(saved_); }
  ConsoleCapture(const ConsoleCapture &) = delete;
  ConsoleCapture &operator=(const ConsoleCapture &) = delete;

  std::string text() const { return captured_.str(); }

private:
  std::ostream &stream_;
  std::ostringstream captured_;
  std::streambuf *saved_;
};
