#include "SymbolTable.h"

#include <charconv>
#include <cstring>
#include <new>

#include "DoubleText.h"

namespace rib {

uint32_t symbolHash(const char *text) {
  uint32_t h = 0;
  if (!text) return 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
    h = (h << 4) + *p;
    uint32_t g = h & 0xF0000000u;
    if (g != 0) h = h ^ (g >> 24) ^ g;
  }
  return h;
}

namespace {

bool sameKey(const Symbol *entry, const char *key, uint32_t hash) {
  if (entry->hash != hash) return false;
  if (entry->key == key) return true;
  return entry->key && key && std::strcmp(entry->key, key) == 0;
}

// Statistics may be read under any locale: format "%g" without the C library.
void printG(FILE *stream, double value) {
  char text[64];
  fwrite(text, 1, doubleText(text, sizeof text, value, DoubleForm::General, 6), stream);
}

} // namespace

SymbolTable::~SymbolTable() {
  if (!buckets_) return;
  for (uint32_t b = 0; b < bucketCount_; ++b) {
    Symbol *entry = buckets_[b];
    while (entry) {
      Symbol *next = entry->next;
      delete entry;
      entry = next;
    }
  }
  delete[] buckets_;
  // A static destructor running after this one finds an empty table, not freed memory.
  buckets_ = nullptr;
}

Symbol **SymbolTable::buckets() {
  if (!buckets_) buckets_ = new Symbol *[bucketCount_]();
  return buckets_;
}

bool SymbolTable::isVisible(int32_t scope) const {
  if (scope == currentScope_) return true;
  for (int32_t i = depth_; i >= 0; --i)
    if (scopeStack_[i] == scope) return true;
  return false;
}

int SymbolTable::insert(Symbol *symbol, bool allowDuplicate) {
  Symbol *&head = buckets()[symbol->hash % bucketCount_];
  int seen = 0;
  for (Symbol *entry = head; entry; entry = entry->next)
    if (sameKey(entry, symbol->key, symbol->hash)) {
      seen = 1;
      break;
    }
  if (seen && !allowDuplicate) return 1;
  if (!head) ++stats_.bucketsUsed;
  symbol->next = head;
  symbol->level = level_;
  symbol->scope = currentScope_;
  head = symbol;
  ++stats_.entriesAdded;
  if (++entries_ > kMaxLoad * static_cast<uint64_t>(bucketCount_)) grow();
  return seen;
}

void SymbolTable::grow() {
  if (bucketCount_ > kMaxBuckets / 2) return;
  const uint32_t count = 2 * bucketCount_ + 1;
  Symbol **grown = new (std::nothrow) Symbol *[count]();
  if (!grown) return; // longer chains, still correct
  for (uint32_t b = 0; b < bucketCount_; ++b) {
    // Reversed first, then pushed in front: entries with equal keys, which always share a
    // bucket, keep their order (the newest first).
    Symbol *reversed = nullptr;
    for (Symbol *entry = buckets_[b]; entry;) {
      Symbol *next = entry->next;
      entry->next = reversed;
      reversed = entry;
      entry = next;
    }
    while (reversed) {
      Symbol *next = reversed->next;
      Symbol *&head = grown[reversed->hash % count];
      reversed->next = head;
      head = reversed;
      reversed = next;
    }
  }
  delete[] buckets_;
  buckets_ = grown;
  bucketCount_ = count;
  stats_.bucketsUsed = 0;
  for (uint32_t b = 0; b < count; ++b)
    if (buckets_[b]) ++stats_.bucketsUsed;
}

Symbol *SymbolTable::find(const char *key) {
  ++stats_.lookups;
  uint32_t hash = symbolHash(key);
  // Looking up never allocates: a table without buckets has no entries.
  Symbol *entry = buckets_ ? buckets_[hash % bucketCount_] : nullptr;
  while (entry) {
    if (sameKey(entry, key, hash) && isVisible(entry->scope)) {
      ++stats_.found;
      return entry;
    }
    entry = entry->next;
    if (entry) ++stats_.extraSteps;
  }
  ++stats_.misses;
  return nullptr;
}

Symbol *SymbolTable::peek(const char *key) const {
  const uint32_t hash = symbolHash(key);
  for (Symbol *entry = buckets_ ? buckets_[hash % bucketCount_] : nullptr; entry;
       entry = entry->next)
    if (sameKey(entry, key, hash) && isVisible(entry->scope)) return entry;
  return nullptr;
}

Symbol *SymbolTable::findNext(const Symbol *symbol) const {
  for (Symbol *entry = symbol->next; entry; entry = entry->next) {
    if (!sameKey(entry, symbol->key, symbol->hash)) continue;
    if (entry->scope == symbol->scope) return entry;
    for (int32_t i = depth_; i >= 0; --i)
      if (scopeStack_[i] == entry->scope) return entry;
  }
  return nullptr;
}

bool SymbolTable::pushScope() {
  if (depth_ + 1 >= kMaxScopeDepth) return false;
  scopeStack_[++depth_] = currentScope_;
  currentScope_ = nextScope_++;
  return true;
}

void SymbolTable::popScope(bool unlink) {
  if (depth_ == 0) return;
  if (unlink && buckets_) {
    for (uint32_t b = 0; b < bucketCount_; ++b) {
      Symbol **link = &buckets_[b];
      while (*link) {
        if ((*link)->scope == currentScope_) {
          Symbol *leaving = *link;
          *link = leaving->next;
          leaving->next = nullptr;
          --entries_;
        } else {
          link = &(*link)->next;
        }
      }
    }
  }
  currentScope_ = scopeStack_[depth_--];
}

void SymbolTable::deleteLevel(int32_t level) {
  if (buckets_) {
    for (uint32_t b = 0; b < bucketCount_; ++b) {
      Symbol **link = &buckets_[b];
      while (*link) {
        if ((*link)->level == level) {
          Symbol *leaving = *link;
          *link = leaving->next;
          delete leaving;
          --entries_;
        } else {
          link = &(*link)->next;
        }
      }
    }
  }
  level_ = level - 1;
}

void SymbolTable::forEach(void (*visit)(Symbol *symbol, void *context), void *context) const {
  if (!buckets_) return;
  for (uint32_t b = 0; b < bucketCount_; ++b) {
    Symbol *entry = buckets_[b];
    while (entry) {
      Symbol *next = entry->next; // the visitor may unlink or reuse the entry
      visit(entry, context);
      entry = next;
    }
  }
}

void SymbolTable::printStats(FILE *stream) const {
  fputs("Symbol table statistics:\n", stream);
  fprintf(stream, "  %d entries added to table in %d distinct buckets\n", stats_.entriesAdded,
          stats_.bucketsUsed);
  fputs("  ", stream);
  printG(stream, stats_.bucketsUsed * 100.0 / bucketCount_);
  fputs("% of buckets used, avg. ", stream);
  printG(stream, static_cast<double>(stats_.entriesAdded) / stats_.bucketsUsed);
  fputs(" entries per bucket.\n", stream);
  fprintf(stream, "  %d total lookups, %d found, %d misses.\n", stats_.lookups, stats_.found,
          stats_.misses);
  fprintf(stream, "  %d extra chain walking steps (", stats_.extraSteps);
  printG(stream, static_cast<double>(stats_.extraSteps) / (stats_.lookups + 1));
  fputs(" probes per lookup)\n", stream);
  fflush(stream);
}

} // namespace rib
