#pragma once
// The one seedable source behind the random effects. Each operation draws one seed from it and
// derives an independent generator per scan line, so a result depends only on the seed and
// the image, not on how the work was split between threads.

#include <cstdint>

namespace kelvra::fx {

void setRandomSeed(std::uint64_t seed);
std::uint64_t nextOperationSeed();

// SplitMix64: tiny, fast and good enough for visual noise.
class LineRandom {
public:
    LineRandom(std::uint64_t operationSeed, unsigned line)
        : state_(operationSeed ^ (0xD1B54A32D192ED03ull * (std::uint64_t(line) + 1))) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n) for n ≤ 2^32.
    std::uint32_t below(std::uint32_t n) { return std::uint32_t(((next() >> 32) * n) >> 32); }

private:
    std::uint64_t state_;
};

}  // namespace kelvra::fx
