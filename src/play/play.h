// SPDX-License-Identifier: GPL-3.0-or-later
// Play: one game from its start to its end. Its steps (the frame update, the ship, the
// invaders, the hits, the bonuses, the drawing of the field) are methods of Game; this header
// holds the star field, the one thing of play that is not an actor, and the paces a game can be
// played at.
#pragma once

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

// The pace of a game: what the player chooses as "Rapidité" on the title. Level 1 is the game's
// own pace; each level after it comes harder in every column or the same, never easier.
struct Pace {
    int invader_chance;         // one new invader in this many updates
    double invader_side_speed;  // pixels per tick at game speed 1.0
    int invader_fire_delay;     // updates between two shots of one invader
    int random_bonus_chance;    // one bonus out of nowhere in this many updates
    double speed;               // the game speed with no speed key held (they multiply it)
};
constexpr int level_count = 5;
// Rows chosen by the headless player's games (scripts/measure-pace.py): each level's median
// survival falls to 55 to 80 % of the level's before it.
constexpr Pace paces[level_count] = {
    {200, 0.4, 100, 5000, 1.0},
    {130, 0.5, 80, 6000, 1.1},
    {70, 0.6, 60, 8000, 1.25},
    {45, 0.7, 40, 12000, 1.5},
    {25, 0.8, 25, 20000, 2.0},
};
// A level is 1 to level_count.
constexpr bool known_level(int level) { return level >= 1 && level <= level_count; }
