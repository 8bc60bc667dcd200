// SPDX-License-Identifier: GPL-3.0-or-later
// The language spoken, its catalogue read bounds-checked from the .mo file, and the choice
// the environment makes.
#include "language/language.h"

#include <strings.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <list>

namespace {

// Every catalogue read stays for the run: a translation handed out is never freed.
std::list<Catalogue> catalogues;
const Catalogue* spoken_catalogue = nullptr;
int spoken = french;

// A catalogue is a few kilobytes; anything far larger is not one.
constexpr size_t largest_catalogue = 1 << 20;

// The printf conversions of a text, in order ("%i", "%s", "%.0f"); "%%" is none.
std::vector<std::string> conversions(const std::string& text) {
    std::vector<std::string> found;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        size_t end = at + 1;
        while (end < text.size() && std::string("diouxXeEfFgGaAcspn%").find(text[end]) == std::string::npos) end++;
        if (end < text.size() && text[end] != '%') found.push_back(text.substr(at, end - at + 1));
        at = end + 1;
    }
    return found;
}

bool valid_utf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const unsigned char lead = text[at];
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || at + length > text.size()) return false;
        for (size_t i = 1; i < length; i++)
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
        at += length;
    }
    return true;
}

// The language part of a locale or LANGUAGE entry: "en" of "en_GB.UTF-8@euro".
std::string language_part(const std::string& name) { return name.substr(0, name.find_first_of("_.@")); }

}  // namespace

int language_coded(const std::string& code) {
    for (int language = 0; language < language_count; language++)
        if (language_part(code) == languages[language].code) return language;
    return -1;
}

int language_of_environment() {
    std::string locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && value[0]) {
            locale = value;
            break;
        }
    }
    // As gettext: in the "C" locale the program's own texts, whatever LANGUAGE says.
    if (locale.empty() || language_part(locale) == "C" || locale == "POSIX") return french;
    const char* list = std::getenv("LANGUAGE");
    for (std::string rest = list ? list : ""; !rest.empty();) {
        const size_t colon = rest.find(':');
        if (const int language = language_coded(rest.substr(0, colon)); language >= 0) return language;
        rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
    }
    const int language = language_coded(locale);
    return language >= 0 ? language : french;
}

Catalogue read_catalogue(const std::string& bytes) {
    bool swapped = false, ok = true;
    auto word = [&](size_t at) -> uint32_t {
        if (at > bytes.size() || bytes.size() - at < 4) return ok = false, 0;
        uint32_t value = 0;
        for (int i = 0; i < 4; i++) value |= uint32_t(uint8_t(bytes[at + i])) << (swapped ? 24 - 8 * i : 8 * i);
        return value;
    };
    // The string of table entry `index`: its length, then its offset; NUL-terminated in the file.
    auto entry = [&](uint32_t table, uint32_t index) -> std::string {
        const uint32_t length = word(size_t(table) + 8 * size_t(index)), offset = word(size_t(table) + 8 * size_t(index) + 4);
        if (!ok || offset > bytes.size() || bytes.size() - offset <= length || bytes[offset + length] != '\0')
            return ok = false, "";
        return bytes.substr(offset, length);
    };
    const uint32_t magic = word(0);
    swapped = magic == 0xde120495;
    if (magic != 0x950412de && !swapped) return {};
    const uint32_t revision = word(4), count = word(8), originals = word(12), translations = word(16);
    if (!ok || revision >> 16 > 1 || count > bytes.size() / 8) return {};
    Catalogue catalogue;
    bool utf8 = false;
    for (uint32_t index = 0; index < count && ok; index++) {
        const std::string original = entry(originals, index), translation = entry(translations, index);
        if (original.empty()) {  // the header: the file's charset
            const size_t charset = translation.find("charset=");
            utf8 = charset != std::string::npos && strncasecmp(translation.c_str() + charset + 8, "UTF-8", 5) == 0;
        } else if (!translation.empty() && valid_utf8(translation) && conversions(translation) == conversions(original)) {
            catalogue.emplace(original, translation);
        }
    }
    return ok && utf8 ? catalogue : Catalogue();
}

std::vector<std::string> catalogue_folders(const std::string& executable_dir) {
    std::vector<std::string> folders;
    if (!executable_dir.empty()) {
        folders.push_back(executable_dir + "/locale");
        // Lexically, as the data folders: ../share/locale from the executable's folder.
        const size_t slash = executable_dir.rfind('/');
        folders.push_back((slash == std::string::npos ? "." : executable_dir.substr(0, slash)) + "/share/locale");
    }
    folders.push_back(ZUDADUVIZ_LOCALE_DIR);
    return folders;
}

int speak(int language, const std::vector<std::string>& folders) {
    spoken = french;
    spoken_catalogue = nullptr;
    if (language <= french || language >= language_count) return spoken;
    for (const std::string& folder : folders) {
        std::ifstream file(folder + "/" + languages[language].code + "/LC_MESSAGES/zudaduviz.mo", std::ios::binary);
        std::string bytes(largest_catalogue + 1, '\0');
        file.read(bytes.data(), bytes.size());
        bytes.resize(file.gcount());
        Catalogue catalogue = bytes.size() > largest_catalogue ? Catalogue() : read_catalogue(bytes);
        if (catalogue.empty()) continue;
        spoken_catalogue = &catalogues.emplace_back(std::move(catalogue));
        spoken = language;
        break;
    }
    return spoken;
}

int spoken_language() { return spoken; }

const char* translated(const char* text) {
    if (!spoken_catalogue) return text;
    const auto found = spoken_catalogue->find(text);
    return found == spoken_catalogue->end() ? text : found->second.c_str();
}

std::string printed(const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    std::string text(length > 0 ? length : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    va_end(args);
    return text;
}
