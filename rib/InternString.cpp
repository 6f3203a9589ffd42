#include "rib/InternString.h"

#include <cstdint>
#include <cstring>

SymbolTable gStringTable(12289);

namespace {

constexpr size_t kPoolBlockText = 1024;
constexpr size_t kPooledMax = 16; // bytes, terminator included

struct PoolBlock {
  char text[kPoolBlockText];
  int32_t used;
  PoolBlock *next;
};

PoolBlock *gPoolHead = nullptr; // newest block first

char *poolSpace(size_t size) {
  PoolBlock *block = gPoolHead;
  while (block && !(block->used + size + 1 < kPoolBlockText)) block = block->next;
  if (!block) {
    block = new PoolBlock;
    block->used = 0;
    block->next = gPoolHead;
    gPoolHead = block;
  }
  char *at = block->text + block->used;
  block->used += static_cast<int32_t>(size);
  return at;
}

char *storeCopy(const char *text, size_t length) {
  size_t size = length + 1;
  char *copy = size > kPooledMax ? new char[size] : poolSpace(size);
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

} // namespace

char *internString(const char *text) {
  if (!text) return nullptr;
  if (Symbol *found = gStringTable.find(text)) return const_cast<char *>(found->key);
  char *copy = storeCopy(text, std::strlen(text));
  gStringTable.insert(new Symbol(copy), false);
  return copy;
}

char *internString(const char *text, size_t length) {
  // Short prefixes are looked up from a terminated copy on the stack; long ones need the heap once.
  char local[256];
  if (length < sizeof local) {
    std::memcpy(local, text, length);
    local[length] = '\0';
    return internString(local);
  }
  char *copy = new char[length + 1];
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  char *interned = internString(copy);
  delete[] copy;
  return interned;
}
