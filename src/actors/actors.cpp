// SPDX-License-Identifier: GPL-3.0-or-later
// The actor classes: bodies, animation, drawing and the sideways moves.
#include "actors/actors.h"

#include <cstdlib>

Actor::Actor(int x, int y, BITMAP** frames, double speed)
    : frames(frames), x(x), y(y), frame(0), anim_tick(0), speed(speed) {}

void Actor::animate() {
    anim_tick = (anim_tick + 1) % 9;
    frame = anim_tick / 3;
}

void Actor::draw(BITMAP* dest) const {
    // Casting truncates toward zero: an actor at x = -0.7 lands on column 0.
    draw_sprite(dest, frames[frame], static_cast<int>(x), static_cast<int>(y));
}

// fire_delay and hull are left to each kind of craft.
Craft::Craft(int x, int y, BITMAP** frames, double speed) : Actor(x, y, frames, speed) {}

PlayerShip::PlayerShip(int x, int y, BITMAP** frames, double speed)
    : Craft(x, y, frames, speed), armour(100), score(0), kills(0), weapon(weapons::missiles),
      ammo{10, 0, 0} {
    fire_delay = 0;
    hull = 100;
}

void PlayerShip::move_left(int elapsed) { x = x - elapsed * speed; }

void PlayerShip::move_right(int elapsed) { x = x + elapsed * speed; }

// The invader starts out of sight above the top edge.
Invader::Invader(int kind, int x, BITMAP** frames, double speed)
    : Craft(x, -100, frames, speed),
      width(frames[0]->w), height(frames[0]->h), kind(kind) {
    hull = 100;
    fire_delay = 0;
}

void Invader::move_left(int elapsed) { x = x - elapsed * speed; }

void Invader::move_right(int elapsed) { x = x + elapsed * speed; }

Shot::Shot(int x, int y, int weapon, int direction, BITMAP** frames, double speed)
    : Actor(x, y, frames, speed), weapon(weapon), direction(direction) {}

void Shot::advance(int elapsed) {
    if (direction == 0)
        y = y - elapsed * speed;
    else
        y = y + elapsed * speed;
}

Bonus::Bonus(int x, int y, int kind, BITMAP** frames, double speed)
    : Actor(x, y, frames, speed), width(frames[0]->w), height(frames[0]->h), kind(kind) {}

Explosion::Explosion(int x, int y, BITMAP** frames) : frames(frames), x(x), y(y), frame(0) {}

void Explosion::draw(BITMAP* dest) const {
    // Centred on (x, y); the halves round down, as a shift does.
    BITMAP* picture = frames[frame];
    draw_sprite(dest, picture, x - (picture->w >> 1), y - (picture->h >> 1));
}
