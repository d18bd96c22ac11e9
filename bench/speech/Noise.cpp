#include "bench/speech/Noise.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace qz::bench {

const char* colourName(Colour c) {
    switch (c) {
    case Colour::White:
        return "white";
    case Colour::Pink:
        return "pink";
    case Colour::Brown:
        return "brown";
    case Colour::None:
        break;
    }
    return "quiet";
}

std::vector<float> makeNoise(Colour colour, size_t count, uint32_t seed) {
    std::vector<float> out(count, 0.0f);
    if (colour == Colour::None || count == 0) return out;
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    // Pink: Paul Kellet's filter bank (within 0.05 dB of 1/f over the audio band); brown: a leaky
    // integrator, its corner well below the model's lowest filter (130 Hz).
    double b[7] = {};
    double brown = 0;
    for (size_t i = 0; i < count; ++i) {
        const double w = gauss(random);
        double v = w;
        if (colour == Colour::Pink) {
            b[0] = 0.99886 * b[0] + w * 0.0555179;
            b[1] = 0.99332 * b[1] + w * 0.0750759;
            b[2] = 0.96900 * b[2] + w * 0.1538520;
            b[3] = 0.86650 * b[3] + w * 0.3104856;
            b[4] = 0.55000 * b[4] + w * 0.5329522;
            b[5] = -0.7616 * b[5] - w * 0.0168980;
            v = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
            b[6] = w * 0.115926;
        } else if (colour == Colour::Brown) {
            brown = 0.998 * brown + w;
            v = brown;
        }
        out[i] = float(v);
    }
    double energy = 0;
    for (float v : out)
        energy += double(v) * v;
    const double rms = std::sqrt(energy / double(count));
    if (rms > 0)
        for (float& v : out)
            v = float(v / rms);
    return out;
}

double speechRms(const int16_t* samples, size_t count) {
    const size_t frame = 160;
    std::vector<double> energies;
    for (size_t i = 0; i + frame <= count; i += frame) {
        double e = 0;
        for (size_t k = 0; k < frame; ++k)
            e += double(samples[i + k]) * samples[i + k];
        energies.push_back(e / frame);
    }
    double peak = 0;
    for (double e : energies)
        peak = std::max(peak, e);
    double sum = 0;
    int n = 0;
    for (double e : energies)
        if (e >= peak * 0.01) sum += e, ++n;
    return n ? std::sqrt(sum / n) : 0;
}

void addNoise(std::vector<int16_t>& audio, const std::vector<float>& noise, double speechLevel,
              double snrDb) {
    const double gain = speechLevel / std::pow(10.0, snrDb / 20.0);
    const size_t n = std::min(audio.size(), noise.size());
    for (size_t i = 0; i < n; ++i)
        audio[i] = int16_t(std::clamp(std::lround(audio[i] + gain * noise[i]), -32768L, 32767L));
}

} // namespace qz::bench
