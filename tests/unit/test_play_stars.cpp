// The star field: how it is created, how each layer falls and how stars come back.
#include "test_play_scene.h"

namespace {

class StarField : public PlayScene {
protected:
    // Every star parked at the top, so only the stars a test moves can wrap.
    void park_all_stars() {
        for (int layer = 0; layer < game.star_layers; layer++)
            for (int i = 0; i < game.stars_per_layer; i++) game.star_field[layer][i] = {10.0, 0.0, 0};
    }
};

TEST_F(StarField, CreationDrawsColumnRowAndGreyInThatOrderForEachStar) {
    srand(77);
    Star** field = create_star_field(5, 4, 800, 600);
    srand(77);
    for (int layer = 0; layer < 5; layer++) {
        for (int i = 0; i < 4; i++) {
            const int x = rand() % 800;
            const int y = rand() % 600;
            const int grey = rand() % 135 + 40 * layer;
            EXPECT_EQ(field[layer][i].x, x);
            EXPECT_EQ(field[layer][i].y, y);
            EXPECT_EQ(field[layer][i].grey, grey);
        }
    }
    destroy_star_field(field, 5);
}

TEST_F(StarField, EachLayerFallsAtItsOwnSpeedTimesTheGameSpeed) {
    park_all_stars();
    for (int layer = 0; layer < 5; layer++) game.star_field[layer][0].y = 100;
    game.scroll_stars(10);
    for (int layer = 0; layer < 5; layer++)
        EXPECT_NEAR(game.star_field[layer][0].y, 100 + 2.0 * (layer + 1), 1e-9) << "layer " << layer;

    game.game_speed = 3.0;
    for (int layer = 0; layer < 5; layer++) game.star_field[layer][0].y = 100;
    game.scroll_stars(10);
    EXPECT_NEAR(game.star_field[0][0].y, 106, 1e-9);
    EXPECT_NEAR(game.star_field[4][0].y, 130, 1e-9);
    EXPECT_EQ(game.star_field[4][0].x, 10.0);  // stars only fall
}

TEST_F(StarField, AStarOnTheBottomRowFallsOnAndOnePastItComesBackAtTheTop) {
    park_all_stars();
    game.star_field[2][5].y = 600.0;
    game.star_field[2][6].y = 600.01;
    game.star_field[4][0].y = 700.0;

    srand(31);
    const int x_2_6 = rand() % 800;
    const int grey_2_6 = rand() % 135 + 80;
    const int x_4_0 = rand() % 800;
    const int grey_4_0 = rand() % 135 + 160;
    srand(31);
    game.scroll_stars(10);

    EXPECT_NEAR(game.star_field[2][5].y, 606, 1e-9);
    const Star& back = game.star_field[2][6];
    EXPECT_EQ(back.y, 1.0);  // brought back without moving
    EXPECT_EQ(back.x, x_2_6);
    EXPECT_EQ(back.grey, grey_2_6);
    EXPECT_EQ(game.star_field[4][0].x, x_4_0);
    EXPECT_EQ(game.star_field[4][0].grey, grey_4_0);
}

TEST_F(StarField, WithoutTicksNothingFallsButStarsPastTheBottomStillComeBack) {
    park_all_stars();
    game.star_field[0][0].y = 300;
    game.star_field[1][0].y = 650;
    game.scroll_stars(0);
    EXPECT_EQ(game.star_field[0][0].y, 300);
    EXPECT_EQ(game.star_field[1][0].y, 1.0);
    EXPECT_GE(game.star_field[1][0].grey, 40);
    EXPECT_LE(game.star_field[1][0].grey, 174);
}

}  // namespace
