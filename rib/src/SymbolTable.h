// SymbolTable.h - the scoped hash table behind interned strings and parameter declarations.
//
// Entries are Symbols keyed by a text (not owned) and chained per bucket. A table starts empty with
// the bucket count it is given and allocates its buckets on the first insertion, so the
// process-wide tables need no start-up code and can be used from any static initialiser. When it
// holds more than two entries per bucket it doubles its buckets, so that a hostile input of a
// million distinct names costs time linear in their number, not quadratic.
//
//     SymbolTable table(5003);
//     table.insert(new Symbol(key), false);
//     Symbol *found = table.find("Ka");
//
// Scopes: every entry records the scope that was current when it was inserted, and is visible
// while that scope or one of the scopes saved below it on the stack is current.
//
// The scopes (pushScope, popScope) and the statistics (stats, printStats) are used by nothing in
// the library, whose tables have one scope: they are kept, with their tests, because the library's
// documented interface lists them.
#pragma once

#include <cstdint>
#include <cstdio>

namespace rib {

/// ELF hash of a text; 0 for null.
uint32_t symbolHash(const char *text);

struct Symbol {
  const char *key; // not owned
  uint32_t hash;
  int32_t level = 0;      // the table's level at insertion
  int32_t scope = 0;      // the table's current scope at insertion
  Symbol *next = nullptr; // next entry in the same bucket

  explicit Symbol(const char *keyText) : key(keyText), hash(symbolHash(keyText)) {}
  virtual ~Symbol() {}
  Symbol(const Symbol &) = delete;
  Symbol &operator=(const Symbol &) = delete;
};

struct SymbolTableStats {
  int32_t lookups = 0;
  int32_t found = 0;
  int32_t misses = 0;
  int32_t extraSteps = 0;
  int32_t entriesAdded = 0;
  int32_t bucketsUsed = 0;
};

class SymbolTable {
public:
  static constexpr int kMaxScopeDepth = 256;
  /// Entries per bucket beyond which the buckets double.
  static constexpr uint64_t kMaxLoad = 2;
  static constexpr uint32_t kMaxBuckets = UINT32_C(1) << 30;

  explicit constexpr SymbolTable(uint32_t bucketCount) : bucketCount_(bucketCount) {}
  /// Destroys every entry and frees the buckets.
  ~SymbolTable();
  SymbolTable(const SymbolTable &) = delete;
  SymbolTable &operator=(const SymbolTable &) = delete;

  /// Puts `symbol` at the head of its bucket unless an equal key exists and !allowDuplicate; the
  /// buckets may grow then.
  /// Returns 1 when an equal key was already there (whether or not it inserted), else 0.
  int insert(Symbol *symbol, bool allowDuplicate);
  /// The visible entry with this key, or null.
  Symbol *find(const char *key);
  /// The same without counting it in the statistics: changes nothing, so threads may share a
  /// table that no longer changes.
  Symbol *peek(const char *key) const;
  /// The next entry after `symbol` in its bucket with an equal key and a visible scope.
  Symbol *findNext(const Symbol *symbol) const;

  /// Enters a new scope. Returns false (and changes nothing) when kMaxScopeDepth are open.
  bool pushScope();
  /// Leaves the current scope; with `unlink`, its entries leave the buckets (not destroyed).
  /// Does nothing at the outermost scope.
  void popScope(bool unlink);
  /// Destroys the entries of `level` and sets the table's level to level - 1.
  void deleteLevel(int32_t level);
  /// Calls `visit` for every entry.
  void forEach(void (*visit)(Symbol *symbol, void *context), void *context) const;

  void printStats(FILE *stream) const;
  const SymbolTableStats &stats() const { return stats_; }
  uint32_t bucketCount() const { return bucketCount_; }
  int32_t level() const { return level_; }
  void setLevel(int32_t level) { level_ = level; }
  int32_t currentScope() const { return currentScope_; }

private:
  bool isVisible(int32_t scope) const;
  Symbol **buckets();
  /// Doubles the buckets (plus one), keeping each chain's order; without memory it keeps them.
  void grow();

  Symbol **buckets_ = nullptr;
  uint32_t bucketCount_;
  uint64_t entries_ = 0; // entries linked in the buckets
  int32_t level_ = 0;
  int32_t currentScope_ = 0;
  int32_t nextScope_ = 1;
  int32_t scopeStack_[kMaxScopeDepth] = {};
  int32_t depth_ = 0;
  SymbolTableStats stats_;
};

} // namespace rib
