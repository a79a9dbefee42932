// Records: the per-row and per-key arrays of a column and the byte buffers of the readers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/System.h"

namespace tabulon {

// A growable array of plain values (integers, doubles, bytes) in ordinary heap memory. Unlike
// std::vector it can grow without writing the new elements: ResizeUninitialized leaves them as
// the memory held them, for a read or a loop that fills every one of them at once; clearing first
// would write every byte twice. Everything else behaves as std::vector's members of the same name.
// Allocation failures throw std::bad_alloc.
template <typename T>
class Records {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                "Records hold plain values that are copied byte by byte");

 public:
  using value_type = T;
  using iterator = T*;
  using const_iterator = const T*;

  Records() = default;
  Records(std::initializer_list<T> values) { assign(values.begin(), values.end()); }
  Records(const Records& other) { assign(other.begin(), other.end()); }
  Records(Records&& other) noexcept { swap(other); }
  Records& operator=(const Records& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
  }
  Records& operator=(Records&& other) noexcept {
    Records(std::move(other)).swap(*this);
    return *this;
  }
  ~Records() { std::free(data_); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t capacity() const { return capacity_; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T& back() { return data_[size_ - 1]; }
  const T& back() const { return data_[size_ - 1]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

  // Room for n records without another allocation; the records held stay.
  void reserve(size_t n) {
    if (n > capacity_) Reallocate(n);
  }
  // As reserve, in memory the system backs with large pages where it offers them: for records
  // of megabytes that are about to be filled whole, where each fresh 4 KiB page would cost a
  // fault (on the virtual machine these were timed on, large pages made a query of a million
  // rows a third faster).
  void ReserveInLargePages(size_t n) {
    if (n <= capacity_ || n > SIZE_MAX / sizeof(T)) return reserve(n);
    T* const large = static_cast<T*>(sys::AllocateLargePages(n * sizeof(T)));
    if (large == nullptr) return reserve(n);
    if (size_ > 0) std::memcpy(static_cast<void*>(large), data_, size_ * sizeof(T));
    std::free(data_);
    data_ = large;
    capacity_ = n;
  }
  // n records; new ones are zero (value-initialised), as std::vector makes them.
  void resize(size_t n) {
    const size_t old = size_;
    ResizeUninitialized(n);
    if (n > old) std::memset(static_cast<void*>(data_ + old), 0, (n - old) * sizeof(T));
  }
  // n records; new ones hold whatever the memory held. REQUIRES: the caller writes every new
  // record before it reads one.
  void ResizeUninitialized(size_t n) {
    if (n > capacity_) Reallocate(std::max(n, Grown()));
    size_ = n;
  }
  void push_back(T value) {
    if (size_ == capacity_) Reallocate(Grown());
    data_[size_++] = value;
  }
  template <typename It>
  void assign(It first, It last) {
    clear();
    const size_t n = static_cast<size_t>(std::distance(first, last));
    reserve(n);
    std::copy(first, last, data_);
    size_ = n;
  }
  // Empty; the memory stays for the next records.
  void clear() { size_ = 0; }
  // Gives back the memory beyond size().
  void shrink_to_fit() {
    if (size_ == 0) {
      Records().swap(*this);
    } else if (size_ < capacity_) {
      Reallocate(size_);
    }
  }
  void swap(Records& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
  }
  bool operator==(const Records& other) const {
    return size_ == other.size_ && std::equal(begin(), end(), other.begin());
  }

 private:
  size_t Grown() const { return capacity_ < 8 ? 16 : capacity_ * 2; }
  // Moves the records into memory for n (>= size_) records; realloc can often grow in place.
  void Reallocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    void* moved = std::realloc(static_cast<void*>(data_), std::max<size_t>(n, 1) * sizeof(T));
    if (moved == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(moved);
    capacity_ = n;
  }

  T* data_ = nullptr;    // malloc'ed memory for capacity_ records, or nullptr
  size_t size_ = 0;      // records in use
  size_t capacity_ = 0;  // records data_ has room for
};

}  // namespace tabulon
