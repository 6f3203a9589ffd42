#include "sim/Arena.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Blocks are chained through their first word; the head is a plain static
// pointer, never destroyed, so every block stays reachable until exit.
constexpr std::size_t kBlockSize = std::size_t(1) << 20;

struct Block {
    Block *previous;
};

Block *gBlocks = nullptr;
char *gNext = nullptr;
char *gEnd = nullptr;

char *alignUp(char *p, std::size_t align) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(p);
    value = (value + align - 1) & ~(std::uintptr_t(align) - 1);
    return reinterpret_cast<char *>(value);
}

char *newBlock(std::size_t bytes) {
    void *memory = std::malloc(bytes);
    if (memory == nullptr) {
        std::fputs("wobblerama: out of memory for the simulation\n", stderr);
        std::abort();
    }
    Block *block = static_cast<Block *>(memory);
    block->previous = gBlocks;
    gBlocks = block;
    return static_cast<char *>(memory) + sizeof(std::max_align_t);
}

}  // namespace

void *allocateForever(std::size_t size, std::size_t align) {
    char *start = gNext ? alignUp(gNext, align) : nullptr;
    if (start == nullptr || size > std::size_t(gEnd - start)) {
        std::size_t payload = size > kBlockSize / 2 ? size : kBlockSize;
        start = newBlock(payload + sizeof(std::max_align_t));
        if (payload == size) return start;  // oversized: a block of its own
        gEnd = start + payload;
    }
    gNext = start + size;
    return start;
}
