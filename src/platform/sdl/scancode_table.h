// Translation of SDL's scancodes (USB usage numbers, the key's place on the keyboard) into the
// PC set-1 scan codes the emulator and its configuration file speak (Escape 0x01, A 0x1E, Up
// 0xC8). Both number physical keys, so a key keeps its code whatever the keyboard layout.
#pragma once

#include <SDL_scancode.h>

#include "common/types.h"

// The set-1 code of a key, 0 for keys that have none.
u8 setOneCodeOfScancode(SDL_Scancode scancode);
