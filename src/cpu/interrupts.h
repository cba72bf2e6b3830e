// Interrupt requests and IRQ entry. Devices raise interrupts only through requestInterrupt:
// a request counts only while IME is on and IE has the bit; it wakes a halted CPU and enters
// the boot image's IRQ vector at once when the gate allows it.
#pragma once

#include "common/types.h"

// IE/IF bits.
namespace irq {
constexpr u16 vblank = 1 << 0;
constexpr u16 hblank = 1 << 1;
constexpr u16 vcount = 1 << 2;
constexpr u16 timer0 = 1 << 3;
constexpr u16 dma0 = 1 << 8;
constexpr u16 keypad = 1 << 12;
} // namespace irq

void requestInterrupt(u16 bits);

// Enters the IRQ if no DMA channel is active, CPSR.I is clear, IME is on and IE AND IF AND
// bits is nonzero. IF is not changed.
void serviceInterrupt(u16 bits);

// IRQ exception entry: SPSR_irq = CPSR, R14_irq = next instruction + 4, ARM state at 0x18.
void enterIrq();

// A write of a nonzero value to IME re-examines the requests pending in IF. Such a write
// happens inside an instruction, so an interrupt it makes due is entered once that
// instruction has completed, never from within it.
void imeWritten(u32 value);

// Called by the scheduler when the instruction loop stops: enters a held interrupt and gives
// back the cycles of the slice that were held while it waited.
void takeDueInterrupt();
