#include "XvfbServer.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>

namespace {

constexpr std::chrono::milliseconds kStartTimeout(15000);

} // namespace

bool XvfbServer::available() { return !findInPath("Xvfb").empty(); }

bool XvfbServer::start(std::string &error) {
  int ready[2];
  if (pipe(ready) != 0) {
    error = "pipe failed";
    return false;
  }
  // -displayfd: the server chooses a free display and writes its number once it accepts
  // clients, so there is neither a race for display numbers nor a guessed start-up delay.
  ChildProcess::Options options;
  options.argv = {findInPath("Xvfb"), "-displayfd", std::to_string(ready[1]),
                  "-screen",          "0",          "640x480x24",
                  "-nolisten",        "tcp",        "-noreset"};
  const bool started = process_.start(options, error);
  close(ready[1]);
  if (!started) {
    close(ready[0]);
    return false;
  }

  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (number.empty() || number.back() != '\n') {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd pending = {ready[0], POLLIN, 0};
    if (left.count() <= 0 || poll(&pending, 1, static_cast<int>(left.count())) <= 0) {
      error = "Xvfb did not report a display in time";
      break;
    }
    char buffer[32];
    const ssize_t got = read(ready[0], buffer, sizeof buffer);
    if (got <= 0) {
      error = "Xvfb ended without reporting a display";
      break;
    }
    number.append(buffer, static_cast<std::size_t>(got));
  }
  close(ready[0]);
  if (number.empty() || number.back() != '\n') {
    process_.kill();
    return false;
  }
  number.pop_back();
  display_ = ":" + number;
  return true;
}
