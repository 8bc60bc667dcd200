// SPDX-License-Identifier: GPL-3.0-or-later
// The sound effects as synthesised (that the game gets exactly these from the data file, and
// that a build repeats them byte for byte, is checked with the pictures): headroom for a volley
// of them over the music, starting and ending at silence, none sounding like another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "effects.h"

namespace {

// What a sound sounds like, whatever its level and length: the energy in each third-octave
// band from 63 Hz to 8 kHz (band-pass filters) in each quarter of its length, in dB against
// the loudest, floored at -50. A sweep, a burst of noise and a chime differ.
std::vector<double> signature(const Signal& x) {
    std::vector<double> energy;
    for (double f = 63; f < 8100; f *= std::pow(2.0, 1.0 / 3)) {
        const Signal band = filtered(x, Pass::band, constant(f), 4.3);
        double quarter[4] = {};
        for (size_t i = 0; i < x.size(); ++i) quarter[4 * i / x.size()] += band[i] * band[i];
        energy.insert(energy.end(), quarter, quarter + 4);
    }
    const double loudest = *std::max_element(energy.begin(), energy.end());
    for (double& e : energy) e = std::max(-50.0, 10 * std::log10(e / loudest + 1e-12));
    return energy;
}

// Loud enough to hear, and 2.5 dB or more below full scale, so never clipped (Allegro's mixer
// takes another 6 dB off a sound heard from the middle); its power, over its whole length, that
// of a sound and not of a lone crack; the first and last milliseconds rise from and fall to
// silence: no click. Two sounds are told apart by their length or by their colour: a pair
// alike in both would be heard as one.
TEST(Sounds, HaveHeadroomAndSilentEndsAndEachDiffersFromEveryOtherInLengthOrColour) {
    std::vector<std::pair<double, std::vector<double>>> heard;  // each sound's length and signature
    for (int e = 0; e < effect_count; e++) {
        const Signal x = compose_effect(Effect(e));
        double peak = 0, power = 0;
        for (double s : x) peak = std::max(peak, std::fabs(s)), power += s * s / x.size();
        const double rms_db = 10 * std::log10(power);
        EXPECT_TRUE(peak >= 0.1 && peak <= 0.75 && rms_db >= -30 && rms_db <= -12)
            << "effect " << e << ": peak " << peak << ", RMS " << rms_db << " dB";
        for (size_t i = 0; i < 22; ++i)
            EXPECT_TRUE(std::fabs(x[i]) <= peak * (i + 1) / 22 && std::fabs(x[x.size() - 1 - i]) <= peak * (i + 1) / 22)
                << "effect " << e << ", sample " << i << " from either end";
        heard.emplace_back(x.size(), signature(x));
    }
    for (int a = 0; a < effect_count; ++a)
        for (int b = a + 1; b < effect_count; ++b) {
            const std::vector<double>&sa = heard[a].second, &sb = heard[b].second;
            double difference = 0;  // mean dB apart over the bands and quarters
            for (size_t i = 0; i < sa.size(); ++i) difference += std::fabs(sa[i] - sb[i]) / sa.size();
            const double length_ratio = std::max(heard[a].first, heard[b].first) / std::min(heard[a].first, heard[b].first);
            EXPECT_TRUE(length_ratio > 1.3 || difference > 4)
                << "effects " << a << " and " << b << ": " << length_ratio << " times as long, " << difference << " dB apart";
        }
}

}  // namespace
