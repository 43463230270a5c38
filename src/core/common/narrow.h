#pragma once

#include <cstddef>
#include <cstdint>

namespace taktirio {

// Narrowing casts for values whose range was checked before they got here:
// class, teacher and slot numbers, counts and hours.

// An array index from a number known to be 0 or more.
template <typename T>
constexpr std::size_t AsIndex(T value) {
    return static_cast<std::size_t>(value);
}

// A byte from a number known to lie in 0..255.
template <typename T>
constexpr std::uint8_t AsByte(T value) {
    return static_cast<std::uint8_t>(value);
}

}  // namespace taktirio
