#pragma once
// A list of untyped pointers that crosses the boundary between the program and
// the quote library. The list never owns what its items point to.

#include <cstddef>
#include <vector>

namespace vcl {

class TList final {
 public:
  // Appends `item`; returns its index.
  int Add(void* item) {
    items_.push_back(item);
    return static_cast<int>(items_.size()) - 1;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  // Precondition: 0 <= index < Count().
  void* Get(int index) const { return items_[static_cast<size_t>(index)]; }
  void Put(int index, void* item) { items_[static_cast<size_t>(index)] = item; }
  void Delete(int index) { items_.erase(items_.begin() + index); }
  void Clear() { items_.clear(); }

 private:
  std::vector<void*> items_;
};

}  // namespace vcl
