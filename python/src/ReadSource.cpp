// A path opened as a FILE, or a file object read through a FILE of its own (glibc's fopencookie),
// so that the reader streams either the same way and a failed read ends it the same way.
#include "ReadSource.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace py = pybind11;

namespace ribpy {
namespace {
constexpr size_t kChunkBytes = 64 * 1024; // what the reader takes per read
} // namespace

/// The file object's side of the FILE: its read method, what it raised, and the FILE's buffer.
struct ReadSource::Stream {
  py::object read;
  std::shared_ptr<py::error_already_set> raised;
  std::unique_ptr<char[]> buffer{new char[kChunkBytes]};
};

namespace {

// bytes, or TypeError: a file object opened in text mode gives str.
void needBytes(const py::object &data) {
  if (!PyBytes_Check(data.ptr()))
    throw py::type_error("read: the file object must be binary (its read() gave " +
                         std::string(Py_TYPE(data.ptr())->tp_name) + ")");
}

// Called by stdio with the GIL held (rib.read's iterator reads with it): up to `size` bytes of
// the file object. What it raises is kept for the iterator, and stdio sees a failed read.
ssize_t readStream(void *cookie, char *into, size_t size) {
  ReadSource::Stream &stream = *static_cast<ReadSource::Stream *>(cookie);
  try {
    py::object data = stream.read(py::int_(size));
    needBytes(data);
    const size_t got = static_cast<size_t>(PyBytes_GET_SIZE(data.ptr()));
    if (got > size) throw py::value_error("read: the file object gave more bytes than asked for");
    std::memcpy(into, PyBytes_AS_STRING(data.ptr()), got);
    return static_cast<ssize_t>(got);
  } catch (py::error_already_set &error) {
    stream.raised = std::make_shared<py::error_already_set>(std::move(error));
  } catch (const py::builtin_exception &error) {
    error.set_error();
    stream.raised = std::make_shared<py::error_already_set>();
  } catch (const std::bad_alloc &) {
    PyErr_NoMemory();
    stream.raised = std::make_shared<py::error_already_set>();
  }
  errno = EIO;
  return -1;
}

[[noreturn]] void raiseErrno(int error, PyObject *filename) {
  errno = error;
  PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, filename);
  throw py::error_already_set();
}

} // namespace

ReadSource::ReadSource(const py::object &source) {
  if (py::hasattr(source, "read"))
    openStream(source);
  else
    openPath(source);
}

ReadSource::~ReadSource() {
  if (file_) std::fclose(file_);
}

void ReadSource::openPath(const py::object &source) {
  py::module_ os = py::module_::import("os");
  name_ = std::string(py::bytes(os.attr("fsencode")(os.attr("fspath")(source))));
  filename_ = source;
  // The C library would end the name at the NUL and open another file.
  if (name_.find('\0') != std::string::npos) raiseErrno(EINVAL, source.ptr());
  file_ = std::fopen(name_.c_str(), "rb");
  if (!file_) raiseErrno(errno, source.ptr());
  struct stat info;
  if (fstat(fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file_);
    file_ = nullptr;
    raiseErrno(EISDIR, source.ptr());
  }
}

void ReadSource::openStream(const py::object &source) {
  stream_.reset(new Stream);
  stream_->read = source.attr("read");
  needBytes(stream_->read(0)); // refused now rather than at the first request
  filename_ = py::getattr(source, "name", py::str("<stream>"));
  // A file's name as the file system has it; anything else (a descriptor's number) as str gives it.
  py::object name = filename_;
  if (!PyUnicode_Check(name.ptr()) && !PyBytes_Check(name.ptr())) name = py::str(name);
  name_ = std::string(py::bytes(py::module_::import("os").attr("fsencode")(name)));
  cookie_io_functions_t functions = {readStream, nullptr, nullptr, nullptr};
  file_ = fopencookie(stream_.get(), "rb", functions);
  if (!file_) raiseErrno(errno, filename_.ptr());
  // One read() per chunk the reader takes (glibc sizes a buffer of its own at 8 KB).
  std::setvbuf(file_, stream_->buffer.get(), _IOFBF, kChunkBytes);
}

py::error_already_set ReadSource::failure(int error) const {
  if (stream_ && stream_->raised) return *stream_->raised;
  errno = error;
  PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, filename_.ptr());
  return py::error_already_set();
}

} // namespace ribpy
