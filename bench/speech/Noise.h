#pragma once
// Background noise for the speech benchmark, made here from a seed so that a set repeats exactly on any
// machine: white, pink (1/f, the spectrum of fans and air conditioning) and brown (1/f², a low rumble).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qz::bench {

enum class Colour { None, White, Pink, Brown };

const char* colourName(Colour c);

// `count` samples of the colour with unit RMS.
std::vector<float> makeNoise(Colour colour, size_t count, uint32_t seed);

// Loudness of speech: RMS over the 10 ms frames within 20 dB of the loudest, so pauses do not count.
double speechRms(const int16_t* samples, size_t count);

// Adds noise (unit RMS) scaled so that the speech's loudness lies `snrDb` above it; clips to 16 bits.
void addNoise(std::vector<int16_t>& audio, const std::vector<float>& noise, double speechLevel, double snrDb);

} // namespace qz::bench
