// SPDX-License-Identifier: GPL-3.0-or-later
// Every file the game reads goes through here: the settings, the record, the kept games and
// the data file. Whatever stands at a name (a FIFO, a device, a folder, a link to one of
// them, a huge file) is turned away before a byte is read, and nothing waits on it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/files.h"

GuardedFile::GuardedFile(const std::string& path) {
    struct stat info;
    // Looked at before opening, since opening a device can itself act; looked at again on
    // what was opened, in case the name changed meanwhile. O_NONBLOCK: a FIFO put there
    // between the two looks does not hold up the open.
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(fd);
        fd = -1;
    }
    if (fd >= 0) size = uint64_t(info.st_size);
}

GuardedFile::~GuardedFile() {
    if (fd >= 0) close(fd);
}

bool GuardedFile::read(void* into, size_t count, size_t& got) {
    got = 0;
    while (fd >= 0 && got < count) {
        const ssize_t step = ::read(fd, static_cast<char*>(into) + got, count - got);
        if (step == 0) break;
        if (step > 0) got += size_t(step);
        else if (errno != EINTR) return false;  // a signal handled meanwhile is no error
    }
    return fd >= 0;
}

std::optional<std::string> read_small_file(const std::string& path, size_t limit) {
    GuardedFile file(path);
    if (!file.opened() || file.size > limit) return std::nullopt;
    // One byte more than the size: a file that grew meanwhile shows it.
    std::string text(size_t(file.size) + 1, '\0');
    size_t got;
    if (!file.read(&text[0], text.size(), got) || got > limit) return std::nullopt;
    text.resize(got);
    return text;
}

bool is_readable_file(const std::string& path) { return GuardedFile(path).opened(); }
