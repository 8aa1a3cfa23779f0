// A pointer inside a record that crosses processes: always an 8-byte slot, so
// the 32-bit and 64-bit builds agree on the layout. Meaningless in another
// process; the receiver of a copy clears it.
#pragma once

#include <stdint.h>

template <class T>
union PtrSlot {
    T* ptr;
    uint64_t raw;
};
static_assert(sizeof(PtrSlot<int>) == 8, "shared layout");
