// CatOutput.h - where rib-cat writes: standard output, or the file OUT given with -o.
//
// OUT is never destroyed by a run that fails. A new file or a regular one is written as a
// temporary file beside it and renamed over it at the end, so that a read error, a full disk or an
// interruption midway leaves OUT as it was. Anything else (a FIFO, a device, /dev/stdout, a
// symbolic link) is written in place, opened once: a FIFO's reader sees one writer and one end.
//
//     CatOutput out;
//     if (std::string why = out.open("scene.rib"); !why.empty()) ...   // "cannot create ..."
//     ... write to out.stream(), close it ...
//     out.commit();                                                    // or out.discard()
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace ribtools {

class CatOutput {
public:
  CatOutput() = default;
  /// Removes the temporary file unless commit() put it in place.
  ~CatOutput();
  CatOutput(const CatOutput &) = delete;
  CatOutput &operator=(const CatOutput &) = delete;

  /// Opens OUT (empty: standard output). Returns "" or the line saying why it cannot be made.
  std::string open(const std::string &path);
  /// The stream to write; the writer that takes it closes it.
  FILE *stream() const { return stream_; }
  /// Puts the temporary file in place of OUT. Returns "" or the reason it could not.
  std::string commit();
  /// Removes the temporary file: OUT stays as it was.
  void discard();

private:
  std::string path_;
  std::string temporary_; // empty when OUT is written in place
  FILE *stream_ = nullptr;
};

/// The input that is the same regular file as the output (OUT, or standard output when `output`
/// is empty; "-" for an input is standard input), or null when none is: writing there would
/// destroy the input, or read its own output without end.
const std::string *inputThatIsOutput(const std::string &output,
                                     const std::vector<std::string> &inputs);

} // namespace ribtools
