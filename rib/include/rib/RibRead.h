// RibRead.h - reading RIB: every request of a RIB file made on a RenderMan context.
//
// readRib reads ASCII, binary or compact RIB (mixed freely in one file, plain or gzip-compressed)
// and makes each request on the context it is given, once the request's arguments have been
// checked: the number and types of its fixed arguments, that every parameter is declared, and that
// every array holds exactly the values the context will read. A context made by RiBegin writes the requests again; a
// ForwardingContext subclass changes some of them on the way, which makes a RIB filter:
//
//     struct Matte : rib::ForwardingContext {             // every surface becomes "matte"
//       using ForwardingContext::ForwardingContext;
//       RtVoid SurfaceV(RtToken, RtInt, RtToken[], RtPointer[]) override {
//         static char matte[] = "matte";
//         ForwardingContext::SurfaceV(matte, 0, nullptr, nullptr);
//       }
//     };
//     RiContext *out = static_cast<RiContext *>(RiBegin(RI_NULL));
//     Matte filter(*out);
//     int problems = rib::readRib("scene.rib", filter);
//     delete out;
//
// A request with a problem is left out whole and the rest is read on; each problem is reported
// as one line "FILE:LINE: message" through the library's diagnostics (standard error), and so is
// what the context reports about a request it was given. The values a context gets live only
// during its call, and hold exactly what the library's writer reads for them: should a filter
// change on the way what the writer reads (a Basis, a Declare of its own), the writer leaves the
// request out with one line rather than read past them. One input is read by one thread at a
// time; readings on other threads, into contexts of their own, are independent.
//
// Declarations: each input declares for itself, from the standard declarations on (its Declare
// requests, and a parameter it uses undeclared, taken as what its values are and handed on with
// that declaration in front of its name: "constant float[2] Km"). When the context writes RIB
// through the library's writer, each name that writer holds declared otherwise is declared anew
// before the input, so that the stream reads as one; an input read from within another (a
// filter's ReadArchiveV calling readRib) declares back the outer input's names when it ends.
//
// Exceptions: an exception thrown by the context (a filter's own) ends the read and reaches the
// caller unchanged. The reading is left as before the call: no block stays open, the input's
// declarations are gone, and each name it declared on the writer is declared back as the writer
// held it before (in the stream too). The requests made before the exception stay made, and the
// basis is as the context was last given it. The same session, or a new reading, reads the next
// input as if the failed one had ended there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "rib/RiContext.h"

#if defined(__GNUC__)
#pragma GCC visibility push(default)
#endif

namespace rib {

/// Reads the RIB file at `path` ("-": standard input) into `into`. Returns the number of
/// problems found (0: the whole file was made on the context), or -1 when the file cannot be read
/// (one line says why), also when a read fails midway (what was read before has been made).
int readRib(const char *path, RiContext &into);
/// Reads `file` from where it stands to its end, without closing it; `name` names it in the
/// problem lines.
int readRib(FILE *file, const char *name, RiContext &into);
/// Reads `size` bytes of RIB at `data`.
int readRib(const void *data, size_t size, const char *name, RiContext &into);

/// Several inputs read into one context one after the other, as one stream: what the context
/// was given stays (basis, lights and objects by the numbers the inputs gave them), while each
/// input's own declarations end with it.
class RibReadSession {
public:
  explicit RibReadSession(RiContext &into);
  ~RibReadSession();
  RibReadSession(const RibReadSession &) = delete;
  RibReadSession &operator=(const RibReadSession &) = delete;

  /// As the readRib forms of the same arguments.
  int read(const char *path);
  int read(FILE *file, const char *name);
  int read(const void *data, size_t size, const char *name);

  /// Calls `progress` after every request with the input's offset reached, for a progress display
  /// (null: none).
  void setProgress(void (*progress)(void *user, uint64_t offset), void *user);

  class Impl;

private:
  std::unique_ptr<Impl> impl_;
};

/// A context that makes every operation on a target context. A filter derives from it, overrides
/// the operations it changes and calls ForwardingContext's for the rest. The list-gathering forms
/// (Sphere(..., RI_NULL)) call the writing forms (SphereV) of this object, so overriding the
/// writing form catches both.
class ForwardingContext : public RiContext {
public:
  explicit ForwardingContext(RiContext &target) : target_(&target) {}
  /// Leaves the target as it is (it is not destroyed).
  ~ForwardingContext() override;
  // Not copied. A copy constructor would also win over the target's in a subclass that forwards
  // to itself, ForwardingContext(*this), and copy a target not set yet; that line does not compile
  // now: ForwardingContext(static_cast<RiContext &>(*this)) says what is meant.
  ForwardingContext(const ForwardingContext &) = delete;
  ForwardingContext &operator=(const ForwardingContext &) = delete;

  RiContext &target() const { return *target_; }

#include "rib/RiContextOverrides.def"

private:
  RiContext *target_;
};

} // namespace rib

#if defined(__GNUC__)
#pragma GCC visibility pop
#endif
