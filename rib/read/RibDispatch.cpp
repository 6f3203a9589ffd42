// The dispatch of requests read to their context operations: finding the request's reader, the
// nesting of blocks, structure comments, the header and syntax errors.
#include "RibDispatch.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "RibCharClass.h"
#include "RibRequestRead.h"
#include "RibText.h"
#include "RibWriter.h"
#include "rib/RibRead.h"

namespace rib {
namespace {

enum class BlockEdge : uint8_t { None, Begin, End };

struct KnownRequest {
  void (*read)(RequestRead &read);
  BlockEdge edge;
  std::string_view stem; // of a block request: "Attribute" for AttributeBegin and AttributeEnd
};

bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Every request with a RIB form, by name. The block requests are exactly those whose names end
// in "Begin" and "End".
const std::unordered_map<std::string_view, KnownRequest> &knownRequests() {
  static const std::unordered_map<std::string_view, KnownRequest> known = [] {
    std::unordered_map<std::string_view, KnownRequest> map;
    auto add = [&map](const RequestReader *readers, size_t count) {
      for (size_t i = 0; i < count; ++i) {
        const std::string_view name = readers[i].name;
        KnownRequest request{readers[i].read, BlockEdge::None, {}};
        if (endsWith(name, "Begin"))
          request = {readers[i].read, BlockEdge::Begin, name.substr(0, name.size() - 5)};
        else if (endsWith(name, "End"))
          request = {readers[i].read, BlockEdge::End, name.substr(0, name.size() - 3)};
        map.emplace(name, request);
      }
    };
    add(kTableReaders, kTableReaderCount);
    add(kOwnReaders, kOwnReaderCount);
    add(kGeometryReaders, kGeometryReaderCount);
    return map;
  }();
  return known;
}

std::string blockName(std::string_view stem, const char *edge) { return std::string(stem) + edge; }

// Requests whose fixed numbers other readers also take as one bracketed array
// ("Sphere [1 -1 1 360]"), with how many numbers that array holds.
struct BracketedNumbers {
  std::string_view name;
  size_t count;
};

constexpr BracketedNumbers kBracketedNumbers[] = {
    {"DetailRange", 4}, {"ScreenWindow", 4}, {"CropWindow", 4}, {"Skew", 7},
    {"Sphere", 4},      {"Cone", 3},         {"Cylinder", 4},   {"Hyperboloid", 7},
    {"Paraboloid", 4},  {"Disk", 3},         {"Torus", 5},
};

// A name that reads back as one request name: a letter or '_', then letters, digits and '_'.
bool isPlainName(std::string_view name) {
  if (name.empty() || !(classOf(name[0]) & kNameStart)) return false;
  for (char c : name)
    if (!(classOf(c) & kNameChar)) return false;
  return true;
}

// What follows a block's problem when its run holds more than one Begin.
std::string runNote(const RibDispatch::State::OpenBlock &run) {
  return run.count > 1 ? " (and " + std::to_string(run.count - 1) + " more after it)" : "";
}

void beginBlock(RibDispatch::State &state, std::string_view stem, RibPosition where,
                bool passedOn) {
  ++state.openCount[stem];
  if (!state.blocks.empty() && state.blocks.back().stem == stem &&
      state.blocks.back().passedOn == passedOn)
    ++state.blocks.back().count;
  else
    state.blocks.push_back({stem, where, passedOn, 1});
}

// Closes the innermost open block of `stem`; true when the End is to reach the context. Each
// End costs constant time plus the runs it closes, so unmatched Ends stay linear.
bool endBlock(RibDispatch::State &state, std::string_view stem, RibPosition where) {
  uint64_t &open = state.openCount[stem];
  if (open == 0) {
    state.report(where, blockName(stem, "End") + " without " + blockName(stem, "Begin"));
    return false;
  }
  // Blocks opened inside this one and not ended are ended here, each run a problem of its own.
  while (state.blocks.back().stem != stem) {
    const RibDispatch::State::OpenBlock &inner = state.blocks.back();
    state.report(inner.where, blockName(inner.stem, "Begin") + " is not ended before the " +
                                  blockName(stem, "End") + " of line " +
                                  std::to_string(where.line) + runNote(inner));
    state.openCount[inner.stem] -= inner.count;
    state.blocks.pop_back();
  }
  --open;
  const bool passedOn = state.blocks.back().passedOn;
  if (--state.blocks.back().count == 0) state.blocks.pop_back();
  return passedOn; // a Begin that did not reach the context: neither does its End
}

// The inputs being read on this thread, innermost last: a reading nested in another (an archive
// read from a filter's ReadArchive) puts the outer one's declarations back when it ends.
thread_local std::vector<RibDispatch::State *> tReadings;

void enterReading(RibDispatch::State &state) {
  if (tReadings.empty() || tReadings.back() != &state) tReadings.push_back(&state);
}

// Takes `state` off the stack; returns the reading it was nested in, or null.
RibDispatch::State *leaveReading(RibDispatch::State &state) {
  const auto at = std::find(tReadings.rbegin(), tReadings.rend(), &state);
  if (at == tReadings.rend()) return nullptr;
  const auto index = static_cast<size_t>(tReadings.rend() - at) - 1;
  tReadings.erase(tReadings.begin() + static_cast<std::ptrdiff_t>(index));
  return index > 0 ? tReadings[index - 1] : nullptr;
}

// Declares on the context each name that its writer holds declared otherwise than `meant` does,
// as `meant` declares it: the requests that follow are read by `meant`.
void declareAsMeant(RibDispatch::State &state, RibWriter &writer, const Declarations &meant) {
  const size_t count = writer.declarations.declaredNames().size();
  for (size_t i = 0; i < count; ++i) {
    const ParamDecl &held = *writer.declarations.declaredNames()[i];
    const ParamDecl *wanted = meant.find(held.name);
    if (!wanted || sameDeclaration(held, *wanted) ||
        paramTypeInfo(wanted->type).kind == ValueKind::None)
      continue;
    char text[64];
    declarationText(*wanted, text, sizeof text);
    state.noteWriterDeclaration(held.name);
    state.context.Declare(const_cast<char *>(held.name), text);
  }
}

// Puts back on the context what its writer held declared before the input declared anew.
void declareAsHeld(RibDispatch::State &state) {
  RibWriter *writer = writerBehind(state.context);
  for (auto held = state.writerHeld.rbegin(); writer && held != state.writerHeld.rend(); ++held) {
    const ParamDecl *now = writer->declarations.find(held->name.c_str());
    if (!held->held || !now) continue;
    ParamDecl before(now->key, now->name);
    before.paramClass = held->paramClass;
    before.type = held->type;
    before.arraySize = held->arraySize;
    if (sameDeclaration(before, *now)) continue;
    char text[64];
    declarationText(before, text, sizeof text);
    state.context.Declare(const_cast<char *>(now->name), text);
  }
}

} // namespace

bool isRequestName(std::string_view name) {
  return name == "version" || knownRequests().count(name) != 0;
}

RibWriter *writerBehind(RiContext &context) {
  RiContext *at = &context;
  for (int depth = 0; at && depth < 64; ++depth) {
    if (auto *writer = dynamic_cast<RibWriter *>(at)) return writer;
    const auto *forwarding = dynamic_cast<const ForwardingContext *>(at);
    at = forwarding ? &forwarding->target() : nullptr;
  }
  return nullptr;
}

// The request with its leading array of numbers spread into single numbers, when it is one of
// kBracketedNumbers and the array holds exactly its count; else the request as it is.
const RibRequest &RibDispatch::State::unbracketed(const RibRequest &request) {
  if (request.size() == 0 || !request[0].isArray() || !request[0].isNumeric()) return request;
  size_t count = 0;
  for (const BracketedNumbers &row : kBracketedNumbers)
    if (row.name == request.name) count = row.count;
  const RibArg &numbers = request[0];
  if (count == 0 || numbers.count != count) return request;
  spread.clear();
  for (size_t i = 0; i < count; ++i) {
    RibArg arg = numbers;
    arg.count = 1;
    arg.floats = numbers.floats + i;
    arg.ints = numbers.ints ? numbers.ints + i : nullptr;
    arg.strings = nullptr;
    arg.type = numbers.ints ? RibArgType::Integer : RibArgType::Float;
    spread.push_back(arg);
  }
  spread.insert(spread.end(), request.begin() + 1, request.end());
  spreadRequest = request;
  spreadRequest.args = spread.data();
  spreadRequest.argCount = spread.size();
  return spreadRequest;
}

RibDispatch::RibDispatch(RiContext &context, RibProblemSink &problems)
    : state_(new State(context, problems)) {}

RibDispatch::~RibDispatch() = default;

void RibDispatch::setBasisSteps(int uStep, int vStep) {
  state_->uStep = uStep;
  state_->vStep = vStep;
}

void RibDispatch::takeDeclarations(const Declarations &declarations) {
  for (const ParamDecl *decl : declarations.declaredNames()) {
    char text[64];
    declarationText(*decl, text, sizeof text);
    state_->declarations->declare(decl->name, text);
  }
}

void RibProblemSink::note(RibPosition, std::string_view) {}

void RibDispatch::request(const RibRequest &read) {
  State &state = *state_;
  const RibRequest &request = state.unbracketed(read);
  if (request.name == "version") {
    // The header's version line: a writer writes its own.
    if (request.size() != 1 || !request[0].isNumeric() || request[0].isArray())
      state.report(request.where, "version takes one number");
    return;
  }
  const auto &known = knownRequests();
  const auto found = known.find(request.name);
  if (found == known.end()) {
    const std::string shown = shownText(request.name);
    if (!isPlainName(request.name)) {
      state.report(request.where, "unknown request \"" + shown + "\"");
      return;
    }
    // A vendor's request, or one of a later interface: the renderer may know it.
    state.noteOnce("request " + shown, request.where,
                   "unknown request \"" + shown + "\" is passed on as read");
    state.passOn(request);
    return;
  }
  const KnownRequest &kind = found->second;

  if (kind.edge == BlockEdge::End && !endBlock(state, kind.stem, request.where)) return;

  RequestRead reading(state, request);
  kind.read(reading);
  if (!reading.problem().empty()) state.report(reading.problemWhere(), reading.problem());
  if (reading.passOnWhole() && reading.problem().empty()) state.passOn(request);
  if (kind.edge == BlockEdge::Begin) beginBlock(state, kind.stem, request.where, reading.ok());
}

void RibDispatch::structure(std::string_view text, RibPosition) {
  // The header's first line: a writer writes its own.
  if (text.compare(0, 23, "RenderMan RIB-Structure") == 0) return;
  static char type[] = "structure", format[] = "%s";
  const std::string line(text);
  state_->context.ArchiveRecord(type, format, line.c_str());
}

void RibDispatch::error(std::string_view message, RibPosition where) {
  state_->report(where, message);
}

void RibDispatch::note(std::string_view message, RibPosition where) {
  state_->problems.note(where, message);
}

void RibDispatch::beginInput() {
  State &state = *state_;
  if (RibWriter *writer = writerBehind(state.context))
    declareAsMeant(state, *writer, *state.declarations);
  enterReading(state);
}

void RibDispatch::endInput() {
  State &state = *state_;
  for (const State::OpenBlock &block : state.blocks)
    state.report(block.where, blockName(block.stem, "Begin") + " is never ended" + runNote(block));
  state.blocks.clear();
  state.openCount.clear();
  state.noted.clear();
  State *outer = leaveReading(state);
  RibWriter *writer = outer ? writerBehind(state.context) : nullptr;
  if (writer) declareAsMeant(state, *writer, *outer->declarations);
  state.declarations->clear();
  state.writerHeld.clear();
  state.writerHeldNames.clear();
}

void RibDispatch::abandonInput() noexcept {
  State &state = *state_;
  state.blocks.clear();
  state.openCount.clear();
  state.noted.clear();
  leaveReading(state);
  try {
    declareAsHeld(state);
  } catch (...) {
    // The exception being passed on says what went wrong; this one would only hide it.
  }
  state.declarations->clear();
  state.writerHeld.clear();
  state.writerHeldNames.clear();
}

void RibDispatch::State::noteWriterDeclaration(const char *name) {
  RibWriter *writer = writerBehind(context);
  if (!writer || !writerHeldNames.insert(name).second) return;
  const ParamDecl *now = writer->declarations.find(name);
  writerHeld.push_back({name, now != nullptr, now ? now->paramClass : uint8_t(0),
                        now ? now->type : uint8_t(0), now ? now->arraySize : int16_t(0)});
}

} // namespace rib
