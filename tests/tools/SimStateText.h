// Test helper: the simulator's CSV text for a world, produced independently of the tool with
// printf, and the tool's output split into lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "sim/World.h"

// The CSV lines of one printed state, formatted with printf's "%.17g".
inline std::string stateText(const World &world, std::uint64_t step) {
  std::string text;
  char line[512];
  for (int i = 0; i < world.nodesX; ++i)
    for (int j = 0; j < world.nodesY; ++j)
      for (int k = 0; k < world.nodesZ; ++k) {
        const MassPoint &p = *world.nodes[i][j][k];
        std::snprintf(line, sizeof line, "%llu,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n",
                      static_cast<unsigned long long>(step), i, j, k, p.position.x, p.position.y,
                      p.position.z, p.velocity.x, p.velocity.y, p.velocity.z);
        text += line;
      }
  return text;
}

inline std::vector<std::string> splitLines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

constexpr const char *kBodyProgress = "blorp: initialing members...\n"
                                      "blorp: initialize nodes array with actual nodes...\n"
                                      "initializing springs...\n"
                                      "initializing faces...\n"
                                      "blorp has been created\n";
