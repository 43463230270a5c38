#include "core/solver/random_stream.h"

namespace taktirio {

void RandomStream::Reseed(std::uint64_t seed) {
    // splitmix64 spreads any seed, zero included, over the whole state.
    std::uint64_t x = seed;
    for (auto& word : state_) {
        x += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = x;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        word = z ^ (z >> 31);
    }
}

}  // namespace taktirio
