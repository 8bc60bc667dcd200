// The sound effects as the build writes them (86.wav ... 97.wav): plain 16-bit mono WAV
// files that Allegro loads, each of the length its event calls for, with headroom for a
// volley of them over the music, starting and ending at silence, none sounding like
// another, and the same bytes on every build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct ExpectedSound {
    const char* name;
    double shortest, longest;  // seconds
};
const ExpectedSound expected_sounds[] = {
    {"missiles fired", 0.06, 0.15}, {"fireball fired", 0.06, 0.15},     {"choc fired", 0.06, 0.15},
    {"invader fired", 0.06, 0.15},  {"invader hit", 0.04, 0.15},        {"invader destroyed", 0.5, 0.8},
    {"ship hit", 0.2, 0.6},         {"ram", 0.4, 0.8},                  {"bonus collected", 0.25, 0.6},
    {"game over", 1.3, 1.7},        {"menu click", 0.01, 0.06},         {"quit dialog opened", 0.3, 0.9},
};
constexpr int first_sound_index = 86;
constexpr int sound_count = sizeof expected_sounds / sizeof expected_sounds[0];

Bytes read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string sound_path(const std::string& dir, int k) {
    return dir + "/" + std::to_string(first_sound_index + k) + ".wav";
}

// The samples of a 16-bit mono 22050 Hz PCM WAV file, in [-1, 1); empty, with a failure,
// if the file is anything else or its data chunk does not end exactly at the file's end.
std::vector<double> wav_samples(const Bytes& b) {
    auto number = [&](std::size_t at, int n) {
        unsigned long v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
        return v;
    };
    auto tag = [&](std::size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); };
    if (b.size() < 44 || tag(0) != "RIFF" || number(4, 4) != b.size() - 8 || tag(8) != "WAVE" || tag(12) != "fmt " ||
        number(16, 4) != 16 || number(20, 2) != 1 || number(22, 2) != 1 || number(24, 4) != 22050 ||
        number(28, 4) != 44100 || number(32, 2) != 2 || number(34, 2) != 16 || tag(36) != "data" ||
        number(40, 4) != b.size() - 44) {
        ADD_FAILURE() << "not a 16-bit mono 22050 Hz PCM WAV file of exact length";
        return {};
    }
    std::vector<double> samples;
    for (std::size_t at = 44; at + 1 < b.size(); at += 2)
        samples.push_back(static_cast<short>(number(at, 2)) / 32768.0);
    return samples;
}

// What a sound sounds like, whatever its level and length: the energy in each third-octave
// band from 63 Hz to 8 kHz (band-pass filters) in each quarter of its length, in dB against
// the loudest, floored at -50. A sweep, a burst of noise and a chime differ.
std::vector<double> signature(const std::vector<double>& x) {
    std::vector<double> energy;
    for (double f = 63; f < 8100; f *= std::pow(2.0, 1.0 / 3)) {
        const double w = 2 * M_PI * f / 22050, alpha = std::sin(w) / (2 * 4.3), a0 = 1 + alpha;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0, quarter[4] = {};
        for (std::size_t i = 0; i < x.size(); ++i) {
            double out = (alpha * x[i] - alpha * x2 + 2 * std::cos(w) * y1 - (1 - alpha) * y2) / a0;
            x2 = x1, x1 = x[i], y2 = y1, y1 = out;
            quarter[4 * i / x.size()] += out * out;
        }
        energy.insert(energy.end(), quarter, quarter + 4);
    }
    const double loudest = *std::max_element(energy.begin(), energy.end());
    for (double& e : energy) e = std::max(-50.0, 10 * std::log10(e / loudest + 1e-12));
    return energy;
}

TEST(Sounds, AreLoadableWavFilesOfTheirLengthsWithHeadroomAndSilentEnds) {
    start_headless_allegro();
    for (int k = 0; k < sound_count; ++k) {
        const ExpectedSound& e = expected_sounds[k];
        SCOPED_TRACE(e.name);
        const std::vector<double> x = wav_samples(read_bytes(sound_path(DATA_SOURCE_DIR, k)));
        ASSERT_FALSE(x.empty());
        const double seconds = x.size() / 22050.0;
        EXPECT_TRUE(seconds >= e.shortest && seconds <= e.longest) << seconds << " s";
        double peak = 0;
        for (double s : x) peak = std::max(peak, std::fabs(s));
        // Loud enough to hear, and 6 dB or more below full scale.
        EXPECT_TRUE(peak >= 0.06 && peak <= 0.5) << peak;
        // The first and last milliseconds rise from and fall to silence: no click.
        for (std::size_t i = 0; i < 22; ++i) {
            EXPECT_LE(std::fabs(x[i]), peak * (i + 1) / 22) << "sample " << i;
            EXPECT_LE(std::fabs(x[x.size() - 1 - i]), peak * (i + 1) / 22) << "sample " << i << " from the end";
        }
        SAMPLE* loaded = load_sample(sound_path(DATA_SOURCE_DIR, k).c_str());
        ASSERT_NE(loaded, nullptr);
        EXPECT_TRUE(loaded->bits == 16 && loaded->stereo == 0 && loaded->freq == 22050 && loaded->len == x.size());
        destroy_sample(loaded);
    }
}

// Two sounds are told apart by their length or by their colour: a pair alike in both
// would be heard as one.
TEST(Sounds, EachDiffersFromEveryOtherInLengthOrColour) {
    std::vector<std::vector<double>> profiles;
    std::vector<double> lengths;
    for (int k = 0; k < sound_count; ++k) {
        std::vector<double> x = wav_samples(read_bytes(sound_path(DATA_SOURCE_DIR, k)));
        ASSERT_FALSE(x.empty());
        lengths.push_back(x.size());
        profiles.push_back(signature(x));
    }
    for (int a = 0; a < sound_count; ++a)
        for (int b = a + 1; b < sound_count; ++b) {
            double difference = 0;  // mean dB apart over the bands and quarters
            for (std::size_t i = 0; i < profiles[a].size(); ++i) difference += std::fabs(profiles[a][i] - profiles[b][i]);
            difference /= profiles[a].size();
            const double length_ratio = std::max(lengths[a], lengths[b]) / std::min(lengths[a], lengths[b]);
            EXPECT_TRUE(length_ratio > 1.3 || difference > 4)
                << expected_sounds[a].name << " and " << expected_sounds[b].name << ": " << length_ratio << " times as long, "
                << difference << " dB apart";
        }
}

// A fresh run of the generator writes the same bytes: nothing depends on the time or on
// unseeded randomness.
TEST(Sounds, AFreshRunWritesTheSameBytes) {
    const std::string dir = ::testing::TempDir() + "sounds_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "' && '" MAKE_SOUNDS "' '" + dir + "'").c_str()), 0);
    for (int k = 0; k < sound_count; ++k) {
        const Bytes built = read_bytes(sound_path(DATA_SOURCE_DIR, k));
        EXPECT_TRUE(!built.empty() && read_bytes(sound_path(dir, k)) == built) << expected_sounds[k].name;
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
