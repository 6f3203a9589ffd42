// Test helper: a private virtual X server (Xvfb) on a display number it picks itself, stopped
// when the object goes away (or the test process dies). Mesa renders OpenGL into it in software.
#pragma once

#include <string>

#include "ChildProcess.h"

class XvfbServer {
public:
  // True when an Xvfb program is installed; window tests skip otherwise.
  static bool available();

  // Starts the server and waits (bounded) until it accepts clients.
  bool start(std::string &error);
  // The display name, e.g. ":3".
  const std::string &display() const { return display_; }

private:
  ChildProcess process_;
  std::string display_;
};
