// SPDX-License-Identifier: GPL-3.0-or-later
// The title menu's two widgets.
#include <utility>

#include "data/data_file.h"
#include "input/input.h"
#include "screens/screens.h"
#include "view/view.h"

ImageButton::ImageButton(int centre_x, int y, int w, int h, BITMAP* normal, BITMAP* hover, BITMAP* pressed)
    : x(centre_x - normal->w / 2), y(y), w(w), h(h), normal_image(normal), hover_image(hover), pressed_image(pressed) {}

// Edges included: one pixel wider and higher than the picture.
bool ImageButton::is_hovered() const { return PictureArea{x, y, x + w, y + h}.contains(pointer_x(), pointer_y()); }

// Either button, and on every call while it is held (not only when pressed).
bool ImageButton::is_clicked() const { return is_hovered() && mouse_held(); }

void ImageButton::draw(BITMAP* dest) const {
    BITMAP* image = normal_image;
    if (is_hovered()) image = hover_image;
    if (is_clicked()) image = pressed_image;
    masked_blit(image, dest, 0, 0, x, y, w, h);
}

TextOption::TextOption(int label_x, int value_x, int y, std::string label, std::vector<std::string> values)
    : label_x(label_x), value_x(value_x), y(y), index(0), label(std::move(label)), values(std::move(values)),
      cooldown(0) {}

// From the label's left edge to the end of the value shown now, one text line high.
bool TextOption::is_hovered() const {
    const int right = value_x + text_length(font, values[index].c_str());
    return PictureArea{label_x, y, right, y + text_height(font)}.contains(pointer_x(), pointer_y());
}

// A held button advances the value once every four calls.
bool TextOption::update() {
    int before = index;
    if (is_hovered() && mouse_held() && cooldown == 0) {
        cooldown = 4;
        index++;
    }
    if (index > int(values.size()) - 1) index = 0;
    if (cooldown > 0) cooldown--;
    return index != before;
}

void TextOption::draw(BITMAP* dest) const {
    textprintf_ex(dest, font, label_x, y, colours::label(), -1, "%s", label.c_str());
    textprintf_ex(dest, font, value_x, y, colours::value(), -1, "%s", values[index].c_str());
    hline(dest, label_x, y + text_height(font), label_x + text_length(font, label.c_str()) - 2, colours::underline());
}
