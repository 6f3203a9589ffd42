// ReadSource.h - what rib.read reads, as a FILE that the library's reader takes a chunk at a
// time: a path (str, bytes or path-like) opened for reading, or a binary file object, whose read()
// is called for each chunk while the requests are taken, never for the whole input at once.
//
//     ReadSource source(object);          // OSError now if the path cannot be read
//     reader.startFile(source.file());
//     ...                                 // a read that failed: throw source.failure(errno)
#pragma once

#include <pybind11/pybind11.h>

#include <cstdio>
#include <memory>
#include <string>

namespace ribpy {

class ReadSource {
public:
  /// OSError when a path cannot be opened, holds a NUL byte or names a folder; TypeError when a
  /// file object's read() does not give bytes.
  explicit ReadSource(const pybind11::object &source);
  /// Closes the FILE; a file object stays open.
  ~ReadSource();
  ReadSource(const ReadSource &) = delete;
  ReadSource &operator=(const ReadSource &) = delete;

  FILE *file() const { return file_; }
  /// The input's name in problem lines: the path's bytes, or the file object's name.
  const std::string &name() const { return name_; }
  /// Why reading failed with `error` (errno): what the file object's read() raised, or OSError
  /// naming the input.
  pybind11::error_already_set failure(int error) const;

  struct Stream;

private:
  void openPath(const pybind11::object &source);
  void openStream(const pybind11::object &source);

  FILE *file_ = nullptr;
  std::string name_;
  pybind11::object filename_; // for OSError
  std::unique_ptr<Stream> stream_;
};

} // namespace ribpy
