// Preloaded into a game built with AddressSanitizer, this writes the bytes the program
// holds on the heap, by the sanitizer's own exact count, every half second to the file
// named by HEAP_PROBE_FILE ("<seconds> <bytes>" lines). Resident memory says little there:
// the sanitizer's allocator and shadow grow on their own. In a program without the
// sanitizer it does nothing. Built without the sanitizer, so that preloading it is safe.
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using CountFunction = size_t (*)();

void* write_counts(void* count) {
    std::FILE* out = std::fopen(std::getenv("HEAP_PROBE_FILE"), "w");
    if (!out) return nullptr;
    for (long half_seconds = 0;; half_seconds++) {
        std::fprintf(out, "%.1f %zu\n", half_seconds / 2.0, reinterpret_cast<CountFunction>(count)());
        std::fflush(out);
        usleep(500000);
    }
}

__attribute__((constructor)) void start_probe() {
    void* count = dlsym(RTLD_DEFAULT, "__sanitizer_get_current_allocated_bytes");
    if (!count || !std::getenv("HEAP_PROBE_FILE")) return;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, write_counts, count) == 0) pthread_detach(thread);
}

}  // namespace
