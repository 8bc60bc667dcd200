// Temporary: placeholders until the gameplay lands.
#include "frame/game.h"
void Game::play_game(std::atomic<int>* t) { ticks = t; }
bool Game::update_frame() { return true; }
void Game::render_frame() {}
void Game::draw_frame() {}
bool Game::quit_dialog() { return false; }
bool Game::game_over_screen() { return true; }
void place_star(Star& star, int layer, int screen_width) { star.x = rand() % screen_width; star.grey = rand() % 135 + 40 * layer; }
Star** create_star_field(int layers, int per_layer, int width, int height) {
    Star** field = new Star*[layers];
    for (int l = 0; l < layers; l++) {
        field[l] = new Star[per_layer];
        for (int s = 0; s < per_layer; s++) { field[l][s].x = rand() % width; field[l][s].y = rand() % height; field[l][s].grey = rand() % 135 + 40 * l; }
    }
    return field;
}
void destroy_star_field(Star** field, int layers) { for (int l = 0; l < layers; l++) delete[] field[l]; delete[] field; }
