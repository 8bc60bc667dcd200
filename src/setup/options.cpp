// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: a window or the full screen, an explicit data file, help and version.
#include "setup/setup.h"

#include <cstring>

Options parse_options(int argc, const char* const* argv) {
    Options options;
    auto wrong = [&options](const std::string& what) {
        options.action = Options::Action::usage_error;
        options.error = what;
        return options;
    };
    for (int i = 1; i < argc; i++) {
        const std::string argument = argv[i];
        if (argument == "--help") return options.action = Options::Action::help, options;
        if (argument == "--version") return options.action = Options::Action::version, options;
        if (argument == "--scores") {
            options.action = Options::Action::scores;  // with the data file named, if it is
        } else if (argument == "--fenetre") {
            options.display = Settings::Display::window;
        } else if (argument == "--plein-ecran") {
            options.display = Settings::Display::fullscreen;
        } else if (argument == "--echelle" || argument.rfind("--echelle=", 0) == 0) {
            const bool joined = argument != "--echelle";  // --echelle=N
            const std::string value =
                joined ? argument.substr(std::strlen("--echelle=")) : i + 1 < argc ? argv[++i] : "";
            if (value.size() != 1 || value[0] < '1' || value[0] - '0' > max_scale)
                return wrong(printed(_("l'option « %s » attend un nombre de 1 à %d"), "--echelle", max_scale));
            options.scale = value[0] - '0';
        } else if (argument == "--donnees") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return wrong(printed(_("l'option « %s » attend un nom de fichier"), "--donnees"));
            options.data_file = argv[++i];
        } else if (argument.rfind("--donnees=", 0) == 0) {
            options.data_file = argument.substr(std::strlen("--donnees="));
            if (options.data_file.empty()) return wrong(printed(_("l'option « %s » attend un nom de fichier"), "--donnees"));
        } else if (argument == "--rejouer" || argument == "--verifier") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') return wrong(printed(_("l'option « %s » attend un nom de fichier"), argument.c_str()));
            (argument == "--rejouer" ? options.replay_to_watch : options.replay_to_verify) = argv[++i];
        } else if (argument.rfind("-", 0) == 0) {
            return wrong(printed(_("option inconnue « %s »"), argument.c_str()));
        } else {
            return wrong(printed(_("argument inattendu « %s »"), argument.c_str()));
        }
    }
    return options;
}

bool take_display_choice(const Options& options, Settings& settings) {
    if (options.display == Settings::Display::unchosen && options.scale == 0) return false;
    if (options.scale > 0) settings.scale = options.scale;
    settings.display = options.display != Settings::Display::unchosen ? options.display : Settings::Display::window;
    return true;
}

namespace {
const char* const usage_line =
    N_("Usage : zudaduviz [--fenetre | --plein-ecran] [--echelle N] [--donnees FICHIER]\n"
       "                  [--rejouer FICHIER | --verifier FICHIER | --scores]\n");
}  // namespace

std::string help_text() {
    return std::string(_(usage_line)) +
           _("Zudaduviz, un jeu de tir : votre vaisseau contre les envahisseurs.\n"
           "\n"
           "Options :\n"
           "  --fenetre           jouer dans une fenêtre\n"
           "  --plein-ecran       jouer en plein écran, à la taille de l'écran\n"
           "  --echelle N         jouer dans une fenêtre N fois plus grande (1, 2, 3...)\n"
           "  --donnees FICHIER   lire les images et la musique dans FICHIER\n"
           "  --rejouer FICHIER   revoir la partie enregistrée dans FICHIER, puis le titre\n"
           "  --verifier FICHIER  rejouer FICHIER sans fenêtre et vérifier chaque contrôle\n"
           "                      (code de sortie 1 à la première différence)\n"
           "  --scores            afficher le tableau d'honneur de chaque rapidité, chaque\n"
           "                      partie rejouée pour la prouver\n"
           "  --help              afficher cette aide et quitter\n"
           "  --version           afficher la version et quitter\n") +
           "\n" +
           _("À tout moment, Alt+Entrée ou F11 passe de la fenêtre au plein écran et\n"
           "retour ; F10 change la taille de la fenêtre ; F9 choisit, en plein écran,\n"
           "entre l'image agrandie d'un nombre entier de fois et l'image qui remplit\n"
           "l'écran. Le dernier choix est gardé pour la fois suivante.\n") +
           "\n" +
           printed(_("Fichiers :\n"
           "  zudaduviz.dat   les images et la musique ; cherché dans le dossier courant,\n"
           "                  puis à côté du programme, puis dans ../share/zudaduviz à\n"
           "                  partir du dossier du programme, puis dans\n"
           "                  %s\n"
           "  patches.dat     les instruments de la musique ; cherché à côté du programme,\n"
           "                  puis dans les mêmes dossiers de données\n"
           "  ~/.config/zudaduviz/settings\n"
           "                  les réglages du joueur (sous $XDG_CONFIG_HOME s'il est défini)\n"
           "  ~/.local/share/zudaduviz/last-game.replay, best-game.replay\n"
           "                  la dernière partie et celle du record (sous $XDG_DATA_HOME\n"
           "                  s'il est défini) ; après 20 s sans rien toucher, le titre\n"
           "                  montre la meilleure en démonstration\n"
           "  ~/.local/share/zudaduviz/scores, scores-games/\n"
           "                  le tableau d'honneur et ses parties (F2 au titre)\n"), ZUDADUVIZ_DATA_DIR);
}

std::string usage_text(const std::string& error) {
    return printed(_("zudaduviz : %s\n"), error.c_str()) + _(usage_line) + _("Essayez « zudaduviz --help » pour en savoir plus.\n");
}

std::string version_text() { return "zudaduviz " ZUDADUVIZ_VERSION "\n"; }
