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

// The whole field, stars placed at random over the screen, layer by layer.
Star** create_star_field(int layers, int per_layer, int width, int height);
void destroy_star_field(Star** field, int layers);
