// SPDX-License-Identifier: GPL-3.0-or-later
// The languages the game speaks: French, the language of its sources and the default, and
// each language with a catalogue in po/. Every text the player reads is marked _() where
// it is used (N_() where it is only named, to be looked up later); the catalogue of the
// language spoken gives its translation. The game reads its catalogues itself rather than
// through the C library's gettext: a locale the machine has not generated still gets its
// language, the title's choice takes effect at once, and no locale is ever set, so numbers
// are written and read in one format whatever the player's locale.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#define _(text) translated(text)
#define N_(text) text

struct Language {
    const char* code;  // ISO 639-1, the catalogue's folder name
    const char* name;  // in the language itself, as the title offers it
};
constexpr Language languages[] = {{"fr", "Français"}, {"en", "English"}};
constexpr int language_count = int(sizeof languages / sizeof languages[0]);
constexpr int french = 0;

// The language's index for its code ("en", "en_GB.UTF-8" or "en@quot" count too), -1 for none.
int language_coded(const std::string& code);
// What the environment asks for, in gettext's order: LANGUAGE's list (unless the locale is
// "C"), then the first of LC_ALL, LC_MESSAGES and LANG that is set. French for "C", "POSIX",
// nothing set, or a language the game does not speak.
int language_of_environment();

// A compiled catalogue (.mo) read from its bytes: every original with its translation. Empty
// when the file is damaged, truncated or not UTF-8; a translation that is empty, or whose
// printf conversions differ from its original's, is left out (the original shows instead).
using Catalogue = std::unordered_map<std::string, std::string>;
Catalogue read_catalogue(const std::string& bytes);
// Where a catalogue ll/LC_MESSAGES/zudaduviz.mo is looked for: the build's locale/ beside
// the executable, then ../share/locale from its folder, then the folder the build installs into.
std::vector<std::string> catalogue_folders(const std::string& executable_dir);

// From now on, the texts of this language: its catalogue from the first folder that holds a
// readable one. French needs none; a language whose catalogue is missing or unusable speaks
// French. Returns the language spoken.
int speak(int language, const std::vector<std::string>& folders);
int spoken_language();
// The text in the language spoken (the text itself in French or when untranslated). Valid for
// the whole run.
const char* translated(const char* text) __attribute__((format_arg(1)));
// printf into a string: for the translated texts that hold numbers or names.
std::string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
