// SPDX-License-Identifier: GPL-3.0-or-later
// The window icon compiled into the game is the same ship as the desktop's icon of its size.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "zudaduviz_icon.h"

// The XPM is well formed (each row as wide as declared, every code in the colour table) and
// shows the desktop icon: opaque where that is at least half covered, in the same colours; the
// ship keeps off the icon's edges.
TEST(Icons, TheWindowIconIsTheDesktopShip) {
    int w = 0, h = 0, count = 0, chars = 0;
    ASSERT_TRUE(std::sscanf(zudaduviz_icon_xpm[0], "%d %d %d %d", &w, &h, &count, &chars) == 4 && chars == 2 && h == w);
    const std::string path = std::string(ICON_DIR) + "/" + std::to_string(w) + "x" + std::to_string(w) + "/zudaduviz.png";
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << path;
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> px(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, px.data(), 0, nullptr) && int(image.width) == w);
    std::map<std::string, int> table;  // code -> colour, or -1 for None
    for (int i = 1; i <= count; i++) {
        const std::string line = zudaduviz_icon_xpm[i];
        table[line.substr(0, 2)] = line.substr(5) == "None" ? -1 : std::stoi(line.substr(6), nullptr, 16);
    }
    int wrong = 0;
    for (int y = 0; y < h; y++) {
        std::string row = zudaduviz_icon_xpm[1 + count + y];
        ASSERT_EQ(int(row.size()), w * chars) << "row " << y;
        for (int x = 0; x < w; x++) {
            auto code = table.find(row.substr(size_t(x) * chars, chars));
            ASSERT_NE(code, table.end()) << "row " << y << ", column " << x;
            const png_byte* p = &px[(size_t(y) * w + x) * 4];
            const bool edge = x % (w - 1) == 0 || y % (h - 1) == 0;
            wrong += code->second != (p[3] < 128 ? -1 : p[0] << 16 | p[1] << 8 | p[2]) || (edge && p[3]);
        }
    }
    EXPECT_EQ(wrong, 0);
}
