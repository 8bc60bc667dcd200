// SPDX-License-Identifier: GPL-3.0-or-later
// Each effect is a recipe of tones, noise and filters. They share one palette: shots
// are quick pitch sweeps (the player's fall, the invaders' rise), impacts are noise,
// rewards and the interface are bells in A major, the bright side of the game tune's A minor.
// Levels are peak levels below full scale: frequent sounds sit lower, so that a volley
// of shots with explosions and the music over it stays clear of clipping.
#include "effects.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double fade_in = 0.002;   // s: the first wave starts from silence, with no click
constexpr double fade_out = 0.005;  // s

Signal finished(Signal s, double peak_decibels) {
    return normalised(faded(std::move(s), fade_in, fade_out), from_decibels(peak_decibels));
}

// Missiles: a bright square-wave zap falling two octaves, with a hiss of launch.
Signal missiles_fired() {
    Signal s = shaped(filtered(tone(0.11, Wave::square, glide(1500, 380, 0.11)), Pass::low, constant(5000), 0.707),
                      strike(0.002, 0.035));
    Noise noise(0x5EED0001);
    mix_into(s, shaped(filtered(noise.take(0.04), Pass::high, constant(3500), 0.707), decay(0.008)), 0, 0.25);
    return finished(s, -10);
}

// Fireball: a roaring whoosh, band-passed noise sweeping down over a low falling tone.
Signal fireball_fired() {
    const double length = 0.145;
    Noise noise(0x5EED0002);
    Signal s = shaped(filtered(noise.take(length), Pass::band, glide(3000, 450, length), 2.0), strike(0.010, 0.05));
    mix_into(s, shaped(tone(length, Wave::triangle, glide(420, 140, length)), strike(0.006, 0.05)), 0, 0.6);
    return finished(s, -7);
}

// Choc: an electric buzz, a sawtooth rising while it warbles, its filter opening.
Signal choc_fired() {
    const double length = 0.13;
    Curve warble = [](double t) { return 200.0 * (1.0 + 2.5 * t) * (1.0 + 0.12 * std::sin(2 * 3.14159265 * 70 * t)); };
    Signal s = filtered(tone(length, Wave::sawtooth, warble), Pass::low, glide(700, 4500, length), 2.5);
    return finished(shaped(s, strike(0.004, 0.05)), -6);
}

// An invader's shot: a thin high chirp that rises, unlike anything the player fires.
Signal invader_fired() {
    Signal s = shaped(tone(0.08, Wave::triangle, glide(900, 2600, 0.08)), strike(0.004, 0.03));
    return finished(s, -11);
}

// A hit on an invader: a short metallic tick.
Signal invader_hit() {
    Signal s = bell(0.07, 1700, {{1.0, 1.0, 0.018}, {2.41, 0.6, 0.012}, {3.77, 0.35, 0.008}});
    Noise noise(0x5EED0005);
    mix_into(s, shaped(filtered(noise.take(0.02), Pass::high, constant(4000), 0.707), decay(0.004)), 0, 0.5);
    return finished(s, -8);
}

// An invader destroyed: a burst of noise darkening as it dies away, over a falling thump.
Signal invader_destroyed() {
    const double length = 0.7;
    Noise noise(0x5EED0006);
    Signal s = shaped(filtered(noise.take(length), Pass::low, glide(4500, 220, 0.55), 1.1), strike(0.003, 0.15));
    Signal rumble = shaped(filtered(noise.take(length), Pass::low, constant(350), 0.707), strike(0.02, 0.22));
    mix_into(s, rumble, 0, 1.0);
    mix_into(s, shaped(tone(0.35, Wave::sine, glide(130, 40, 0.3)), strike(0.002, 0.08)), 0, 0.5);
    return finished(s, -2.5);
}

// The ship hit: a clang of inharmonic partials, a crack on top, a knock beneath.
Signal ship_hit() {
    Signal s = bell(0.45, 420,
                    {{1.0, 1.0, 0.11}, {2.32, 0.8, 0.08}, {4.25, 0.6, 0.05}, {6.63, 0.4, 0.035}, {9.38, 0.25, 0.02}});
    Noise noise(0x5EED0007);
    mix_into(s, shaped(filtered(noise.take(0.03), Pass::high, constant(2500), 0.707), decay(0.006)), 0, 0.6);
    mix_into(s, shaped(tone(0.12, Wave::sine, glide(160, 70, 0.12)), strike(0.002, 0.04)), 0, 0.8);
    return finished(s, -3);
}

// A ram: a heavy low thud, then the crunch of metal folding, in irregular grains.
Signal ram() {
    const double length = 0.6;
    Signal s = shaped(tone(0.35, Wave::sine, glide(95, 38, 0.25)), strike(0.002, 0.09));
    Noise noise(0x5EED0008), grains(0x5EED1008);
    Signal crunch = noise.take(length - 0.02);
    double grain_gain = 0, grain_left = 0;
    for (double& x : crunch) {
        if (grain_left <= 0) {  // a new grain every 4 to 16 ms, of random strength
            grain_left = samples_in(0.004 + 0.012 * (0.5 + 0.5 * grains.next()));
            grain_gain = 0.3 + 0.7 * (0.5 + 0.5 * grains.next());
        }
        x *= grain_gain * (0.3 + 0.7 * grain_left / samples_in(0.016));
        grain_left -= 1;
    }
    crunch = shaped(filtered(crunch, Pass::band, glide(1800, 700, 0.5), 0.9), strike(0.01, 0.13));
    mix_into(s, crunch, 0.02, 4.5);
    return finished(s, -4);
}

// A bonus collected: a quick rising arpeggio of bells, A major up to the octave.
Signal bonus_collected() {
    Signal s;
    const double notes[] = {880.00, 1108.73, 1318.51, 1760.00};
    for (int i = 0; i < 4; ++i)
        mix_into(s, bell(0.26, notes[i], {{1.0, 1.0, 0.10}, {2.0, 0.3, 0.05}, {3.0, 0.1, 0.03}}), 0.055 * i, 1.0);
    return finished(s, -7);
}

// The game over: a slow phrase falling to the tonic of A minor, soft and low.
Signal game_over() {
    struct Note {
        double start, length, frequency;
    };
    const Note notes[] = {{0.0, 0.34, 329.63}, {0.3, 0.34, 261.63}, {0.6, 0.34, 246.94}, {0.9, 0.6, 220.00}};
    Signal s;
    for (const Note& n : notes) {
        Signal voice = tone(n.length, Wave::triangle, constant(n.frequency));
        mix_into(voice, tone(n.length, Wave::sine, constant(n.frequency / 2)), 0, 0.6);
        const double release = n.length - 0.04;
        Curve envelope = [release](double t) {
            double swell = std::min(1.0, t / 0.02) * std::exp(-t / 0.5);
            return t < release ? swell : swell * (1.0 - (t - release) / 0.04);
        };
        mix_into(s, filtered(shaped(voice, envelope), Pass::low, constant(1400), 0.707), n.start, 1.0);
    }
    return finished(s, -6);
}

// A click on a menu widget: soft and short, a damped tick.
Signal menu_click() {
    Signal s = bell(0.03, 2100, {{1.0, 1.0, 0.005}, {2.7, 0.3, 0.003}});
    Noise noise(0x5EED000B);
    mix_into(s, shaped(filtered(noise.take(0.006), Pass::low, constant(3000), 0.707), decay(0.0015)), 0, 0.4);
    return finished(s, -10);
}

// The quit dialog opening: a two-note chime, falling a third.
Signal quit_dialog_opened() {
    const std::vector<Partial> chime = {{1.0, 1.0, 0.30}, {2.0, 0.25, 0.15}, {3.0, 0.08, 0.08}, {4.2, 0.1, 0.05}};
    Signal s = bell(0.45, 1318.51, chime);
    mix_into(s, bell(0.55, 1108.73, chime), 0.16, 1.0);
    return finished(s, -11);
}

}  // namespace

Signal compose_effect(Effect effect) {
    switch (effect) {
        case Effect::missiles_fired: return missiles_fired();
        case Effect::fireball_fired: return fireball_fired();
        case Effect::choc_fired: return choc_fired();
        case Effect::invader_fired: return invader_fired();
        case Effect::invader_hit: return invader_hit();
        case Effect::invader_destroyed: return invader_destroyed();
        case Effect::ship_hit: return ship_hit();
        case Effect::ram: return ram();
        case Effect::bonus_collected: return bonus_collected();
        case Effect::game_over: return game_over();
        case Effect::menu_click: return menu_click();
        case Effect::quit_dialog_opened: return quit_dialog_opened();
        case Effect::count: break;
    }
    return {};
}
