// Random numbers for the drift simulation that do not depend on the order they are drawn in.
//
// Every number is a pure function of (seed, stream, counter): a particle draws from its own
// stream (its index) at counters named by what they are for, so a run gives the same particles
// bit for bit whatever the number of threads and whichever thread takes which particle.
//
// The mixing is SplitMix64's finaliser, applied twice: once to spread the seed and the stream
// apart, once to the counter within the stream.
#pragma once

#include <cstdint>

namespace vestrand::drift {

// SplitMix64's finaliser: a bijection of 64-bit words that changes about half of the output
// bits for any changed input bit.
constexpr std::uint64_t mix64(std::uint64_t x) {
  x ^= x >> 30;
  x *= 0xbf58476d1ce4e5b9ULL;
  x ^= x >> 27;
  x *= 0x94d049bb133111ebULL;
  x ^= x >> 31;
  return x;
}

// 64 random bits.
// @param[in] seed the run's seed, any value
// @param[in] stream the particle's index, any value
// @param[in] counter which number of the stream, any value
constexpr std::uint64_t randomBits(std::uint64_t seed, std::uint64_t stream,
                                   std::uint64_t counter) {
  const std::uint64_t key = mix64(seed * 0x9e3779b97f4a7c15ULL + mix64(stream + 1));
  return mix64(key + (counter + 1) * 0xd1b54a32d192ed03ULL);
}

// A uniform number in the open interval (0, 1), from the top 53 bits.
double uniformOpen(std::uint64_t seed, std::uint64_t stream, std::uint64_t counter);

// Two independent standard normal numbers (Box and Muller), from counters `counter` and
// `counter` + 1.
struct NormalPair {
  double first = 0.0;
  double second = 0.0;
};
NormalPair normalPair(std::uint64_t seed, std::uint64_t stream, std::uint64_t counter);

}  // namespace vestrand::drift
