// SPDX-License-Identifier: GPL-3.0-or-later
// What the sound effects are built from: signals of samples in [-1, 1] at one rate,
// band-limited oscillators with gliding pitch, seeded noise, a resonant filter whose
// cutoff can move, envelopes, and the 16-bit mono WAV file that comes out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int sample_rate = 22050;

using Signal = std::vector<double>;
using Bytes = std::vector<std::uint8_t>;
// A value that changes over a sound's life: seconds from its start to a number.
using Curve = std::function<double(double seconds)>;

// The number of samples in a stretch of time.
int samples_in(double seconds);

// Curves: a constant, an exponential glide from start to end over seconds (held after),
// and a decay from 1 that falls to 1/e every time_constant seconds.
Curve constant(double value);
Curve glide(double start, double end, double seconds);
Curve decay(double time_constant);
// 0 to 1 in attack seconds, then a decay with time_constant.
Curve strike(double attack, double time_constant);

// Waveforms, each built from harmonics below the Nyquist frequency so that no
// partial folds back as a whine.
enum class Wave { sine, triangle, square, sawtooth };

// A tone of seconds whose frequency (Hz) follows pitch; phase is kept continuous.
Signal tone(double seconds, Wave wave, const Curve& pitch);
// Bell-like: partials at ratio × frequency, each with its own weight and decay.
struct Partial {
    double ratio;
    double weight;
    double time_constant;
};
Signal bell(double seconds, double frequency, const std::vector<Partial>& partials);

// White noise in [-1, 1], the same for the same seed (xorshift32).
class Noise {
public:
    std::uint32_t state;
    explicit Noise(std::uint32_t seed);
    double next();
    Signal take(double seconds);
};

// A state-variable filter (trapezoidal, stable at any cutoff) with a cutoff (Hz) that
// follows a curve and a resonance q (0.707: none).
enum class Pass { low, band, high };
Signal filtered(const Signal& in, Pass pass, const Curve& cutoff, double q);

// Each sample times the curve's value at its time.
Signal shaped(Signal in, const Curve& gain);
// b added into a at offset seconds, times gain; a grows as needed.
void mix_into(Signal& a, const Signal& b, double offset, double gain);
// Scaled so that the largest sample's magnitude is peak.
Signal normalised(Signal in, double peak);
// Raised-cosine fades at both ends so that the sound starts and stops at zero.
Signal faded(Signal in, double fade_in, double fade_out);

// The level of a peak in dB below full scale (e.g. -9 for about 0.355).
double from_decibels(double decibels);

// A RIFF/WAVE file: PCM, mono, 16-bit, sample_rate, samples rounded and held in range.
Bytes encode_wav(const Signal& signal);
