#include "InternString.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

namespace rib {

SymbolTable gStringTable(12289);

namespace {

// Contexts on several threads intern into the one table and pool: one at a time. The copies never
// move, so a pointer handed out stays valid without the lock.
std::mutex &internLock() {
  static std::mutex lock;
  return lock;
}

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

// A long text gets a block of its own: a link to the previous long block, then the text. The
// chain keeps every copy reachable to the end.
void *gLongTexts = nullptr;

char *longSpace(size_t size) {
  void **block = static_cast<void **>(::operator new(sizeof(void *) + size));
  *block = gLongTexts;
  gLongTexts = block;
  return reinterpret_cast<char *>(block + 1);
}

char *storeCopy(const char *text, size_t length) {
  size_t size = length + 1;
  char *copy = size > kPooledMax ? longSpace(size) : poolSpace(size);
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

} // namespace

char *internString(const char *text) {
  if (!text) return nullptr;
  std::lock_guard<std::mutex> held(internLock());
  if (Symbol *found = gStringTable.find(text)) return const_cast<char *>(found->key);
  // A copy whose entry cannot be made stays in the pool, reachable, unused.
  char *copy = storeCopy(text, std::strlen(text));
  std::unique_ptr<Symbol> entry(new Symbol(copy));
  gStringTable.insert(entry.get(), false);
  entry.release(); // the table owns it
  return copy;
}

const char *findInterned(const char *text) {
  if (!text) return nullptr;
  std::lock_guard<std::mutex> held(internLock());
  Symbol *found = gStringTable.find(text);
  return found ? found->key : nullptr;
}

char *internString(const char *text, size_t length) {
  // Short prefixes are looked up from a terminated copy on the stack; long ones need the heap once.
  char local[256];
  if (length < sizeof local) {
    std::memcpy(local, text, length);
    local[length] = '\0';
    return internString(local);
  }
  std::unique_ptr<char[]> copy(new char[length + 1]);
  std::memcpy(copy.get(), text, length);
  copy[length] = '\0';
  return internString(copy.get());
}

} // namespace rib
