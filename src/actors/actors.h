// SPDX-License-Identifier: GPL-3.0-or-later
// Everything that moves on the play field. Actors are plain records, copied
// memberwise and held by value in the game's lists; their frame strips belong
// to the game's data file and are shared, never owned.
#pragma once

#include <allegro.h>

#include <cstddef>
#include <utility>
#include <vector>

class Actor {
public:
    BITMAP** frames;
    double x;
    double y;
    int frame;
    int anim_tick;
    double speed;

    Actor(int x, int y, BITMAP** frames, double speed);

    // One animation step: each of the three frames shows for three updates.
    void animate();
    void draw(BITMAP* dest) const;
    // Pixel-exact: true when a visible pixel of each current frame covers the same spot.
    bool collides_with(const Actor& other) const;
};

// The same answer as collides_with, read pixel by pixel through getpixel: the
// plain reference that the fast test is checked against.
bool collides_by_getpixel(const Actor& a, const Actor& b);

class Craft : public Actor {
public:
    int fire_delay;
    int hull;

    Craft(int x, int y, BITMAP** frames, double speed);
    virtual void move_left(int elapsed) = 0;
    virtual void move_right(int elapsed) = 0;

protected:
    // Crafts are never destroyed through a Craft pointer.
    ~Craft() = default;
};

class PlayerShip final : public Craft {
public:
    int armour;
    int score;
    int kills;
    int weapon;
    int ammo[3];

    PlayerShip(int x, int y, BITMAP** frames, double speed);
    void move_left(int elapsed) override;
    void move_right(int elapsed) override;
};

class Invader final : public Craft {
public:
    int width;
    int height;
    int kind;

    // At column x (the caller keeps the first frame inside the screen), 100 pixels above it.
    Invader(int kind, int x, BITMAP** frames, double speed);
    void move_left(int elapsed) override;
    void move_right(int elapsed) override;
};

namespace weapons {
constexpr int missiles = 0;
constexpr int fireball = 1;
constexpr int choc = 2;
constexpr int invader = 3;  // a shot fired by an invader
}  // namespace weapons

class Shot : public Actor {
public:
    int weapon;
    int direction;  // 0 up (the ship's shots), 1 down (the invaders')

    Shot(int x, int y, int weapon, int direction, BITMAP** frames, double speed);
    void advance(int elapsed);
};

class Bonus : public Actor {
public:
    int width;
    int height;
    int kind;  // 0 armour, 1 Missiles, 2 Fireball, 3 Choc

    Bonus(int x, int y, int kind, BITMAP** frames, double speed);
};

class Explosion {
public:
    BITMAP** frames;
    int x;  // centre
    int y;
    int frame;

    Explosion(int x, int y, BITMAP** frames);
    void draw(BITMAP* dest) const;
};

// Walks a list of actors in order, calling `gone` once on each, and takes out those it says
// are gone, keeping the others in their order: a pass may move, hit or spend each actor as
// it goes, and what it does to one comes before the next, as the rules of play need.
template <class T, class Gone>
void erase_gone(std::vector<T>& list, Gone gone) {
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); i++) {
        if (gone(list[i])) continue;
        if (kept != i) list[kept] = std::move(list[i]);
        kept++;
    }
    list.erase(list.begin() + kept, list.end());
}
