// Interrupt requests and IRQ entry. Devices raise interrupts only through requestInterrupt,
// which records every request in IF, whatever IME and IE hold. A halted CPU resumes once IE
// AND IF is not 0; the IRQ is entered when, besides, IME is on, CPSR.I is clear and no DMA
// channel is active, whichever of these comes true last.
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

// Records BITS in IF (while a DMA channel is active, in the DMA engine's deferred mask, which
// reaches IF when the last channel finishes), then serviceInterrupt.
void requestInterrupt(u16 bits);

// Wakes a halted CPU when IE AND IF is not 0 and enters the IRQ when the gate is open as well.
// Called after everything that may make that true: a request, a write to IE or IME, a change
// of the CPSR that clears I, the end of the last DMA transfer. While instructions run
// (CpuState::insideRun), the entry waits until the current instruction has completed.
void serviceInterrupt();

// IRQ exception entry: SPSR_irq = CPSR, R14_irq = next instruction + 4, ARM state at 0x18.
void enterIrq();

// Called by the instruction loop once the instruction that made an interrupt due has
// completed: enters it.
void takeDueInterrupt();
