#pragma once

#include <cstdint>

namespace taktirio {

// A small, fast, seedable generator (xoshiro256**, seeded through splitmix64).
// A run owns one stream per worker; a given seed always yields the same draws.
class RandomStream {
  public:
    explicit RandomStream(std::uint64_t seed) { Reseed(seed); }

    void Reseed(std::uint64_t seed);

    std::uint64_t Next64() {
        const std::uint64_t result = Rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = Rotl(state_[3], 45);
        return result;
    }

    std::uint32_t Next32() { return static_cast<std::uint32_t>(Next64() >> 32); }

    // A uniform value in [0, range), range >= 1, without modulo bias
    // (multiply-and-shift with rejection of the short first interval).
    std::uint32_t Below(std::uint32_t range) {
        std::uint64_t product = static_cast<std::uint64_t>(Next32()) * range;
        auto low = static_cast<std::uint32_t>(product);
        if (low < range) {
            const std::uint32_t threshold = (0u - range) % range;
            while (low < threshold) {
                product = static_cast<std::uint64_t>(Next32()) * range;
                low = static_cast<std::uint32_t>(product);
            }
        }
        return static_cast<std::uint32_t>(product >> 32);
    }

    // A seed for an independent stream derived from this one (one per worker).
    std::uint64_t Split() { return Next64(); }

  private:
    static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t state_[4] = {};
};

}  // namespace taktirio
