// IndexPath: the place of a row in a table, a section and a row within it, both zero-based.
#pragma once

#include <cstddef>

namespace allot::kit {

class IndexPath {
 public:
  explicit IndexPath(std::size_t row, std::size_t section = 0) : row_(row), section_(section) {}

  std::size_t row() const { return row_; }
  std::size_t section() const { return section_; }

  friend bool operator==(const IndexPath&, const IndexPath&) = default;

 private:
  std::size_t row_;
  std::size_t section_;
};

}  // namespace allot::kit
