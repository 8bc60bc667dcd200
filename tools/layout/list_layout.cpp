// SPDX-License-Identifier: GPL-3.0-or-later
// list_layout: prints the data file's objects in index order, one line each:
// the source file a generator writes and Allegro's dat type, e.g. "00.mid MIDI".
// The assembly step reads this list, so the layout lives only in data/data_file.h.
#include <cstdio>

#include "data/data_file.h"

int main() {
    for (int index = 0; index < data_layout::object_count; index++)
        std::printf("%s %s\n", data_layout::source_name(index).c_str(),
                    data_layout::dat_type(data_layout::slots[index].kind));
    return 0;
}
