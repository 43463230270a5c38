#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace taktirio {

// A two-dimensional table of bytes stored as one flat block, row after row.
// The solver reads these tables millions of times a second, so element access
// is unchecked; every index that reaches it has been validated before the
// search starts. `at` is the checked form for code outside the hot path.
class ByteMatrix {
  public:
    ByteMatrix() = default;
    ByteMatrix(std::size_t rows, std::size_t cols, std::uint8_t fill = 0)
        : rows_(rows), cols_(cols), data_(rows * cols, fill) {}

    std::size_t rows() const { return rows_; }
    std::size_t cols() const { return cols_; }
    bool empty() const { return data_.empty(); }

    std::uint8_t* row(std::size_t r) { return data_.data() + r * cols_; }
    const std::uint8_t* row(std::size_t r) const { return data_.data() + r * cols_; }

    std::uint8_t& operator()(std::size_t r, std::size_t c) { return data_[r * cols_ + c]; }
    std::uint8_t operator()(std::size_t r, std::size_t c) const { return data_[r * cols_ + c]; }

    // Bounds-checked access; throws std::out_of_range.
    std::uint8_t& at(std::size_t r, std::size_t c);
    std::uint8_t at(std::size_t r, std::size_t c) const;

    bool contains(std::size_t r, std::size_t c) const { return r < rows_ && c < cols_; }

    friend bool operator==(const ByteMatrix&, const ByteMatrix&) = default;

  private:
    std::size_t rows_ = 0;
    std::size_t cols_ = 0;
    std::vector<std::uint8_t> data_;
};

}  // namespace taktirio
