#include "frame/game.h"

std::atomic<int> tick_counter{0};

// Runs in Allegro's timer thread: one increment and nothing else.
void tick_callback() { tick_counter.fetch_add(1, std::memory_order_relaxed); }
