// The frames of a run: which RIB file becomes which picture, and the shell command that renders
// it. A command writes a hidden picture beside the real one (".NAME.TOKEN.png", TOKEN being the
// run's own), which takes the real name only when the command succeeded: a reader of DIR never
// sees half a picture, and two runs into one folder never write the same file.
#pragma once

#include <string>
#include <vector>

namespace farm {

struct Frame {
  std::string input;   // the RIB file, as given
  std::string picture; // DIR/NAME.png
  std::string hidden;  // DIR/.NAME.TOKEN.png, what the command writes
};

// FILE's base name without ".rib" or ".rib.gz" ("frames/wobble.0001.rib.gz" -> "wobble.0001").
std::string frameName(const std::string &file);

// `text` as one word of the shell, in single quotes ("it's" -> 'it'\''s').
std::string shellQuote(const std::string &text);

// `command` with every {in} and {out} replaced by the shell-quoted paths.
std::string fillCommand(const std::string &command, const std::string &in, const std::string &out);

// Why `files` cannot become pictures in `outDir` (a file that cannot be read, two files with one
// picture name), or empty.
std::string framesProblem(const std::vector<std::string> &files, const std::string &outDir);

// Why the video cannot be written as `video` (its folder missing or not writable), or empty.
std::string videoProblem(const std::string &video);

// The frames of `files`, in order, their hidden pictures named with `token`.
std::vector<Frame> planFrames(const std::vector<std::string> &files, const std::string &outDir,
                              const std::string &token);

} // namespace farm
