// The icons drawn at build time: the ship fits every size and still reads at 16 pixels,
// and the window icon compiled into the game is the same ship as the desktop's.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "zudaduviz_icon.h"

namespace {
struct Rgba {
    int r, g, b, a;
};
struct Icon {
    int w = 0, h = 0;
    std::vector<Rgba> px;
    const Rgba& at(int x, int y) const { return px[size_t(y) * w + x]; }
};

Icon load_icon(int size) {
    std::string path = std::string(ICON_DIR) + "/" + std::to_string(size) + "x" + std::to_string(size) + "/zudaduviz.png";
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Icon icon;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return icon;
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return icon;
    icon.w = image.width, icon.h = image.height;
    for (size_t i = 0; i < bytes.size(); i += 4) icon.px.push_back({bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]});
    return icon;
}
}  // namespace

// The XPM is well formed (each row as wide as declared, every code in the colour table)
// and shows the desktop icon of its size: opaque where it is at least half covered, in
// the same colours.
TEST(Icons, TheWindowIconIsTheDesktopShip) {
    int w = 0, h = 0, count = 0, chars = 0;
    ASSERT_EQ(std::sscanf(zudaduviz_icon_xpm[0], "%d %d %d %d", &w, &h, &count, &chars), 4);
    ASSERT_EQ(chars, 2);
    Icon icon = load_icon(w);
    ASSERT_TRUE(icon.w == w && h == w);
    std::map<std::string, int> table;  // code -> colour, or -1 for None
    for (int i = 1; i <= count; i++) {
        std::string line = zudaduviz_icon_xpm[i];
        unsigned colour = 0;
        ASSERT_TRUE(line.substr(2, 3) == " c ") << line;
        table[line.substr(0, 2)] = line.substr(5) == "None" ? -1 : (std::sscanf(line.c_str() + 5, "#%6x", &colour), int(colour));
    }
    ASSERT_EQ(int(table.size()), count) << "a code names two colours";
    int wrong = 0;
    for (int y = 0; y < h; y++) {
        std::string row = zudaduviz_icon_xpm[1 + count + y];
        ASSERT_EQ(int(row.size()), w * chars) << "row " << y;
        for (int x = 0; x < w; x++) {
            auto code = table.find(row.substr(size_t(x) * chars, chars));
            ASSERT_NE(code, table.end()) << "row " << y << ", column " << x;
            const Rgba& p = icon.at(x, y);
            wrong += code->second != (p.a < 128 ? -1 : p.r << 16 | p.g << 8 | p.b);
        }
    }
    EXPECT_EQ(wrong, 0);
}
