#include "imaging/effects/Random.h"

#include "imaging/fipSuperImage.h"

#include <mutex>
#include <random>

namespace kelvra::fx {

namespace {

std::mutex& seedMutex() {
    static std::mutex mutex;
    return mutex;
}

// Seeded from the system at first use unless a caller (a test) fixes it.
std::uint64_t& seedState() {
    static std::uint64_t state = (std::uint64_t(std::random_device{}()) << 32) ^ std::random_device{}();
    return state;
}

}  // namespace

void setRandomSeed(std::uint64_t seed) {
    const std::lock_guard lock(seedMutex());
    seedState() = seed;
}

std::uint64_t nextOperationSeed() {
    const std::lock_guard lock(seedMutex());
    LineRandom random(seedState(), 0);
    seedState() = random.next();
    return seedState();
}

}  // namespace kelvra::fx

void fipSuperImage::setRandomSeed(std::uint64_t seed) { kelvra::fx::setRandomSeed(seed); }
