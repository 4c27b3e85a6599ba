// splitmix64: simple, fast and fully specified.
#include "rng.h"

namespace platix::synth {

Rng::Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x1234567ULL) {}

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int Rng::uniform(int lo, int hi) {
    if (hi <= lo) return lo;
    const std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(next() % span);
}

double Rng::real(double lo, double hi) {
    const double u = static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
    return lo + (hi - lo) * u;
}

}  // namespace platix::synth
