// Requests from tokens: a request is its name and every value up to the next name. Values go
// into pools that the reader keeps from request to request; the handler gets views of them.
// An error drops the request it occurs in and skips everything up to the next request name.
#include "RibReader.h"

#include <string>
#include <type_traits>
#include <vector>

#include "RibDispatch.h"
#include "RibTokenizer.h"

namespace rib {

void RibHandler::structure(std::string_view, RibPosition) {}
void RibHandler::error(std::string_view, RibPosition) {}
void RibHandler::readFailed(int, std::string_view message, RibPosition where) {
  error(message, where);
}
void RibHandler::note(std::string_view, RibPosition) {}

namespace {

// Bytes of a cut name shown in its problem line.
constexpr size_t kShownNameMax = 40;

struct ArgRecord {
  RibArgType type;
  size_t count;
  size_t firstInt;
  size_t firstFloat;
  size_t firstString;
  RibPosition where;
};

struct StringRef {
  size_t first;
  size_t length;
};

struct HeldComment {
  size_t first;
  size_t length;
  RibPosition where;
};

// What an argument and a string hold besides their values: the record kept while reading and the
// view the handler is given.
constexpr size_t kHeldPerArg = sizeof(ArgRecord) + sizeof(RibArg);
constexpr size_t kHeldPerString = sizeof(StringRef) + sizeof(std::string_view);

// The address of element i, valid even for an empty pool (an empty array still has views).
template <typename Pool> auto viewAt(const Pool &pool, size_t i) -> decltype(pool.data()) {
  static const typename std::remove_const<
      typename std::remove_pointer<decltype(pool.data())>::type>::type none{};
  return pool.empty() ? &none : pool.data() + i;
}

} // namespace

class RibReader::Impl {
public:
  Impl(RibHandler &handler, const RibReaderLimits &limits)
      : handler_(handler), limits_(limits), tokens_(pools_, limits_) {}

  RibInput &input() { return tokens_.input(); }
  size_t chunkBytes() const { return limits_.chunkBytes; }
  void start();
  bool read() {
    start();
    while (step()) {
    }
    return errors_ == 0;
  }
  bool readNext() {
    const uint64_t before = calls_;
    while (calls_ == before)
      if (!step()) return false;
    return true;
  }

private:
  bool step();
  void begin(const Token &name);
  void deliver();
  void hold(const Token &comment);
  void releaseComments();
  void dropValues();
  void fail(std::string_view message, RibPosition where);
  void failRead(const Token &token);
  bool checkLimit(bool passed = false);
  void addValue(const Token &token);
  void addString(const Token &token);
  void readArray(RibPosition where);

  RibHandler &handler_;
  RibReaderLimits limits_;
  RibPools pools_;
  RibTokenizer tokens_;

  bool pending_ = false;  // a request has begun and not been delivered
  bool skipping_ = false; // after an error, up to the next request name
  uint64_t errors_ = 0;
  uint64_t calls_ = 0; // requests and structure comments handed over, for readNext
  bool ended_ = false;
  std::string name_;
  RibPosition where_;
  std::vector<ArgRecord> args_;
  std::vector<StringRef> strings_;
  std::string heldText_;
  std::vector<HeldComment> held_;

  std::vector<RibArg> argViews_;
  std::vector<std::string_view> stringViews_;
};

void RibReader::Impl::start() {
  tokens_.restart();
  pending_ = skipping_ = ended_ = false;
  dropValues();
  held_.clear();
  heldText_.clear();
  errors_ = 0;
}

// One token's worth of reading; false once the input has ended.
bool RibReader::Impl::step() {
  if (ended_) return false;
  Token token = tokens_.next();
  switch (token.kind) {
  case TokenKind::End:
    deliver();
    releaseComments();
    ended_ = true;
    return false;
  case TokenKind::Name:
    deliver();
    releaseComments();
    begin(token);
    break;
  case TokenKind::Structure: hold(token); break;
  case TokenKind::Error:
    // A failure of the input is reported even inside a request already in error; a read that
    // failed makes the input unreadable.
    if (token.readError != 0) {
      failRead(token);
    } else if (token.afterData) {
      // Everything before it was read whole: its last request goes out first.
      deliver();
      releaseComments();
      fail(token.text, token.where);
    } else if (!skipping_ || token.ofInput) {
      fail(token.text, token.where);
    }
    break;
  default:
    if (skipping_) break;
    if (!pending_) {
      fail("value before the first request", token.where);
    } else if (token.kind == TokenKind::ArrayOpen) {
      readArray(token.where);
    } else if (token.kind == TokenKind::ArrayClose) {
      fail("']' without '['", token.where);
    } else {
      addValue(token);
    }
    break;
  }
  return true;
}

void RibReader::Impl::begin(const Token &name) {
  if (name.endsInput && !isRequestName(name.text)) {
    // A name no request has, cut by the end of the input: a file cut short, not a request.
    const std::string shown(name.text.substr(0, kShownNameMax));
    fail("the input ends in the middle of a request name ('" + shown +
             (name.text.size() > kShownNameMax ? "...')" : "')"),
         name.where);
    return;
  }
  pending_ = true;
  skipping_ = false;
  tokens_.keepValues(true);
  name_.assign(name.text.data(), name.text.size());
  where_ = name.where;
}

void RibReader::Impl::deliver() {
  if (!pending_) return;
  pending_ = false;
  stringViews_.resize(strings_.size());
  for (size_t i = 0; i < strings_.size(); ++i)
    stringViews_[i] = std::string_view(pools_.chars.data() + strings_[i].first, strings_[i].length);
  argViews_.resize(args_.size());
  for (size_t i = 0; i < args_.size(); ++i) {
    const ArgRecord &record = args_[i];
    RibArg &arg = argViews_[i];
    arg = RibArg();
    arg.type = record.type;
    arg.count = record.count;
    arg.where = record.where;
    switch (record.type) {
    case RibArgType::IntegerArray:
      if (record.count == 0) arg.strings = viewAt(stringViews_, record.firstString);
      [[fallthrough]];
    case RibArgType::Integer: arg.ints = viewAt(pools_.ints, record.firstInt); [[fallthrough]];
    case RibArgType::Float:
    case RibArgType::FloatArray: arg.floats = viewAt(pools_.floats, record.firstFloat); break;
    case RibArgType::String:
    case RibArgType::StringArray: arg.strings = viewAt(stringViews_, record.firstString); break;
    }
  }
  RibRequest request;
  request.name = name_;
  request.where = where_;
  request.args = viewAt(argViews_, 0);
  request.argCount = argViews_.size();
  ++calls_;
  handler_.request(request);
  dropValues();
}

// A "##" comment inside a request waits until the request is delivered, to keep the order.
void RibReader::Impl::hold(const Token &comment) {
  if (!pending_) {
    ++calls_;
    handler_.structure(comment.text, comment.where);
    return;
  }
  held_.push_back({heldText_.size(), comment.text.size(), comment.where});
  heldText_.append(comment.text.data(), comment.text.size());
  pools_.otherBytes += comment.text.size() + sizeof(HeldComment);
  checkLimit();
}

void RibReader::Impl::releaseComments() {
  calls_ += held_.size();
  for (const HeldComment &comment : held_)
    handler_.structure(std::string_view(heldText_.data() + comment.first, comment.length),
                       comment.where);
  held_.clear();
  heldText_.clear();
}

void RibReader::Impl::dropValues() {
  pools_.clear();
  args_.clear();
  strings_.clear();
}

// The input ends in a read error: the request being read is not delivered.
void RibReader::Impl::failRead(const Token &token) {
  ++errors_;
  pending_ = false;
  skipping_ = true;
  tokens_.keepValues(false);
  handler_.readFailed(token.readError, token.text, token.where);
  releaseComments();
  dropValues();
}

void RibReader::Impl::fail(std::string_view message, RibPosition where) {
  ++errors_;
  pending_ = false;
  skipping_ = true;
  tokens_.keepValues(false);
  handler_.error(message, where);
  releaseComments();
  dropValues();
}

// True (after reporting it) when the request has passed its limit; `passed` when the tokenizer
// already dropped values for it.
bool RibReader::Impl::checkLimit(bool passed) {
  if (!passed && pools_.bytes() <= limits_.requestBytes) return false;
  const std::string message = "request " + name_ + " is larger than the limit of " +
                              std::to_string(limits_.requestBytes) + " bytes";
  fail(message, where_);
  return true;
}

void RibReader::Impl::addString(const Token &token) {
  strings_.push_back({token.first, token.count});
  pools_.chars.push_back('\0');
  pools_.otherBytes += kHeldPerString;
}

void RibReader::Impl::addValue(const Token &token) {
  ArgRecord record{RibArgType::Integer, 1,          pools_.ints.size(), pools_.floats.size(),
                   strings_.size(),     token.where};
  if (token.glued) handler_.note("no blank between a number and the name after it", token.where);
  switch (token.kind) {
  case TokenKind::Integer:
    pools_.ints.push_back(token.number.integer);
    pools_.floats.push_back(token.number.value);
    break;
  case TokenKind::Float:
    record.type = RibArgType::Float;
    pools_.floats.push_back(token.number.value);
    break;
  case TokenKind::String:
    record.type = RibArgType::String;
    addString(token);
    break;
  case TokenKind::FloatArray:
    record.type = RibArgType::FloatArray;
    record.count = token.count;
    record.firstFloat = token.first;
    break;
  default: return;
  }
  args_.push_back(record);
  pools_.otherBytes += kHeldPerArg;
  checkLimit(token.overLimit);
}

void RibReader::Impl::readArray(RibPosition where) {
  enum class Kind { Unknown, Numbers, Texts } kind = Kind::Unknown;
  NumberArray numbers;
  numbers.firstInt = pools_.ints.size();
  const size_t firstFloat = pools_.floats.size();
  const size_t firstString = strings_.size();
  for (;;) {
    if (kind != Kind::Texts) {
      tokens_.readNumbers(numbers);
      if (pools_.floats.size() != firstFloat) kind = Kind::Numbers;
      if (checkLimit()) return;
    }
    Token token = tokens_.next();
    switch (token.kind) {
    case TokenKind::ArrayClose: {
      ArgRecord record{RibArgType::StringArray,
                       strings_.size() - firstString,
                       numbers.firstInt,
                       firstFloat,
                       firstString,
                       where};
      if (kind != Kind::Texts) {
        record.type = numbers.allIntegers ? RibArgType::IntegerArray : RibArgType::FloatArray;
        record.count = pools_.floats.size() - firstFloat;
      }
      args_.push_back(record);
      pools_.otherBytes += kHeldPerArg;
      checkLimit();
      return;
    }
    case TokenKind::Integer:
    case TokenKind::Float:
      if (kind == Kind::Texts) return fail("number in an array of strings", token.where);
      kind = Kind::Numbers;
      numbers.add(pools_, token.number);
      break;
    case TokenKind::String:
      if (kind == Kind::Numbers) return fail("string in an array of numbers", token.where);
      kind = Kind::Texts;
      addString(token);
      if (checkLimit(token.overLimit)) return;
      break;
    case TokenKind::ArrayOpen:
    case TokenKind::FloatArray: return fail("array inside an array", token.where);
    case TokenKind::Name:
      fail("unterminated array: no ']' before the next request", where);
      return begin(token);
    case TokenKind::End:
      return fail("unterminated array: no ']' before the end of the input", where);
    case TokenKind::Structure: hold(token); break;
    case TokenKind::Error: return fail(token.text, token.where);
    }
    if (checkLimit()) return;
  }
}

RibReader::RibReader(RibHandler &handler, const RibReaderLimits &limits)
    : impl_(new Impl(handler, limits)) {}

RibReader::~RibReader() = default;

bool RibReader::readFile(FILE *file) {
  impl_->input().fromFile(file, impl_->chunkBytes());
  return impl_->read();
}

bool RibReader::readMemory(const void *data, size_t size) {
  impl_->input().fromMemory(data, size, impl_->chunkBytes());
  return impl_->read();
}

void RibReader::startFile(FILE *file) {
  impl_->input().fromFile(file, impl_->chunkBytes());
  impl_->start();
}

void RibReader::startMemory(const void *data, size_t size) {
  impl_->input().fromMemory(data, size, impl_->chunkBytes());
  impl_->start();
}

bool RibReader::readNext() { return impl_->readNext(); }

} // namespace rib
