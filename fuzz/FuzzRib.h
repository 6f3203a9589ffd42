// FuzzRib.h - what the RIB library's fuzz targets share.
//
// Each target runs requests on one context per process whose file is emptied before every input,
// so that what one input wrote can be read back and checked:
//
//     RibWriter &rib = fuzzrib::freshContext(binary);
//     rib.SurfaceV(name, n, tokens, values);
//     fuzzrib::checkAsciiRib(fuzzrib::written(rib));   // aborts on an open quote or raw newline
//
// Arrays handed to the library are heap blocks of exactly the length the request's rules give
// (ExactArray, TextStore), so that AddressSanitizer stops any read one element past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "RibWriter.h"

namespace fuzzrib {

/// The process's context, writing to a scratch file that is emptied now; `binary` selects the
/// float encoding for this input. RiLastError starts again from 0.
rib::RibWriter &freshContext(bool binary);
/// Everything the context wrote since freshContext.
std::string written(rib::RibWriter &rib);

/// Aborts unless `rib` is well-formed ASCII RIB as far as quoting goes: every quoted text is
/// closed, holds no raw newline, and every line outside quotes and comments ends with a newline;
/// no comment holds a carriage return and no number reads "nan" or "inf".
void checkAsciiRib(const std::string &rib);
/// Reads what the context wrote (`written`, ASCII or binary) back through the RIB reader and the
/// request dispatch into a context that writes nowhere. Aborts on a syntax error, which nothing
/// the library writes may hold; and, where the requests were `wellFormed` and the library
/// reported nothing since freshContext, on any problem the dispatch finds.
void checkReadsBack(const std::string &written, bool wellFormed);
/// The dispatch's context, for inputs read as they come (the reader's target).
rib::RibWriter &readBackContext();
/// True when one of the tokens is a vertex position ("P", "Pw" or "Pz" of class vertex), from
/// which a polygon or points primitive read back takes its size.
bool hasVertexPositions(const std::vector<RtToken> &tokens);
/// The quoted texts of one line of ASCII RIB, unescaped, in order.
std::vector<std::string> quotedTexts(const std::string &line);
/// Aborts with `what` on standard error; used for broken properties (as a crash for the fuzzer).
[[noreturn]] void fail(const char *what);

/// A heap array of exactly n elements (n < 0 counts as 0): a zero-length block is still a block of
/// its own, so that even the first element is outside it.
template <typename T> class ExactArray {
public:
  explicit ExactArray(long long n)
      : size_(n < 0 ? 0 : static_cast<size_t>(n)), data_(new T[size_]) {}
  T *get() { return data_.get(); }
  T &operator[](size_t i) { return data_[i]; }
  size_t size() const { return size_; }

private:
  size_t size_;
  std::unique_ptr<T[]> data_;
};

/// Zero-terminated texts that live as long as the store, each in a block of exactly its length.
class TextStore {
public:
  /// A copy of `text` in a block of its own.
  char *keep(const std::string &text);
  /// A text of up to maxLength bytes from the fuzzer's data (any byte but zero).
  char *take(FuzzedDataProvider &data, size_t maxLength);

private:
  std::vector<std::unique_ptr<char[]>> texts_;
};

/// A fuzzer-chosen float: now and then NaN or an infinity, which the library leaves out with the
/// request that holds it.
RtFloat takeFloat(FuzzedDataProvider &data);
/// Fills an exact array with fuzzer-chosen values.
void fillFloats(FuzzedDataProvider &data, ExactArray<RtFloat> &values);
void fillInts(FuzzedDataProvider &data, ExactArray<RtInt> &values, RtInt min, RtInt max);

/// Values for a declared parameter: `elements` elements of the token's declared type, in an exact
/// block (texts from the store for string types). Null when the token is undeclared or its type
/// has no written form; `tooLarge` is set when the block would exceed a sane size for a fuzz run.
struct ParamValues {
  std::unique_ptr<char[]> block;
  bool tooLarge = false;
};
ParamValues valuesFor(FuzzedDataProvider &data, TextStore &texts, const char *token,
                      long long elements);

} // namespace fuzzrib
