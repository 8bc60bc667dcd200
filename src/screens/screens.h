// SPDX-License-Identifier: GPL-3.0-or-later
// The screens between and around games, each a method of Game: the title, the keys screen,
// the quit dialog, the pause, the game over and a recorded game watched. This header holds
// what they share beyond Game: the title's widgets (they read Allegro's mouse state when asked
// and draw into the bitmap they are given) and the pause's band.
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

// The pause: a band across the middle of the screen, "PAUSE" in the font scaled up on it.
constexpr int pause_band_height = 80;
constexpr int pause_word_scale = 4;

class ImageButton {
public:
    int x;
    int y;
    int w;
    int h;
    BITMAP* normal_image;
    BITMAP* hover_image;
    BITMAP* pressed_image;

    ImageButton(int centre_x, int y, int w, int h, BITMAP* normal, BITMAP* hover, BITMAP* pressed);
    bool is_hovered() const;
    bool is_clicked() const;
    void draw(BITMAP* dest) const;
};

// A label followed by a value that steps through a fixed list on each click.
class TextOption {
public:
    int label_x;
    int value_x;
    int y;
    int index;
    std::string label;
    std::vector<std::string> values;
    int cooldown;

    TextOption(int label_x, int value_x, int y, std::string label, std::vector<std::string> values);

    bool is_hovered() const;
    bool update();
    void draw(BITMAP* dest) const;
};
