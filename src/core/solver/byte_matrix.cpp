#include "core/solver/byte_matrix.h"

#include <stdexcept>
#include <string>

namespace taktirio {

namespace {
[[noreturn]] void ThrowOutOfRange(std::size_t r, std::size_t c, std::size_t rows,
                                  std::size_t cols) {
    throw std::out_of_range("byte table index [" + std::to_string(r) + "][" + std::to_string(c) +
                            "] outside [" + std::to_string(rows) + "][" + std::to_string(cols) +
                            "]");
}
}  // namespace

std::uint8_t& ByteMatrix::at(std::size_t r, std::size_t c) {
    if (!contains(r, c)) {
        ThrowOutOfRange(r, c, rows_, cols_);
    }
    return (*this)(r, c);
}

std::uint8_t ByteMatrix::at(std::size_t r, std::size_t c) const {
    if (!contains(r, c)) {
        ThrowOutOfRange(r, c, rows_, cols_);
    }
    return (*this)(r, c);
}

}  // namespace taktirio
