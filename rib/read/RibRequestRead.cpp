// Taking a request's arguments one by one: type checks, texts, arrays and the parameter list with
// its declarations and value counts.
#include "RibRequestRead.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "ParamDecl.h"
#include "RibText.h"
#include "SameText.h"
#include "StandardNames.h"

namespace rib {
namespace {

const char *plural(size_t n) { return n == 1 ? "" : "s"; }

// The declaration that keeps an undeclared parameter's values as they are: as many as given, of
// the kind given, one set for the whole primitive.
const char *const kValueTypes[] = {"integer", "float", "string", "integer", "float", "string"};

} // namespace

std::string handleKey(const RibArg &arg) {
  if (arg.type == RibArgType::Integer) return std::to_string(arg.ints[0]);
  return '"' + std::string(arg.strings[0]);
}

const char *argKindName(const RibArg &arg) {
  if (arg.isArray() && arg.count == 0) return "an empty array";
  switch (arg.type) {
  case RibArgType::Integer: return "an integer";
  case RibArgType::Float: return "a float";
  case RibArgType::String: return "a string";
  case RibArgType::IntegerArray: return "an array of integers";
  case RibArgType::FloatArray: return "an array of floats";
  case RibArgType::StringArray: return "an array of strings";
  }
  return "a value";
}

RequestRead::RequestRead(RibDispatch::State &state, const RibRequest &request)
    : state_(state), request_(request), name_(shownText(request.name)) {
  // Room for every text of the request at once, so that the pointers handed on stay valid.
  size_t texts = 0;
  for (const RibArg &arg : request)
    if (arg.isText()) texts += arg.count;
  state_.texts.clear();
  state_.texts.reserve(texts);
  state_.tokens.clear();
  state_.values.clear();
  state_.inlineTokens.clear();
}

bool RequestRead::vfail(RibPosition where, const char *format, va_list arguments) {
  if (!problem_.empty()) return false;
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  problem_ = text;
  problemWhere_ = where;
  return false;
}

bool RequestRead::fail(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  vfail(request_.where, format, arguments);
  va_end(arguments);
  return false;
}

bool RequestRead::failAt(size_t index, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  vfail(index < request_.size() ? request_[index].where : request_.where, format, arguments);
  va_end(arguments);
  return false;
}

bool RequestRead::checkCount(size_t expected) {
  if (request_.size() == expected) return true;
  return fail("%s takes %zu argument%s, not %zu", name(), expected, plural(expected),
              request_.size());
}

bool RequestRead::atEnd() {
  if (next_ >= request_.size()) return true;
  const size_t extra = request_.size() - next_;
  return failAt(next_, "%s has %zu argument%s too many", name(), extra, plural(extra));
}

const RibArg *RequestRead::nextArg(const char *expected) {
  if (next_ >= request_.size()) {
    fail("%s: argument %zu (%s) is missing", name(), next_ + 1, expected);
    return nullptr;
  }
  const RibArg &arg = request_[next_++];
  // Counts are RtInt for the context: a longer array (possible with raised reader limits) is
  // refused rather than cut short.
  if (arg.count > static_cast<size_t>(INT_MAX)) {
    failAt(next_ - 1, "%s: argument %zu holds more values than a request can take", name(), next_);
    return nullptr;
  }
  return &arg;
}

// The argument just taken is not of the kind expected.
#define RIB_WRONG_KIND(arg, expected)                                                              \
  failAt(next_ - 1, "%s: argument %zu must be %s, not %s", name(), next_, expected,                \
         argKindName(arg))

char *RequestRead::keepText(const std::string_view &text, size_t index) {
  // The context takes zero-terminated texts: one holding a zero byte would lose its end.
  if (std::memchr(text.data(), '\0', text.size())) {
    failAt(index, "%s: argument %zu holds a zero byte", name(), index + 1);
    return nullptr;
  }
  return const_cast<char *>(text.data());
}

// ---- Single values ----

void RequestRead::noteBracketed(const RibArg &arg) {
  // Other writers put a single number in brackets ("flatness" [0.5]): read as the number.
  state_.noteOnce(std::string("bracketed ") + name(), arg.where,
                  std::string(name()) + ": a single number in brackets is read as the number");
}

bool RequestRead::take(RtFloat &value) {
  const RibArg *arg = nextArg("a number");
  if (!arg) return false;
  if (!arg->isNumeric() || (arg->isArray() && arg->count != 1))
    return RIB_WRONG_KIND(*arg, "a number");
  if (arg->isArray()) noteBracketed(*arg);
  value = arg->floats[0];
  return true;
}

bool RequestRead::take(RtInt &value) {
  const RibArg *arg = nextArg("an integer");
  if (!arg) return false;
  const bool bracketed = arg->type == RibArgType::IntegerArray && arg->count == 1;
  if (arg->type != RibArgType::Integer && !bracketed) return RIB_WRONG_KIND(*arg, "an integer");
  if (bracketed) noteBracketed(*arg);
  value = arg->ints[0];
  return true;
}

bool RequestRead::take(RtBoolean &value) {
  RtInt number = 0;
  if (!take(number)) return false;
  if (number < -32768 || number > 32767)
    return failAt(next_ - 1, "%s: argument %zu, %d, is out of range for a boolean", name(), next_,
                  number);
  value = static_cast<RtBoolean>(number);
  return true;
}

bool RequestRead::take(char *&text) {
  const RibArg *arg = nextArg("a string");
  if (!arg) return false;
  if (arg->type != RibArgType::String) return RIB_WRONG_KIND(*arg, "a string");
  text = keepText(arg->strings[0], next_ - 1);
  return text != nullptr;
}

bool RequestRead::take(RtFilterFunc &filter) {
  const RibArg *arg = nextArg("a filter name");
  if (!arg) return false;
  if (arg->type != RibArgType::String) return RIB_WRONG_KIND(*arg, "a filter name");
  // The empty name stands for a filter of the program's own, which a writer writes as empty
  // quotes again.
  if (arg->strings[0].empty()) {
    filter = nullptr;
    return true;
  }
  const StandardFilter *standard = findFilter(arg->strings[0].data());
  if (standard && arg->strings[0] == standard->name) {
    filter = standard->filter;
    return true;
  }
  return failAt(next_ - 1, "%s: unknown filter \"%s\"", name(), shownText(arg->strings[0]).c_str());
}

bool RequestRead::takeHandleKey(std::string &key) {
  const RibArg *arg = nextArg("a number or a name");
  if (!arg) return false;
  if (arg->type != RibArgType::Integer && arg->type != RibArgType::String)
    return RIB_WRONG_KIND(*arg, "a number or a name");
  key = handleKey(*arg);
  return true;
}

bool RequestRead::take(RtPointer &handle) {
  const bool light = sameText(name(), "Illuminate");
  const char *kind = light ? "a light number or name" : "an object number or name";
  const RibArg *arg = nextArg(kind);
  if (!arg) return false;
  if (arg->type != RibArgType::Integer && arg->type != RibArgType::String)
    return RIB_WRONG_KIND(*arg, kind);
  const std::string key = handleKey(*arg);
  const auto &handles = light ? state_.lights : state_.objects;
  const auto found = handles.find(key);
  if (found != handles.end()) {
    handle = found->second;
    return true;
  }
  // A light or object whose own request was refused: that problem was reported there.
  if ((light ? state_.refusedLights : state_.refusedObjects).count(key)) return drop();
  const char *what = light ? "light source" : "object";
  if (arg->type == RibArgType::Integer)
    return failAt(next_ - 1, "%s: no %s numbered %d", name(), what, arg->ints[0]);
  return failAt(next_ - 1, "%s: no %s named \"%s\"", name(), what,
                shownText(arg->strings[0]).c_str());
}

// ---- Arrays ----

bool RequestRead::takeFloats(const RtFloat *&values, RtInt &count, const char *what) {
  const RibArg *arg = nextArg(what);
  if (!arg) return false;
  if (!arg->isArray() || !arg->isNumeric())
    return failAt(next_ - 1, "%s: argument %zu (%s) must be an array of numbers, not %s", name(),
                  next_, what, argKindName(*arg));
  values = arg->floats;
  count = static_cast<RtInt>(arg->count);
  given_.add(values, arg->count * sizeof(RtFloat));
  return true;
}

bool RequestRead::takeInts(const RtInt *&values, RtInt &count, const char *what) {
  const RibArg *arg = nextArg(what);
  if (!arg) return false;
  if (arg->type != RibArgType::IntegerArray)
    return failAt(next_ - 1, "%s: argument %zu (%s) must be an array of integers, not %s", name(),
                  next_, what, argKindName(*arg));
  values = arg->ints;
  count = static_cast<RtInt>(arg->count);
  given_.add(values, arg->count * sizeof(RtInt));
  return true;
}

bool RequestRead::takeTexts(char **&texts, RtInt &count, const char *what) {
  const RibArg *arg = nextArg(what);
  if (!arg) return false;
  if (!arg->isArray() || !arg->isText())
    return failAt(next_ - 1, "%s: argument %zu (%s) must be an array of strings, not %s", name(),
                  next_, what, argKindName(*arg));
  const size_t first = state_.texts.size();
  for (size_t i = 0; i < arg->count; ++i) {
    char *text = keepText(arg->strings[i], next_ - 1);
    if (!text) return false;
    state_.texts.push_back(text);
  }
  texts = state_.texts.data() + first;
  count = static_cast<RtInt>(arg->count);
  given_.add(texts, arg->count * sizeof(char *));
  return true;
}

bool RequestRead::takeNumbers(RtFloat *values, int count, const char *what) {
  if (next_ < request_.size() && request_[next_].isArray()) {
    const RibArg &arg = request_[next_++];
    if (!arg.isNumeric())
      return failAt(next_ - 1, "%s: argument %zu (%s) must be %d numbers, not %s", name(), next_,
                    what, count, argKindName(arg));
    if (arg.count != static_cast<size_t>(count))
      return failAt(next_ - 1, "%s: argument %zu (%s) must hold %d numbers, not %zu", name(), next_,
                    what, count, arg.count);
    std::memcpy(values, arg.floats, sizeof(RtFloat) * static_cast<size_t>(count));
    return true;
  }
  for (int i = 0; i < count; ++i)
    if (!take(values[i])) return false;
  return true;
}

// ---- Parameter lists ----

bool RequestRead::takeParams(const PrimitiveCounts *counts) {
  while (next_ < request_.size()) {
    const size_t at = next_;
    const RibArg &token = request_[at];
    if (token.type != RibArgType::String)
      return failAt(at, "%s: argument %zu must be a parameter name, not %s", name(), at + 1,
                    argKindName(token));
    char *text = keepText(token.strings[0], at);
    if (!text) return false;
    const std::string shown = shownText(token.strings[0]);
    if (at + 1 >= request_.size())
      return failAt(at, "%s: parameter \"%s\" has no value", name(), shown.c_str());
    const ParamDecl *decl = state_.declarations->lookup(text);
    const RibArg &value = request_[at + 1];
    if (!decl) {
      decl = declareFromValue(at, text + std::strspn(text, " "), value, text);
      if (!decl) return false;
    }

    next_ = at + 2;
    RtPointer pointer = nullptr;
    bool fits = false;
    switch (paramTypeInfo(decl->type).kind) {
    case ValueKind::None:
      if (decl->type == kTypeMPoint) {
        // Matrices per point, which the writer has no form for: the renderer reads them as
        // given, so the whole request goes on as it was read.
        state_.noteOnce("mpoint " + shown, token.where,
                        std::string(name()) + ": parameter \"" + shown +
                            "\" is of type mpoint; the request is passed on as read");
        passOnWhole_ = true;
        return drop();
      }
      return failAt(at, "%s: parameter \"%s\" has a type with no values", name(), shown.c_str());
    case ValueKind::Float:
      fits = value.isNumeric();
      pointer = const_cast<RtFloat *>(value.floats);
      break;
    case ValueKind::Integer:
      fits = value.ints != nullptr;
      pointer = const_cast<RtInt *>(value.ints);
      break;
    case ValueKind::String: {
      fits = value.isText();
      if (!fits) break;
      const size_t first = state_.texts.size();
      for (size_t i = 0; i < value.count; ++i) {
        char *item = keepText(value.strings[i], at + 1);
        if (!item) return false;
        state_.texts.push_back(item);
      }
      pointer = state_.texts.data() + first;
      break;
    }
    }
    if (!fits) {
      char declared[64];
      declarationText(*decl, declared, sizeof declared);
      return failAt(at + 1, "%s: parameter \"%s\" is declared %s, its value is %s", name(),
                    shown.c_str(), declared, argKindName(value));
    }
    const int64_t expected = paramValueCount(*decl, counts);
    if (static_cast<int64_t>(value.count) != expected)
      return failAt(at + 1, "%s: parameter \"%s\" has %zu value%s where %lld %s expected", name(),
                    shown.c_str(), value.count, plural(value.count),
                    static_cast<long long>(expected), expected == 1 ? "is" : "are");
    given_.add(pointer, value.count * (paramTypeInfo(decl->type).kind == ValueKind::String
                                           ? sizeof(char *)
                                           : sizeof(RtFloat)));
    state_.tokens.push_back(text);
    state_.values.push_back(pointer);
  }
  return true;
}

// A parameter that the input uses without declaring it (a shader's own, a renderer's): the
// renderer knows it from elsewhere, so it is taken as what its values are and noted once. The
// context gets it with that declaration in front of its name ("constant float[2] roughness2"),
// so that it reads the values as given whatever it declared itself, and the RIB it writes keeps
// their type. Each use is taken from its own values: the input declares nothing by it.
const ParamDecl *RequestRead::declareFromValue(size_t at, const char *bare, const RibArg &value,
                                               char *&token) {
  const std::string shown = shownText(bare);
  if (*bare == '\0' || std::strchr(bare, ' ')) {
    failAt(at, "%s: undeclared parameter \"%s\"", name(), shown.c_str());
    return nullptr;
  }
  if (value.count > static_cast<size_t>(INT16_MAX)) {
    failAt(at + 1, "%s: undeclared parameter \"%s\" has more values than can be kept", name(),
           shown.c_str());
    return nullptr;
  }
  char declaration[40];
  if (value.count == 1)
    std::snprintf(declaration, sizeof declaration, "constant %s ",
                  kValueTypes[static_cast<int>(value.type)]);
  else
    std::snprintf(declaration, sizeof declaration, "constant %s[%zu] ",
                  kValueTypes[static_cast<int>(value.type)], value.count);
  std::string &typed = state_.inlineTokens.emplace_back(declaration);
  typed += bare;
  const ParamDecl *decl = state_.declarations->lookup(typed.c_str());
  token = typed.data();
  state_.noteOnce(std::string("parameter ") + bare, request_[at].where,
                  std::string(name()) + ": parameter \"" + shown +
                      "\" is not declared; its values are kept as given");
  return decl;
}

bool RequestRead::takePrimitiveParams(const PrimitiveCounts &counts) {
  if (counts.problem) return fail("%s %s", name(), counts.problem);
  return takeParams(&counts);
}

bool RequestRead::findVertexCount(RtInt &nvertices) {
  for (size_t at = next_; at + 1 < request_.size(); at += 2) {
    const RibArg &token = request_[at];
    if (token.type != RibArgType::String) break;
    const ParamDecl *decl = state_.declarations->lookup(token.strings[0].data());
    if (!decl ||
        !(sameText(decl->name, "P") || sameText(decl->name, "Pw") || sameText(decl->name, "Pz")))
      continue;
    const int64_t perVertex = paramValueCount(*decl, nullptr);
    const RibArg &value = request_[at + 1];
    if (decl->paramClass != kClassVertex || perVertex <= 0 || !value.isNumeric() ||
        value.count % static_cast<uint64_t>(perVertex) != 0 ||
        value.count / static_cast<uint64_t>(perVertex) > static_cast<uint64_t>(INT_MAX))
      return failAt(at + 1, "%s: parameter \"%s\" holds no whole number of vertices", name(),
                    shownText(token.strings[0]).c_str());
    nvertices = static_cast<RtInt>(value.count / static_cast<uint64_t>(perVertex));
    return true;
  }
  return fail("%s has no \"P\" parameter to give its vertices", name());
}

} // namespace rib
