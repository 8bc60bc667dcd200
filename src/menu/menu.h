// SPDX-License-Identifier: GPL-3.0-or-later
// The title menu's widgets: they read Allegro's mouse state when asked and draw
// into the bitmap they are given.
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

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

class Game;
// The keys screen: every action read in play with its key and gamepad button, for the player
// to change. Returns to the caller (the title) on Escape, "Retour" or the window's close.
void keys_screen(Game& game);
