// Array<T>: a fixed-length, zero-filled array shared by reference, like the arrays the framework's
// interfaces pass around (pixel buffers, joystick readings, the game's tables).
//
// Copies of an Array share the same elements. Indexing is bounds-checked: a read outside the array
// gives T{} and a write outside it lands in a scratch element that is cleared on every such access,
// so bad indices from bad data never touch memory outside the array.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

// Elements live in a plain block (not std::vector) so that Array<bool> holds real bools that can be
// referenced like any other element.
template <class T>
struct ArrayBlock {
  explicit ArrayBlock(size_t n) : length(n), items(std::make_unique<T[]>(n)) {}
  size_t length;
  std::unique_ptr<T[]> items;
};

template <class T>
class Array {
 public:
  Array() : Array(0) {}
  explicit Array(int length)
      : items_(std::make_shared<ArrayBlock<T>>(static_cast<size_t>(std::max(length, 0)))) {}
  // Array<int>::Of({1, 2, 3}). There is deliberately no initializer-list constructor, so that
  // Array<int> a{5} means five zeros, as Array<int> a(5) does.
  static Array Of(std::initializer_list<T> values) {
    Array array(static_cast<int>(values.size()));
    std::copy(values.begin(), values.end(), array.Data());
    return array;
  }
  explicit Array(const std::vector<T>& values) : Array(static_cast<int>(values.size())) {
    std::copy(values.begin(), values.end(), Data());
  }

  int Length() const { return static_cast<int>(items_->length); }
  bool InRange(int index) const { return index >= 0 && index < Length(); }

  T& operator[](int index) {
    if (InRange(index)) return items_->items[static_cast<size_t>(index)];
    scratch_ = T{};
    return scratch_;
  }
  const T& operator[](int index) const {
    if (InRange(index)) return items_->items[static_cast<size_t>(index)];
    static const T none{};
    return none;
  }

  // Resized copy: the first min(old, new) elements are kept, the rest zero-filled.
  Array Resize(int length) const {
    Array resized(length);
    std::copy_n(Data(), std::min(resized.Length(), Length()), resized.Data());
    return resized;
  }
  void Fill(const T& value) { std::fill(begin(), end(), value); }

  T* Data() { return items_->items.get(); }
  const T* Data() const { return items_->items.get(); }
  T* begin() { return Data(); }
  T* end() { return Data() + items_->length; }
  const T* begin() const { return Data(); }
  const T* end() const { return Data() + items_->length; }

  // True when both refer to the same elements.
  bool Same(const Array& other) const { return items_ == other.items_; }

 private:
  std::shared_ptr<ArrayBlock<T>> items_;
  T scratch_{};
};
