// A small seeded random source whose sequence is the same on every
// machine and library version, so a seed always gives the same scenes.
#pragma once

#include <cstdint>

namespace platix::synth {

class Rng {
public:
    explicit Rng(std::uint64_t seed);
    std::uint64_t next();
    // Whole number in [lo, hi].
    int uniform(int lo, int hi);
    // Real number in [lo, hi).
    double real(double lo, double hi);
    bool chance(double p) { return real(0, 1) < p; }

private:
    std::uint64_t state_;
};

}  // namespace platix::synth
