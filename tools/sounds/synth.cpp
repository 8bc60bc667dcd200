// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double nyquist = sample_rate / 2.0;
// Harmonics stop short of the Nyquist frequency and fade out over the last tenth
// before it, so that a gliding tone loses its top partials smoothly.
constexpr double highest_partial = 0.9 * nyquist;
constexpr double bell_attack = 0.0015;  // s

// The weight of harmonic k (1 = fundamental) in each waveform, before the fade near
// the Nyquist frequency; 0 for harmonics a waveform lacks.
double harmonic_weight(Wave wave, int k) {
    switch (wave) {
    case Wave::sine: return k == 1 ? 1.0 : 0.0;
    case Wave::triangle: return k % 2 == 0 ? 0.0 : (k % 4 == 1 ? 1.0 : -1.0) * 8.0 / (pi * pi * k * k);
    case Wave::square: return k % 2 == 0 ? 0.0 : 4.0 / (pi * k);
    case Wave::sawtooth: return (k % 2 == 1 ? 1.0 : -1.0) * 2.0 / (pi * k);
    }
    return 0.0;
}

double band_limited(Wave wave, double phase, double frequency) {
    double sum = 0;
    for (int k = 1; k * frequency < highest_partial; ++k) {
        double weight = harmonic_weight(wave, k);
        if (weight == 0) continue;
        double room = (highest_partial - k * frequency) / (0.1 * highest_partial);
        sum += weight * std::min(1.0, room) * std::sin(2 * pi * k * phase);
    }
    return sum;
}

}  // namespace

int samples_in(double seconds) { return static_cast<int>(std::lround(seconds * sample_rate)); }

Curve constant(double value) {
    return [value](double) { return value; };
}

Curve glide(double start, double end, double seconds) {
    return [=](double t) { return start * std::pow(end / start, std::min(t, seconds) / seconds); };
}

Curve decay(double time_constant) {
    return [time_constant](double t) { return std::exp(-t / time_constant); };
}

Curve strike(double attack, double time_constant) {
    return [=](double t) { return t < attack ? t / attack : std::exp(-(t - attack) / time_constant); };
}

Signal tone(double seconds, Wave wave, const Curve& pitch) {
    Signal out(samples_in(seconds));
    double phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double frequency = pitch(static_cast<double>(i) / sample_rate);
        out[i] = band_limited(wave, phase, frequency);
        phase += frequency / sample_rate;
        phase -= std::floor(phase);
    }
    return out;
}

Signal bell(double seconds, double frequency, const std::vector<Partial>& partials) {
    Signal out(samples_in(seconds));
    for (const Partial& p : partials) {
        if (p.ratio * frequency >= highest_partial) continue;
        for (std::size_t i = 0; i < out.size(); ++i) {
            double t = static_cast<double>(i) / sample_rate;
            out[i] += p.weight * std::exp(-t / p.time_constant) * std::sin(2 * pi * p.ratio * frequency * t);
        }
    }
    // A struck bell still takes a moment to speak: a sudden start would add a click.
    return faded(std::move(out), bell_attack, 0);
}

Noise::Noise(std::uint32_t seed) : state(seed != 0 ? seed : 1) {}

double Noise::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state / 2147483648.0 - 1.0;
}

Signal Noise::take(double seconds) {
    Signal out(samples_in(seconds));
    for (double& s : out) s = next();
    return out;
}

Signal filtered(const Signal& in, Pass pass, const Curve& cutoff, double q) {
    Signal out(in.size());
    const double k = 1.0 / q;
    double ic1 = 0, ic2 = 0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        double fc = std::clamp(cutoff(static_cast<double>(i) / sample_rate), 10.0, 0.45 * sample_rate);
        double g = std::tan(pi * fc / sample_rate);
        double a1 = 1.0 / (1.0 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        double v3 = in[i] - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        out[i] = pass == Pass::low ? v2 : pass == Pass::band ? v1 : in[i] - k * v1 - v2;
    }
    return out;
}

Signal shaped(Signal in, const Curve& gain) {
    for (std::size_t i = 0; i < in.size(); ++i) in[i] *= gain(static_cast<double>(i) / sample_rate);
    return in;
}

void mix_into(Signal& a, const Signal& b, double offset, double gain) {
    std::size_t start = samples_in(offset);
    if (a.size() < start + b.size()) a.resize(start + b.size(), 0.0);
    for (std::size_t i = 0; i < b.size(); ++i) a[start + i] += gain * b[i];
}

Signal normalised(Signal in, double peak) {
    double largest = 0;
    for (double s : in) largest = std::max(largest, std::fabs(s));
    if (largest > 0)
        for (double& s : in) s *= peak / largest;
    return in;
}

Signal faded(Signal in, double fade_in, double fade_out) {
    std::size_t n_in = std::min<std::size_t>(samples_in(fade_in), in.size());
    std::size_t n_out = std::min<std::size_t>(samples_in(fade_out), in.size());
    for (std::size_t i = 0; i < n_in; ++i) in[i] *= 0.5 - 0.5 * std::cos(pi * i / n_in);
    for (std::size_t j = 0; j < n_out; ++j) in[in.size() - 1 - j] *= 0.5 - 0.5 * std::cos(pi * j / n_out);
    return in;
}

double from_decibels(double decibels) { return std::pow(10.0, decibels / 20.0); }

Bytes encode_wav(const Signal& signal) {
    Bytes out;
    // Byte by byte: a range insert from a literal trips GCC 12's overflow warning.
    auto text = [&](const char* four) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(four[i]));
    };
    auto number = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));  // little-endian
    };
    const std::uint32_t data_bytes = static_cast<std::uint32_t>(2 * signal.size());
    text("RIFF");
    number(36 + data_bytes, 4);
    text("WAVE");
    text("fmt ");
    number(16, 4);               // size of the format block
    number(1, 2);                // PCM
    number(1, 2);                // mono
    number(sample_rate, 4);      // samples a second
    number(2 * sample_rate, 4);  // bytes a second
    number(2, 2);                // bytes a sample frame
    number(16, 2);               // bits a sample
    text("data");
    number(data_bytes, 4);
    for (double s : signal) {
        long value = std::clamp(std::lround(s * 32767.0), -32768L, 32767L);
        number(static_cast<std::uint32_t>(value) & 0xFFFF, 2);
    }
    return out;
}
