// The growable array every list of a device-series record is held in.
#pragma once

#include <cstddef>
#include <vector>

namespace devseries {

// A list of records held by value, in order. New slots are default-constructed
// (numbers 0 unless the record's constructor says otherwise). Indices and
// sizes are 32-bit signed ints, as the document's lists are.
template <class T>
class GrowableArray {
 public:
  GrowableArray() = default;

  int size() const { return static_cast<int>(items_.size()); }
  bool empty() const { return items_.empty(); }

  T& operator[](int index) { return items_[static_cast<std::size_t>(index)]; }
  const T& operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }

  // Sets the size. Size 0 releases the storage; slots beyond the old size are
  // default-constructed; slots beyond the new size are destroyed. A negative
  // size is ignored.
  void setSize(int newSize) {
    if (newSize < 0) return;
    if (newSize == 0) {
      std::vector<T>().swap(items_);
      return;
    }
    items_.resize(static_cast<std::size_t>(newSize));
  }

  // Stores a copy of |value| at |index|, first growing the array to
  // index + 1 when the index is at or beyond the size (index == size
  // appends). A negative index is ignored.
  void setAt(int index, const T& value) {
    if (index < 0) return;
    if (index >= size()) setSize(index + 1);
    items_[static_cast<std::size_t>(index)] = value;
  }

  // Appends a copy of |value| and returns its index.
  int add(const T& value) {
    items_.push_back(value);
    return size() - 1;
  }

  // Removes |count| entries from |index| on, moving later ones down. Fails
  // without change (false) for a negative index or count, or when
  // index + count exceeds the size.
  bool removeAt(int index, int count = 1) {
    if (index < 0 || count < 0 || static_cast<long long>(index) + count > size()) return false;
    auto first = items_.begin() + index;
    items_.erase(first, first + count);
    return true;
  }

  void clear() { setSize(0); }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  friend bool operator==(const GrowableArray&, const GrowableArray&) = default;

 private:
  std::vector<T> items_;
};

}  // namespace devseries
