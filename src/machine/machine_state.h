// A saved state of the machine: one pass over the named records that hold the console's state,
// and the one procedure that rebuilds, after a load, everything that follows from them.
//
// In a state: the CPU record, every memory but the game pak ROM (the boot image included),
// the I/O registers, the memory control register, the save memories and their chips' state,
// the wave RAM banks, the background reference points, DMA, timers, the slice scheduler, the
// tone channels, the FIFOs and the tone sides' volumes. The keypad is KEYINPUT and KEYCNT in
// the I/O registers; the keys the host holds are the player's, not the state's.
// Not in a state, because they follow from it: the host colour tables, the wait-state
// tables, the CPU's execution notes (fetch windows, idle loop), the sprite line lists, the
// host buffers' volumes. Not in a state, because they belong to the host or to one frame
// only: the display, the render buffer and the renderers' line records, the sound output's
// write position, the frame counters and the save file notes.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/types.h"

struct StateRecord {
    char name[5]; // four characters: the record's name in a state
    void* data;
    u32 size;
};

// Every record of the console's state, in the order a state holds them. A record holds no
// pointers, so its bytes mean the same in another process.
std::span<const StateRecord> machineStateRecords();

// The records one after the other, each as its four-character name, its size (32 bits,
// little-endian) and its bytes.
std::vector<u8> saveMachineState();

// Puts the records BYTES hold (as saveMachineState wrote them) into the machine and rebuilds
// what follows from them. When BYTES do not hold exactly these records, of these sizes, or a
// record holds a value the machine cannot take (an index past its table), nothing changes and
// the reason is returned; an empty string means loaded.
std::string loadMachineState(const std::vector<u8>& bytes);

// Rebuilds everything that follows from the records: the host colour tables from PaletteRam,
// the wait-state tables from WAITCNT, the sprite line lists, the host volumes of the tone
// buffers, and forgets the CPU's execution notes.
void rebuildDerivedState();
