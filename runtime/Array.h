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

template <class T>
class Array {
 public:
  Array() : Array(0) {}
  explicit Array(int length)
      : items_(std::make_shared<std::vector<T>>(static_cast<size_t>(std::max(length, 0)))) {}
  Array(std::initializer_list<T> values) : items_(std::make_shared<std::vector<T>>(values)) {}
  explicit Array(std::vector<T> values)
      : items_(std::make_shared<std::vector<T>>(std::move(values))) {}

  int Length() const { return static_cast<int>(items_->size()); }
  bool InRange(int index) const { return index >= 0 && index < Length(); }

  T& operator[](int index) {
    if (InRange(index)) return (*items_)[static_cast<size_t>(index)];
    scratch_ = T{};
    return scratch_;
  }
  const T& operator[](int index) const {
    if (InRange(index)) return (*items_)[static_cast<size_t>(index)];
    static const T none{};
    return none;
  }

  // Resized copy: the first min(old, new) elements are kept, the rest zero-filled.
  Array Resize(int length) const {
    std::vector<T> values(static_cast<size_t>(std::max(length, 0)));
    std::copy_n(items_->begin(), std::min(values.size(), items_->size()), values.begin());
    return Array(std::move(values));
  }
  void Fill(const T& value) { std::fill(items_->begin(), items_->end(), value); }

  T* Data() { return items_->data(); }
  const T* Data() const { return items_->data(); }
  auto begin() { return items_->begin(); }
  auto end() { return items_->end(); }
  auto begin() const { return items_->cbegin(); }
  auto end() const { return items_->cend(); }

  // True when both refer to the same elements.
  bool Same(const Array& other) const { return items_ == other.items_; }

 private:
  std::shared_ptr<std::vector<T>> items_;
  T scratch_{};
};
