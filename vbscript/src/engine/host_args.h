#pragma once
// The arguments of one call into a host object (a Dictionary's Item, a
// RegExp's Execute...): the usual few live on the native stack, so a call
// takes no trip to the heap; longer lists go there.
#include <cstddef>
#include <vector>

#include "vbs/variant.h"

namespace vbs {

class HostArgList {
 public:
  static constexpr size_t kInline = 4;
  HostArgList() = default;
  HostArgList(const HostArgList&) = delete;
  HostArgList& operator=(const HostArgList&) = delete;

  // Room for n values, all Empty.
  void Size(size_t n) {
    if (n > kInline) {
      heap_.resize(n);
      data_ = heap_.data();
    }
    n_ = n;
  }
  Variant* data() { return data_; }
  size_t size() const { return n_; }
  Variant& operator[](size_t i) { return data_[i]; }

 private:
  Variant inline_[kInline];
  std::vector<Variant> heap_;
  Variant* data_ = inline_;
  size_t n_ = 0;
};

}  // namespace vbs
