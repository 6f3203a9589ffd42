// RibDispatch.h - RIB read back into a RenderMan context: every request the reader delivers becomes
// the context's operation of the same name, once its arguments have been checked against what
// that operation reads.
//
//     struct Printer : rib::RibProblemSink {
//       void problem(rib::RibPosition where, std::string_view message) override { ... }
//     } printer;
//     RibWriter writer(nullptr);                  // writes the requests again, to standard output
//     rib::RibDispatch dispatch(writer, printer);
//     rib::RibReader reader(dispatch);
//     reader.readFile(file);
//     dispatch.endInput();                        // blocks the file left open are problems too
//
// Checked before the context sees a request: that the request exists and has a RIB form, the
// number and types of its fixed arguments (a float also takes an integer, a filter is named by
// its RIB name, lights and objects by the numbers or names the file gave them), that every
// parameter is declared (predeclared, inline, or by a Declare of the same input) with values of its
// type, and that every array holds exactly the values the operation will read: positional arrays
// against the counts that come with them, parameters against the primitive's counts
// (PrimitiveCounts.h). So the context never reads past the reader's arrays. Block requests must
// nest (Frame, World, Attribute, Transform, Solid, Object and Motion Begin/End).
//
// Accepted beyond that, each with a note: parameters without a declaration (taken as what their
// values are: numbers as floats or integers, texts as strings, as many as given, and handed to
// the context with that declaration in front of the name), lights and objects
// named by strings, and requests that no table knows, which reach the context as verbatim text
// of what was read (as does the library's own Option "rib", which is the input's to pass on, not
// to change how the output is written).
//
// A request with a problem is reported once, with the position of the request or of the argument
// at fault, and skipped whole; the reader's syntax errors are reported the same way. Plain
// comments are dropped; "##" structure comments go to the context as ArchiveRecord "structure",
// except the header line "##RenderMan RIB-Structure ...", which a writer writes of its own (as
// it does "version 3.03", which is checked and dropped).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "RibReader.h"

class RiContext;

namespace rib {

class Declarations;
class RibWriter;

/// Where the problems of a dispatch go: one line each, without a line end.
class RibProblemSink {
public:
  virtual ~RibProblemSink() = default;
  virtual void problem(RibPosition where, std::string_view message) = 0;
  /// Something accepted beyond RIB as the standard writes it (an undeclared parameter, a request
  /// no table knows): it is read and passed on. Ignored unless a sink wants it.
  virtual void note(RibPosition where, std::string_view message);
};

class RibDispatch : public RibHandler {
public:
  /// The context is taken as new: basis steps 3 and 3, no lights or objects. Every request that
  /// reaches it afterwards must come through this dispatch, or the counts may disagree.
  RibDispatch(RiContext &context, RibProblemSink &problems);
  ~RibDispatch() override;
  RibDispatch(const RibDispatch &) = delete;
  RibDispatch &operator=(const RibDispatch &) = delete;

  void request(const RibRequest &request) override;
  void structure(std::string_view text, RibPosition where) override;
  void error(std::string_view message, RibPosition where) override;
  void note(std::string_view message, RibPosition where) override;

  /// Starts an input, which declares for itself from the standard declarations on. When the
  /// context writes RIB (itself or through forwarding contexts), each name that its writer holds
  /// declared otherwise is declared on the context anew, so that what it writes reads as one
  /// stream; so is each name after a reading nested in another on the same thread (an archive
  /// that a filter reads from its ReadArchive) ends, back to the outer reading's declaration.
  void beginInput();
  /// Ends one input: each block still open is a problem at its Begin, and the input's
  /// declarations are gone (the next input declares its own). Lights and objects keep their
  /// numbers and names.
  void endInput();
  /// Ends an input that an exception leaves: as endInput without reporting, and each name the
  /// input declared on the context's writer is declared back as the writer held it before. The
  /// basis steps stay as the context was given them. Throws nothing.
  void abandonInput() noexcept;

  /// The basis steps in force in the context, for a context that has already had a Basis.
  void setBasisSteps(int uStep, int vStep);
  /// Also takes as declared what `declarations` declared (a program's own context's).
  void takeDeclarations(const Declarations &declarations);

  struct State;

private:
  std::unique_ptr<State> state_;
};

/// True for the name of a request with a RIB form ("version" included): what a number may run
/// into, and what a name cut by the end of the input may be.
bool isRequestName(std::string_view name);

/// The RibWriter that `context` writes through: the context itself, or the target of forwarding
/// contexts (at most 64 deep); null when it writes no RIB of this library.
RibWriter *writerBehind(RiContext &context);

} // namespace rib
