// What the compiler expects from a C library: the handler table of irq.s and the memory
// routines that structure copies and clears turn into.
#include <stddef.h>

#include "irq.h"

IrqHandler irq_handlers[14];

void* memcpy(void* dest, const void* source, size_t count) {
    u8* d = dest;
    const u8* s = source;
    while (count--) {
        *d++ = *s++;
    }
    return dest;
}

void* memset(void* dest, int value, size_t count) {
    u8* d = dest;
    while (count--) {
        *d++ = (u8)value;
    }
    return dest;
}
