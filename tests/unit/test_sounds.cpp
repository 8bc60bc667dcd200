// The sound effects as the build writes them (86.wav ... 97.wav): plain 16-bit mono WAV
// files, each of the length its event calls for, with headroom for a volley of them over
// the music, starting and ending at silence, none sounding like another. (That the game
// gets them unchanged, and that a build repeats them byte for byte, is checked with the
// pictures.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/data_file.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct ExpectedSound {
    Effect effect;
    const char* name;
    double shortest, longest;  // seconds
};
const ExpectedSound expected_sounds[] = {
    {Effect::missiles_fired, "missiles fired", 0.06, 0.15},
    {Effect::fireball_fired, "fireball fired", 0.06, 0.15},
    {Effect::choc_fired, "choc fired", 0.06, 0.15},
    {Effect::invader_fired, "invader fired", 0.06, 0.15},
    {Effect::invader_hit, "invader hit", 0.04, 0.15},
    {Effect::invader_destroyed, "invader destroyed", 0.5, 0.8},
    {Effect::ship_hit, "ship hit", 0.2, 0.6},
    {Effect::ram, "ram", 0.4, 0.8},
    {Effect::bonus_collected, "bonus collected", 0.25, 0.6},
    {Effect::game_over, "game over", 1.3, 1.7},
    {Effect::menu_click, "menu click", 0.01, 0.06},
    {Effect::quit_dialog_opened, "quit dialog opened", 0.3, 0.9},
};
constexpr int sound_count = sizeof expected_sounds / sizeof expected_sounds[0];
static_assert(sound_count == effect_count);

// The file the build wrote for the effect, read whole.
Bytes built_sound(Effect effect) {
    const std::string path = std::string(DATA_SOURCE_DIR) + "/" + data_layout::source_name(data_layout::index_of(effect));
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
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

TEST(Sounds, AreWavFilesOfTheirLengthsWithHeadroomAndSilentEnds) {
    for (const ExpectedSound& e : expected_sounds) {
        SCOPED_TRACE(e.name);
        const std::vector<double> x = wav_samples(built_sound(e.effect));
        ASSERT_FALSE(x.empty());
        const double seconds = x.size() / 22050.0;
        EXPECT_TRUE(seconds >= e.shortest && seconds <= e.longest) << seconds << " s";
        double peak = 0;
        for (double s : x) peak = std::max(peak, std::fabs(s));
        // Loud enough to hear, and 2.5 dB or more below full scale (Allegro's mixer takes
        // another 6 dB off a sound heard from the middle).
        EXPECT_TRUE(peak >= 0.1 && peak <= 0.75) << peak;
        // The first and last milliseconds rise from and fall to silence: no click.
        for (std::size_t i = 0; i < 22; ++i) {
            EXPECT_LE(std::fabs(x[i]), peak * (i + 1) / 22) << "sample " << i;
            EXPECT_LE(std::fabs(x[x.size() - 1 - i]), peak * (i + 1) / 22) << "sample " << i << " from the end";
        }
    }
}

// Two sounds are told apart by their length or by their colour: a pair alike in both
// would be heard as one.
TEST(Sounds, EachDiffersFromEveryOtherInLengthOrColour) {
    std::vector<std::vector<double>> profiles;
    std::vector<double> lengths;
    for (int k = 0; k < sound_count; ++k) {
        std::vector<double> x = wav_samples(built_sound(expected_sounds[k].effect));
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

}  // namespace
