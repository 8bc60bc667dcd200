// make_sounds DIR: synthesises the game's sound effects and writes them as 16-bit
// mono WAV files, DIR/86.wav ... DIR/97.wav, named after their places in the data
// file. Same bytes on every run: the noise has fixed seeds and nothing reads the clock.
#include <cstdio>
#include <string>

#include "effects.h"

namespace {

constexpr int first_index = 86;  // the effects follow the 86 pictures and tunes

bool write_file(const Bytes& bytes, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written) std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    int index = first_index;
    for (const SoundEffect& effect : compose_effects())
        ok = write_file(encode_wav(effect.samples), dir + "/" + std::to_string(index++) + ".wav") && ok;
    return ok ? 0 : 1;
}
