// PodBuffer.h - a growable array of plain values that the reader keeps from request to request:
// growing never initialises the new room, and a loop can write through a pointer after asking
// for room once, instead of checking the capacity per value.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace rib {

template <typename T> class PodBuffer {
  static_assert(std::is_trivially_copyable<T>::value, "plain values only");

public:
  PodBuffer() = default;
  ~PodBuffer() { std::free(data_); }
  PodBuffer(const PodBuffer &) = delete;
  PodBuffer &operator=(const PodBuffer &) = delete;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T *data() { return data_; }
  const T *data() const { return data_; }
  T &operator[](size_t i) { return data_[i]; }
  const T &operator[](size_t i) const { return data_[i]; }

  void clear() { size_ = 0; }
  /// Sets the size; new elements are uninitialised.
  void resize(size_t n) {
    reserve(n);
    size_ = n;
  }
  void push_back(const T &value) {
    if (size_ == capacity_) reserve(size_ + 1);
    data_[size_++] = value;
  }
  void append(const T *values, size_t n) {
    if (n == 0) return;
    reserve(size_ + n);
    std::memcpy(data_ + size_, values, n * sizeof(T));
    size_ += n;
  }

  /// Room for `more` values after the last; returns where the next one goes.
  T *room(size_t more) {
    reserve(size_ + more);
    return data_ + size_;
  }
  /// Ends the buffer at `end`, a pointer into the room asked for.
  void commit(const T *end) { size_ = static_cast<size_t>(end - data_); }

  void reserve(size_t least) {
    if (least <= capacity_) return;
    size_t grown = capacity_ < 512 ? 1024 : capacity_ * 2;
    if (grown < least) grown = least;
    T *larger = static_cast<T *>(std::realloc(data_, grown * sizeof(T)));
    if (!larger) throw std::bad_alloc();
    data_ = larger;
    capacity_ = grown;
  }

private:
  T *data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

} // namespace rib
