#include "sim/Arena.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Blocks are chained through their first word; the head is a plain static
// pointer, never destroyed, so every block stays reachable until exit.
constexpr std::size_t kBlockSize = std::size_t(1) << 20;
// Blocks start on a cache line; the chain pointer takes the first one.
constexpr std::size_t kMaxAlign = 64;
constexpr std::size_t kHeader = kMaxAlign;

struct Block {
  Block *previous;
};

Block *gBlocks = nullptr;
char *gNext = nullptr;
char *gEnd = nullptr;

// Bytes to skip from p to the next multiple of align.
std::size_t paddingFor(const char *p, std::size_t align) {
  std::uintptr_t value = reinterpret_cast<std::uintptr_t>(p);
  return std::size_t((align - value % align) % align);
}

[[noreturn]] void outOfMemory() {
  std::fputs("wobblerama: out of memory for the simulation\n", stderr);
  std::abort();
}

// A block with room for `bytes` after its header, which holds the chain.
char *newBlock(std::size_t bytes) {
  if (bytes > (std::size_t(-1) >> 1)) outOfMemory();
  std::size_t total = (bytes + kHeader + kMaxAlign - 1) / kMaxAlign * kMaxAlign;
  void *memory = std::aligned_alloc(kMaxAlign, total);
  if (memory == nullptr) outOfMemory();
  Block *block = static_cast<Block *>(memory);
  block->previous = gBlocks;
  gBlocks = block;
  return static_cast<char *>(memory) + kHeader;
}

} // namespace

void *allocateForever(std::size_t size, std::size_t align) {
  if (gNext != nullptr) {
    std::size_t padding = paddingFor(gNext, align);
    std::size_t room = std::size_t(gEnd - gNext);
    if (padding <= room && size <= room - padding) {
      char *start = gNext + padding;
      gNext = start + size;
      return start;
    }
  }
  if (size > kBlockSize / 2) return newBlock(size); // a block of its own
  char *start = newBlock(kBlockSize);
  gEnd = start + kBlockSize;
  gNext = start + size;
  return start;
}
