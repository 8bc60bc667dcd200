// The gameplay subsystem's own types; its screens are methods of Game.
#pragma once

#include <allegro.h>

// One pixel of the star field: nearer layers are brighter and fall faster.
struct Star {
    double x;
    double y;
    int grey;
};

struct GameRandom;
// Gives a star a new column and brightness within its layer's range.
void place_star(Star& star, int layer, int screen_width, GameRandom& random);

// The whole field, stars placed at random over the screen, layer by layer.
Star** create_star_field(int layers, int per_layer, int width, int height);
void destroy_star_field(Star** field, int layers);

// The first gamepad, as Allegro's joystick driver reports it (none plugged in: nothing is ever
// held). Like a key, a button held when the keyboard is reset counts again only once released.
struct GamePad {
    // Buttons by number: the first fires and answers yes, the next three choose the weapons
    // (the second also answers no). Start is the 8th on pads laid out like the Xbox one, the
    // 10th on most others; either is taken.
    static constexpr int fire_button = 0;
    static constexpr int first_weapon_button = 1;
    static constexpr int no_button = 1;
    static constexpr int start_buttons[2] = {7, 9};

    bool ignored[MAX_JOYSTICK_BUTTONS] = {};

    // Reads the driver (polled, not interrupt-driven) and lets go of the released buttons.
    void poll();
    bool button(int number) const;
    bool start() const;
    bool left() const;
    bool right() const;
    // Every button held now is ignored until it is released.
    void forget_held();
};
