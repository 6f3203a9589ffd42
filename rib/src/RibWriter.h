// RibWriter.h - the RiContext that writes RIB.
//
// One RibWriter writes one RIB stream: a file, standard output or a pipe into a command. Each
// request is written when it is called, in call order, through the writer's encoder
// (RibEncoder.h), which also holds the encoding (binary flag, precision); the writer keeps no
// graphics state beyond the basis steps and the handle numbers, and does not check block nesting.
//
// A request travels: C procedure (CProcedures.cpp) or C++ call -> the RibWriter operation, whose
// body either comes from its row of the request table (RequestBodies.cpp) or is written in the
// file of its family (BlockRequests.cpp, OptionRequests.cpp, ShaderRequests.cpp,
// GeometryRequests.cpp, PatchRequests.cpp, Declarations.cpp, Archive.cpp, ErrorHandlers.cpp) ->
// the encoder -> the stream.
#pragma once

#include <cstdint>

#include "RibEncoder.h"
#include "rib/RiContext.h"

namespace rib {

/// An option pair for constructing a RibWriter: token text and a pointer to its value.
struct RibOption {
  const char *token;
  const void *value;
};

class RibWriter : public RiContext {
public:
  RtErrorHandler errorHandler;
  const char *name; // target name, interned; for "|cmd" the command without the bar
  int32_t isPipe;
  int32_t uStep; // steps of the current basis (Basis), read by patch meshes and curves
  int32_t vStep;
  int32_t compression; // 1: the output is gzip-compressed
  int32_t nextLightHandle;
  int32_t nextObjectHandle;
  RibEncoder encoder; // the stream, the binary flag, the precision and the request buffer

  /// Opens the target (null: standard output; "rendrib", "rgl", "prman" or "|cmd": a pipe;
  /// otherwise a file), applies the options ("format", "binary", "compact", "compression",
  /// "gzip", "compressionlevel", "precision"; at most 512, up to a null token), writes the header
  /// and predeclares the standard parameters (the first context only: a new context never changes a
  /// declaration). An unwritable target ends the process (status 1). Without memory it throws
  /// std::bad_alloc before anything is opened (RiBegin and RiNewContext report that).
  explicit RibWriter(const char *target, const RibOption *options = nullptr);
  /// The same into a stream the caller opened (once: a FIFO's reader sees one writer), named
  /// `streamName` in reports; it is closed at the end unless it is standard output.
  RibWriter(FILE *stream, const char *streamName, const RibOption *options = nullptr);
  /// Ends the output: a final newline, then the file or pipe is closed (the pipe's command is
  /// waited for); standard output stays open, flushed. A failure, or a command's status other
  /// than 0, is reported in one line.
  ~RibWriter() override;
  /// Ends the output now, as destruction does; later requests write nothing.
  void endOutput();

  RibWriter(const RibWriter &) = delete;
  RibWriter &operator=(const RibWriter &) = delete;

  // The requests, one override per operation of RiContext.
#include "rib/RiContextOverrides.def"

private:
  void applyOptions(const RibOption *options);
  /// Writes the header into `stream` (null: nowhere).
  void start(FILE *stream);
};

} // namespace rib
