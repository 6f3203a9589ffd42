#include "CompactCodes.h"

#include <cstring>
#include <new>

namespace rib {
namespace {

constexpr size_t kFirstSlots = 1024;
constexpr size_t kMostSlots = 2 * CompactCodes::kStringCodes;

uint32_t hashText(const char *text, size_t length) {
  uint32_t hash = 2166136261u; // FNV-1a
  for (size_t i = 0; i < length; ++i)
    hash = (hash ^ static_cast<unsigned char>(text[i])) * 16777619u;
  return hash | 1u; // never 0, which marks an empty slot
}

size_t cacheIndex(const char *name) {
  return (reinterpret_cast<uintptr_t>(name) >> 3) % CompactCodes::kRequestCodes;
}

} // namespace

int CompactCodes::findRequest(const char *name) const {
  for (size_t code = 0; code < requests_.size(); ++code)
    if (requests_[code] == name) return static_cast<int>(code);
  return -1;
}

int CompactCodes::requestCode(const char *name, bool &define) {
  define = false;
  Cached &cached = requestCache_[cacheIndex(name)];
  if (cached.name == name) return cached.code; // the same literal
  int code = findRequest(name);
  if (code < 0) {
    if (requests_.size() == kRequestCodes) return -1;
    try {
      requests_.emplace_back(name);
    } catch (const std::bad_alloc &) {
      return -1; // written in place
    }
    code = static_cast<int>(requests_.size() - 1);
    define = true;
  }
  cached = {name, code};
  return code;
}

CompactCodes::Slot *CompactCodes::findSlot(const char *text, size_t length, uint32_t hash) {
  const size_t mask = slotCount_ - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot &slot = slots_[i];
    if (slot.hash == 0) return &slot;
    if (slot.hash == hash && slot.length == length &&
        std::memcmp(texts_.data() + slot.offset, text, length) == 0)
      return &slot;
  }
}

bool CompactCodes::grow() {
  const size_t count = slotCount_ == 0 ? kFirstSlots : 2 * slotCount_;
  std::unique_ptr<Slot[]> slots(new (std::nothrow) Slot[count]());
  if (!slots) return false;
  std::swap(slots, slots_);
  const size_t old = slotCount_;
  slotCount_ = count;
  for (size_t i = 0; i < old; ++i) {
    const Slot &slot = slots[i];
    if (slot.hash != 0) *findSlot(texts_.data() + slot.offset, slot.length, slot.hash) = slot;
  }
  return true;
}

long CompactCodes::stringCode(const char *text, size_t length, bool &define) {
  define = false;
  if (length < kShortestDefined || length > kLongestDefined) return -1;
  const uint32_t hash = hashText(text, length);
  Slot *slot = slotCount_ > 0 ? findSlot(text, length, hash) : nullptr;
  if (slot && slot->hash != 0) {
    if (slot->code >= 0) return slot->code;
    if (nextCode_ == kStringCodes) return -1;
    slot->code = static_cast<int32_t>(nextCode_++);
    define = true;
    return slot->code;
  }
  // First seen: remembered while there is room, written in place.
  if (texts_.size() + length > kTextBytes) return -1;
  if (2 * (used_ + 1) > slotCount_) {
    if (slotCount_ == kMostSlots || !grow()) return -1;
    slot = findSlot(text, length, hash);
  }
  try {
    texts_.insert(texts_.end(), text, text + length);
  } catch (const std::bad_alloc &) {
    return -1;
  }
  *slot = {hash, static_cast<uint32_t>(texts_.size() - length), static_cast<uint32_t>(length), -1};
  ++used_;
  return -1;
}

} // namespace rib
