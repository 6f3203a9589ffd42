// readRib and RibReadSession: an input read through the reader, its requests dispatched to the
// context, and every problem reported as "FILE:LINE: message" through the library's diagnostics.
//
// What the library itself reports while a request is made on the context (the writer's
// "zizurezar error: ..." lines, an error handler's report) is held back by a sink of the
// session's own and reported after the request, one problem per line, at the request's line; a
// "zizurezar note: ..." line becomes a note of that line instead.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "Diagnostics.h"
#include "RibDispatch.h"
#include "RibReader.h"
#include "RibWriter.h"
#include "rib/RibRead.h"

namespace rib {
namespace {

constexpr std::string_view kLibraryPrefix = "zizurezar error: ";
constexpr std::string_view kNotePrefix = "zizurezar note: ";
// What the library says about one request is kept up to this size; the rest is dropped.
constexpr size_t kHeldReportBytes = size_t(1) << 16;

// The basis steps that the context's writer is at, when the context writes RIB (through any
// number of forwarding contexts): its patch meshes are counted with them.
bool writerSteps(RiContext &context, int &uStep, int &vStep) {
  RiContext *at = &context;
  for (int depth = 0; at && depth < 64; ++depth) {
    if (const rib::RibWriter *writer = dynamic_cast<const rib::RibWriter *>(at)) {
      uStep = writer->uStep;
      vStep = writer->vStep;
      return true;
    }
    const ForwardingContext *forwarding = dynamic_cast<const ForwardingContext *>(at);
    at = forwarding ? &forwarding->target() : nullptr;
  }
  return false;
}

} // namespace

class RibReadSession::Impl : public RibHandler, public RibProblemSink {
public:
  explicit Impl(RiContext &into) : context_(into), dispatch_(into, *this), reader_(*this) {}

  int readFile(FILE *file, const char *name);
  int readMemory(const void *data, size_t size, const char *name);
  int readPath(const char *path);

  void (*progress)(void *, uint64_t) = nullptr;
  void *progressUser = nullptr;

  // RibHandler
  void request(const RibRequest &request) override {
    dispatch_.request(request);
    reportHeld(request.where);
    if (progress) progress(progressUser, request.where.offset);
  }
  void structure(std::string_view text, RibPosition where) override {
    dispatch_.structure(text, where);
    reportHeld(where);
  }
  void error(std::string_view message, RibPosition where) override {
    dispatch_.error(message, where);
  }
  // An input that cannot be read to its end is unreadable, not a problem of its RIB: the caller
  // must not take what was read for the whole.
  void readFailed(int error, std::string_view message, RibPosition) override {
    inputFailure_ = error != 0 ? std::strerror(error) : std::string(message);
  }
  void note(std::string_view message, RibPosition where) override {
    dispatch_.note(message, where);
  }

  // RibProblemSink
  void problem(RibPosition where, std::string_view message) override;
  void note(RibPosition where, std::string_view message) override;

private:
  template <class Read> int read(const char *name, Read readInput);
  static void hold(void *user, DiagnosticKind kind, const char *text, size_t length);
  void report(DiagnosticKind kind, RibPosition where, const char *label, std::string_view message);
  void reportHeld(RibPosition where);
  void forward(DiagnosticKind kind, const std::string &text) {
    outer_.sink(outer_.user, kind, text.data(), text.size());
  }

  RiContext &context_;
  RibDispatch dispatch_;
  RibReader reader_;
  std::string name_;
  int problems_ = 0;
  std::string inputFailure_; // why the input could not be read to its end
  DiagnosticTarget outer_ = {};
  std::string held_;
  std::string line_;
};

void RibReadSession::Impl::hold(void *user, DiagnosticKind kind, const char *text, size_t length) {
  Impl &session = *static_cast<Impl *>(user);
  if (kind != DiagnosticKind::Library) {
    session.outer_.sink(session.outer_.user, kind, text, length);
    return;
  }
  const size_t room = kHeldReportBytes - std::min(session.held_.size(), kHeldReportBytes);
  session.held_.append(text, std::min(length, room));
}

void RibReadSession::Impl::reportHeld(RibPosition where) {
  if (held_.empty()) return;
  const std::string said = std::move(held_);
  held_.clear();
  for (size_t at = 0; at < said.size();) {
    size_t end = said.find('\n', at);
    if (end == std::string::npos) end = said.size();
    std::string_view line(said.data() + at, end - at);
    at = end + 1;
    if (line.compare(0, kNotePrefix.size(), kNotePrefix) == 0) {
      note(where, line.substr(kNotePrefix.size()));
      continue;
    }
    if (line.compare(0, kLibraryPrefix.size(), kLibraryPrefix) == 0)
      line.remove_prefix(kLibraryPrefix.size());
    if (!line.empty()) problem(where, line);
  }
}

void RibReadSession::Impl::problem(RibPosition where, std::string_view message) {
  ++problems_;
  report(DiagnosticKind::Problem, where, "", message);
}

void RibReadSession::Impl::note(RibPosition where, std::string_view message) {
  report(DiagnosticKind::Note, where, "note: ", message);
}

void RibReadSession::Impl::report(DiagnosticKind kind, RibPosition where, const char *label,
                                  std::string_view message) {
  line_ = name_ + ":" + std::to_string(where.line) + ": " + label;
  const size_t start = line_.size();
  line_.append(message.data(), message.size());
  // One problem, one line, whatever the input's texts hold.
  for (size_t i = start; i < line_.size(); ++i)
    if (line_[i] == '\n' || line_[i] == '\r') line_[i] = ' ';
  line_ += '\n';
  forward(kind, line_);
}

template <class Read> int RibReadSession::Impl::read(const char *name, Read readInput) {
  name_ = name ? name : "-";
  problems_ = 0;
  int uStep = 3, vStep = 3;
  if (writerSteps(context_, uStep, vStep)) dispatch_.setBasisSteps(uStep, vStep);
  struct SinkInstalled {
    DiagnosticTarget outer;
    ~SinkInstalled() { setDiagnosticSink(outer.sink, outer.user); }
  } installed{setDiagnosticSink(hold, this)};
  outer_ = installed.outer;
  dispatch_.beginInput();
  inputFailure_.clear();
  readInput();
  dispatch_.endInput();
  // Said outside any request (there is none today): passed on as it was said.
  if (!held_.empty()) forward(DiagnosticKind::Library, held_);
  held_.clear();
  if (!inputFailure_.empty()) {
    const std::string line = "cannot read '" + name_ + "': " + inputFailure_ + "\n";
    emitDiagnostic(DiagnosticKind::Unreadable, line.data(), line.size());
    return -1;
  }
  return problems_;
}

int RibReadSession::Impl::readFile(FILE *file, const char *name) {
  return read(name, [&] { reader_.readFile(file); });
}

int RibReadSession::Impl::readMemory(const void *data, size_t size, const char *name) {
  return read(name, [&] { reader_.readMemory(data, size); });
}

int RibReadSession::Impl::readPath(const char *path) {
  const bool standardInput = std::strcmp(path, "-") == 0;
  FILE *file = standardInput ? stdin : std::fopen(path, "rb");
  struct stat info;
  const char *why = nullptr;
  if (!file)
    why = std::strerror(errno);
  else if (fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode))
    why = "it is a folder";
  if (why) {
    if (file && !standardInput) std::fclose(file);
    const std::string line = std::string("cannot read '") + path + "': " + why + "\n";
    emitDiagnostic(DiagnosticKind::Unreadable, line.data(), line.size());
    return -1;
  }
  const int problems = readFile(file, path);
  if (!standardInput) std::fclose(file);
  return problems;
}

RibReadSession::RibReadSession(RiContext &into) : impl_(new Impl(into)) {}
RibReadSession::~RibReadSession() = default;

int RibReadSession::read(const char *path) { return impl_->readPath(path ? path : "-"); }
int RibReadSession::read(FILE *file, const char *name) { return impl_->readFile(file, name); }
int RibReadSession::read(const void *data, size_t size, const char *name) {
  return impl_->readMemory(data, size, name);
}

void RibReadSession::setProgress(void (*progress)(void *, uint64_t), void *user) {
  impl_->progress = progress;
  impl_->progressUser = user;
}

int readRib(const char *path, RiContext &into) { return RibReadSession(into).read(path); }
int readRib(FILE *file, const char *name, RiContext &into) {
  return RibReadSession(into).read(file, name);
}
int readRib(const void *data, size_t size, const char *name, RiContext &into) {
  return RibReadSession(into).read(data, size, name);
}

} // namespace rib
