// RibRequestRead.h - reading one request's arguments into the C values of its context operation.
//
// A RequestRead walks the arguments of one request from the first: each take...() converts the
// next argument (or, for an array, checks its element type) or records the request's problem and
// returns false, so that a reader is a chain of takes ending in the call:
//
//     RtFloat color[3];
//     if (read.takeNumbers(color, 3, "the color") && read.atEnd()) read.context().Color(color);
//
// Only the first problem is kept. Values stay where the reader put them: numbers and arrays are
// handed on as pointers into its pools, texts as pointers to its zero-terminated strings.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "GivenValues.h"
#include "ParamDecl.h"
#include "PrimitiveCounts.h"
#include "RibDispatch.h"
#include "rib/RiContext.h"

namespace rib {

/// What a dispatch keeps from request to request.
struct RibDispatch::State {
  State(RiContext &c, RibProblemSink &p)
      : context(c), problems(p), declarations(new Declarations) {}

  RiContext &context;
  RibProblemSink &problems;
  int uStep = 3; // as the context's Basis left them
  int vStep = 3;
  // Lights and objects by the number or name the input gave them (handleKey()); those whose
  // request was refused are kept apart, so that the requests naming them are left out without
  // reporting the same cause again.
  std::unordered_map<std::string, RtLightHandle> lights;
  std::unordered_map<std::string, RtObjectHandle> objects;
  std::unordered_set<std::string> refusedLights;
  std::unordered_set<std::string> refusedObjects;
  // The input's declarations: the standard ones, then its Declare requests. Gone with the
  // input; they never reach another reading or a context except through the input's requests.
  std::unique_ptr<Declarations> declarations;
  // What the context's writer held declared before the input declared each name on it, put back
  // should an exception end the input.
  struct HeldDeclaration {
    std::string name;
    bool held;
    uint8_t paramClass, type;
    int16_t arraySize;
  };
  std::vector<HeldDeclaration> writerHeld;
  std::unordered_set<std::string> writerHeldNames;
  /// Notes what the writer behind the context holds for `name`, before a Declare of it is made.
  void noteWriterDeclaration(const char *name);
  // The tokens handed on for undeclared parameters, with their declarations in front (one
  // request's worth; a deque keeps each text where it is).
  std::deque<std::string> inlineTokens;
  // Names already noted in this input (undeclared parameters, unknown requests): one note each.
  std::unordered_set<std::string> noted;

  // Open blocks, innermost last, as runs: Begins of one kind that follow one another (other
  // requests between them allowed) are counted in one entry, so that a file of a million
  // AttributeBegins holds one entry, not a million.
  struct OpenBlock {
    std::string_view stem; // "Attribute" for AttributeBegin
    RibPosition where;     // of the run's first Begin
    bool passedOn;         // the Begins reached the context, so their Ends must too
    uint64_t count;        // Begins in the run
  };
  std::vector<OpenBlock> blocks;
  std::unordered_map<std::string_view, uint64_t> openCount; // open blocks by stem

  // Reused by every request: the texts handed on, and the parameter list.
  std::vector<char *> texts;
  std::vector<RtToken> tokens;
  std::vector<RtPointer> values;

  void report(RibPosition where, std::string_view message) { problems.problem(where, message); }
  /// A note, once per input for each `key`.
  void noteOnce(const std::string &key, RibPosition where, std::string_view message) {
    if (noted.insert(key).second) problems.note(where, message);
  }
  /// The request again as ASCII text, handed to the context as a verbatim record.
  void passOn(const RibRequest &request);
  /// The request with a bracketed array of its fixed numbers spread out ("Sphere [1 -1 1 360]").
  const RibRequest &unbracketed(const RibRequest &request);
  std::vector<RibArg> spread;
  RibRequest spreadRequest;
};

/// The key under which a light or object handle is kept: an integer's decimal digits, or a
/// string after a quote (so that 1 and "1" stay apart).
std::string handleKey(const RibArg &arg);

/// A request as ASCII RIB, one line: the name and every argument as read (integers as integers,
/// floats in the fewest digits that read back as the same float, strings escaped).
std::string requestText(const RibRequest &request);

class RequestRead {
public:
  RequestRead(RibDispatch::State &state, const RibRequest &request);

  RiContext &context() { return state_.context; }
  RibDispatch::State &state() { return state_; }
  const RibRequest &request() const { return request_; }
  /// The request's name, zero-terminated, for messages.
  const char *name() const { return name_.c_str(); }

  bool ok() const { return problem_.empty() && !dropped_; }
  /// The request holds what only its text can carry on: the dispatch passes it on as read.
  bool passOnWhole() const { return passOnWhole_; }
  /// Leaves the request out without a problem of its own (its cause was reported already).
  bool drop() {
    dropped_ = true;
    return false;
  }
  const std::string &problem() const { return problem_; }
  RibPosition problemWhere() const { return problemWhere_; }
  /// Records a problem of the request (the first one counts); always false.
  bool fail(const char *format, ...) __attribute__((format(printf, 2, 3)));
  /// The same, at the position of argument `index`.
  bool failAt(size_t index, const char *format, ...) __attribute__((format(printf, 3, 4)));

  // ---- Single values, each the next argument ----

  bool take(RtFloat &value);   // a number
  bool take(RtInt &value);     // an integer
  bool take(RtBoolean &value); // an integer that fits 16 bits
  bool take(char *&text);      // a string (RtToken and RtString alike)
  bool take(RtFilterFunc &filter);
  /// Illuminate's light or ObjectInstance's object, by the number or name the input gave it.
  bool take(RtPointer &handle);
  /// The number or name that a LightSource, AreaLightSource or ObjectBegin gives its handle.
  bool takeHandleKey(std::string &key);
  /// ReadArchive's callback has no RIB form: it takes no argument and is null.
  bool take(RtArchiveCallback &callback) {
    callback = nullptr;
    return true;
  }

  // ---- Arrays, each the next argument; `count` is the number of values ----

  bool takeFloats(const RtFloat *&values, RtInt &count, const char *what);
  bool takeInts(const RtInt *&values, RtInt &count, const char *what);
  bool takeTexts(char **&texts, RtInt &count, const char *what);
  /// `count` numbers, given one by one or as one array of exactly `count`.
  bool takeNumbers(RtFloat *values, int count, const char *what);

  /// True when every argument has been taken; else the request's count problem.
  bool atEnd();
  bool hasMore() const { return next_ < request_.size(); }
  const RibArg &peek() const { return request_[next_]; }

  // ---- The parameter list: every argument left, as token/value pairs ----

  /// Checks each parameter's declaration and values; a primitive's counts size its vertex,
  /// varying and uniform parameters (null: every parameter carries its declared size).
  bool takeParams(const PrimitiveCounts *counts);
  /// takeParams with the counts' own problem (a primitive smaller than one patch) reported first.
  bool takePrimitiveParams(const PrimitiveCounts &counts);
  /// Takes the parameter list for a primitive whose size only its position parameter tells
  /// (Polygon, Points): the number of vertices that "P", "Pw" or "Pz" holds.
  bool findVertexCount(RtInt &nvertices);
  RtInt paramCount() const { return static_cast<RtInt>(state_.tokens.size()); }
  RtToken *tokens() { return state_.tokens.data(); }
  RtPointer *values() { return state_.values.data(); }

  // ---- Operations made from the request table ----

  /// A request of fixed arguments only, of the C types of `Signature` (`void (RtInt frame)`):
  /// converts them all, checks that nothing is left, then calls `call` with them.
  template <class Signature, class Call> void fixed(Call call);
  /// Fixed arguments, then the parameter list with `counts` (null for requests that are not
  /// primitives); `call` gets the fixed values and passes paramCount(), tokens(), values() on.
  template <class Signature, class Call> void listed(const PrimitiveCounts *counts, Call call);

private:
  template <class Tuple, size_t... I> bool takeAll(Tuple &values, std::index_sequence<I...>) {
    return (take(std::get<I>(values)) && ...);
  }
  bool checkCount(size_t expected);
  void noteBracketed(const RibArg &arg);
  const ParamDecl *declareFromValue(size_t at, const char *bare, const RibArg &value, char *&token);
  bool vfail(RibPosition where, const char *format, va_list arguments);
  char *keepText(const std::string_view &text, size_t index);
  const RibArg *nextArg(const char *expected);

  RibDispatch::State &state_;
  const RibRequest &request_;
  GivenValues given_; // the arrays handed on, listed while the request is made
  std::string name_;
  size_t next_ = 0;
  std::string problem_;
  RibPosition problemWhere_;
  bool dropped_ = false;
  bool passOnWhole_ = false;
};

/// What a kind of argument is called in messages ("an integer", "an array of strings").
const char *argKindName(const RibArg &arg);

/// The C values of a table row's fixed arguments, and how many RIB arguments they take.
template <class> struct FixedArguments;
template <class... P> struct FixedArguments<void(P...)> {
  using Values = std::tuple<std::decay_t<P>...>;
  static constexpr size_t kRibArguments =
      (size_t(0) + ... + (std::is_same<std::decay_t<P>, RtArchiveCallback>::value ? 0 : 1));
};

template <class Signature, class Call> void RequestRead::fixed(Call call) {
  using Fixed = FixedArguments<Signature>;
  typename Fixed::Values values;
  if (!checkCount(Fixed::kRibArguments)) return;
  if (!takeAll(values, std::make_index_sequence<std::tuple_size<decltype(values)>::value>()))
    return;
  std::apply(call, values);
}

template <class Signature, class Call>
void RequestRead::listed(const PrimitiveCounts *counts, Call call) {
  using Values = typename FixedArguments<Signature>::Values;
  Values values;
  if (!takeAll(values, std::make_index_sequence<std::tuple_size<Values>::value>())) return;
  if (!takeParams(counts)) return;
  std::apply(call, values);
}

/// One request the dispatch knows: its RIB name and the function that reads it.
struct RequestReader {
  const char *name;
  void (*read)(RequestRead &read);
};

/// The requests read from their rows of the request table (RibTableReaders.cpp).
extern const RequestReader kTableReaders[];
extern const size_t kTableReaderCount;
/// The requests with a RIB form of their own (RibOwnReaders.cpp, RibGeometryReaders.cpp).
extern const RequestReader kOwnReaders[];
extern const size_t kOwnReaderCount;
extern const RequestReader kGeometryReaders[];
extern const size_t kGeometryReaderCount;

} // namespace rib
