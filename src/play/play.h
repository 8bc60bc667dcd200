// The gameplay subsystem's own types; its screens are methods of Game.
#pragma once

// One pixel of the star field: nearer layers are brighter and fall faster.
struct Star {
    double x;
    double y;
    int grey;
};

// Gives a star a new column and brightness within its layer's range.
void place_star(Star& star, int layer, int screen_width);
