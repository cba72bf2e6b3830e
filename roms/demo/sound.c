// Sound of the demo: a tune on the two tone channels and the wave channel, stepped by a timer
// interrupt, and sampled effects played through sound FIFO A by DMA 1, whose end a second,
// cascaded timer signals with an interrupt.
#include "bios.h"
#include "demo.h"
#include "irq.h"

// Output rate of the samples: timer 0 overflows every 1024 cycles, 16384 times a second.
#define SAMPLE_TIMER_RELOAD (0x10000 - 1024)
#define BLAST_LENGTH 9728 // bytes, a multiple of 16 (the FIFO is fed four words at a time)
#define SHOT_LENGTH 1968

static s8 blast_sample[BLAST_LENGTH] EWRAM_BSS __attribute__((aligned(4)));
static s8 shot_sample[SHOT_LENGTH] EWRAM_BSS __attribute__((aligned(4)));
static int blast_playing;

// Tone channel frequency values for the notes from C2 (MIDI 36) to B6: 2048 - 131072 / f.
static const u16 tone_frequency[60] = {
    44,   157,  263,  363,  457,  547,  631,  711,  786,  856,  923,  986,  1046, 1102, 1155,
    1205, 1253, 1297, 1339, 1379, 1417, 1452, 1486, 1517, 1547, 1575, 1602, 1627, 1650, 1673,
    1694, 1714, 1732, 1750, 1767, 1783, 1798, 1812, 1825, 1837, 1849, 1860, 1871, 1881, 1890,
    1899, 1907, 1915, 1923, 1930, 1936, 1943, 1949, 1954, 1959, 1964, 1969, 1974, 1978, 1982,
};

// A tune: a melody as text (note names such as "A4" or "C#5", "-" holds, "." is silence), the
// chord root of each bar (MIDI numbers, minor chords when negative), the steps per bar and
// the timer ticks per step. The harmony channel arpeggiates the chord, the bass follows the
// root.
typedef struct {
    const char* melody;
    const s8* roots;
    u8 bars;
    u8 ticks_per_step;
    u8 loops;
} Tune;

static const s8 play_roots[] = {-45, 41, 43, -40, -45, 41, 43, 40};
static const s8 title_roots[] = {-45, 41, 48, 43};
static const s8 over_roots[] = {-45, -45};

static const Tune tunes[] = {
    [TUNE_TITLE] = {"E5 - - - - - - - D5 - - - C5 - - - "
                    "C5 - - - - - - - A4 - - - C5 - - - "
                    "G5 - - - - - - - E5 - - - C5 - - - "
                    "D5 - - - - - - - B4 - - - . - - - ",
                    title_roots, 4, 3, 1},
    [TUNE_PLAY] = {"A4 - C5 - E5 - A5 - G5 - E5 - D5 - C5 - "
                   "A4 - - - C5 - F5 - - - E5 - C5 - A4 - "
                   "B4 - D5 - G5 - - - F5 - D5 - B4 - G4 - "
                   "G#4 - - - B4 - E5 - - - G#5 - - - - - "
                   "A5 - G5 - E5 - - - C5 - D5 - E5 - - - "
                   "F5 - E5 - C5 - A4 - - - C5 - F5 - - - "
                   "G5 - F5 - D5 - B4 - D5 - - - G5 - - - "
                   "E5 - D5 - B4 - G#4 - E4 - - - . - - - ",
                   play_roots, 8, 1, 1},
    [TUNE_OVER] = {"E5 - D5 - C5 - B4 - A4 - - - - - - - "
                   ". - - - - - - - - - - - - - - - ",
                   over_roots, 2, 2, 0},
};

static struct {
    const Tune* tune;
    const char* next; // next melody token
    u16 step;
    u8 tick;
    u8 playing;
} music;

// 32 four-bit samples of the bass: a soft sawtooth.
static const u32 bass_wave[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

static u16 note_frequency(int midi) {
    while (midi < 36) {
        midi += 12;
    }
    while (midi > 95) {
        midi -= 12;
    }
    return tone_frequency[midi - 36];
}

// Parses the next melody token: a MIDI note, 0 for a hold, -1 for silence.
static int next_token(void) {
    const char* p = music.next;
    while (*p == ' ') {
        ++p;
    }
    int note = 0;
    if (*p == '.') {
        note = -1;
        ++p;
    } else if (*p == '-') {
        ++p;
    } else if (*p) {
        static const s8 semitones[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
        note = semitones[*p++ - 'A'];
        if (*p == '#') {
            note += 1;
            ++p;
        }
        note += 12 * (*p++ - '0' + 1);
    }
    music.next = p;
    return note;
}

static void play_lead(int note) {
    if (note > 0) {
        REG_SOUND1CNT_H = 0xB280; // volume 11, fading every 2/64 s, half duty
        REG_SOUND1CNT_X = 0x8000 | note_frequency(note);
    } else if (note < 0) {
        REG_SOUND1CNT_H = 0x0000;
        REG_SOUND1CNT_X = 0x8000 | note_frequency(60);
    }
}

// The harmony: the chord's root, third and fifth in turn, an octave above the bass.
static void play_harmony(int root, int step) {
    int minor = root < 0;
    int base = (minor ? -root : root) + 12;
    static const u8 pattern[4] = {0, 2, 1, 2};
    int offsets[3] = {0, minor ? 3 : 4, 7};
    int note = base + offsets[pattern[step & 3]];
    REG_SOUND2CNT_L = 0x5140; // volume 5, fading every 1/64 s, quarter duty
    REG_SOUND2CNT_H = 0x8000 | note_frequency(note);
}

// The bass on the wave channel: the root on the beat, an octave up on the off-beat. The wave
// channel plays its 32 samples at 2097152 / (2048 - n) a second.
static void play_bass(int root, int step) {
    int note = (root < 0 ? -root : root) - 12;
    if ((step & 3) == 2) {
        note += 12;
    }
    if (step & 1) {
        return;
    }
    u16 tone = note_frequency(note);
    REG_SOUND3CNT_L = 0x0080;
    REG_SOUND3CNT_H = 0x2000; // full volume
    REG_SOUND3CNT_X = 0x8000 | (u16)(2048 - (2048 - tone) / 2);
}

static void music_step(void) {
    const Tune* tune = music.tune;
    int steps_per_bar = 16;
    if (!*music.next) {
        if (!tune->loops) {
            music.playing = 0;
            REG_SOUND3CNT_L = 0;
            return;
        }
        music.next = tune->melody;
        music.step = 0;
    }
    int bar = music.step / steps_per_bar;
    int root = tune->roots[bar % tune->bars];
    play_lead(next_token());
    play_harmony(root, music.step);
    play_bass(root, music.step);
    ++music.step;
}

static void music_tick(void) {
    if (!music.playing) {
        return;
    }
    if (++music.tick >= music.tune->ticks_per_step) {
        music.tick = 0;
        music_step();
    }
}

void music_start(int tune) {
    REG_IME = 0;
    music.tune = &tunes[tune];
    music.next = music.tune->melody;
    music.step = 0;
    music.tick = music.tune->ticks_per_step - 1;
    music.playing = 1;
    REG_IME = 1;
}

static void sample_stop(void) {
    REG_DMACNT_H(1) = 0;
    REG_TMCNT_H(1) = 0;
    REG_SOUNDCNT_H = 0x0B06; // clears what is left in FIFO A
    blast_playing = 0;
}

// Timer 1 counts the samples played; its overflow marks the end of the effect.
static void sample_ended(void) {
    sample_stop();
}

static void sample_play(const s8* sample, u32 length) {
    sample_stop();
    REG_DMASAD(1) = (u32)sample;
    REG_DMADAD(1) = REG_FIFO_A_ADDRESS;
    REG_DMACNT_H(1) = DMA_ENABLE | DMA_AT_SOUND | DMA_32BIT | DMA_REPEAT | DMA_DEST_FIXED;
    // The console ignores the prescaler of a cascaded timer; this emulator adds 64 per
    // overflow of timer 0 when it is 0, so the prescaler is set to 1, which counts 1.
    REG_TMCNT_L(1) = (u16)(0x10000 - length);
    REG_TMCNT_H(1) = TIMER_ENABLE | TIMER_CASCADE | TIMER_IRQ | TIMER_PRESCALE_64;
}

void sfx_blast(void) {
    sample_play(blast_sample, BLAST_LENGTH);
    blast_playing = 1;
}

void sfx_shot(void) {
    if (!blast_playing) {
        sample_play(shot_sample, SHOT_LENGTH);
    }
}

// The explosion: noise from a shift register, smoothed more and more as it fades out over
// six tenths of a second.
static void make_blast(void) {
    u32 lfsr = 0xACE1;
    int smooth = 0;
    for (int i = 0; i < BLAST_LENGTH; ++i) {
        lfsr = (lfsr >> 1) ^ (-(lfsr & 1) & 0xB400);
        int noise = (int)(lfsr & 0xFF) - 128;
        smooth += (noise - smooth) >> (1 + (i >> 11));
        int left = (BLAST_LENGTH - i) >> 6; // 152 down to 1
        int level = (smooth * left * left) >> 13;
        blast_sample[i] = (s8)(level > 127 ? 127 : level < -127 ? -127 : level);
    }
}

// The shot: a square wave sweeping down from about 2000 Hz to 300 Hz, fading out.
static void make_shot(void) {
    u32 phase = 0;
    s32 step = 8000 << 8, step_change = (6800 << 8) / SHOT_LENGTH;
    s32 level = 90 << 8, level_change = (90 << 8) / SHOT_LENGTH;
    for (int i = 0; i < SHOT_LENGTH; ++i) {
        phase += (u32)(step >> 8) * 16; // 1/65536 of a period per sample
        shot_sample[i] = (s8)((phase & 0x80000) ? level >> 8 : -(level >> 8));
        step -= step_change;
        level -= level_change;
    }
}

void sound_init(void) {
    make_blast();
    make_shot();

    // Master enable. The low bits are the channels' status flags, which only the sound unit
    // sets: each channel starts when its restart bit is written.
    REG_SOUNDCNT_X = 0x0080;
    REG_SOUNDCNT_L = 0x7777;  // channels 1-3 on both sides at full volume
    REG_SOUNDCNT_H = 0x0B06;  // tone channels and FIFO A (both sides, timer 0) at full volume
    REG_SOUND1CNT_L = 0x0008; // no sweep

    // The bass wave goes into bank 0 while bank 1 is the one played.
    REG_SOUND3CNT_L = 0x0040;
    for (int i = 0; i < 4; ++i) {
        WAVE_RAM[i] = bass_wave[i];
    }
    REG_SOUND3CNT_L = 0x0000;

    REG_TMCNT_L(0) = SAMPLE_TIMER_RELOAD;
    REG_TMCNT_H(0) = TIMER_ENABLE;

    // The music's clock: timer 2 at 16384 Hz, overflowing 9.3 times a second (sixteenth notes
    // at 140 beats a minute).
    irq_handlers[4] = sample_ended;
    irq_handlers[5] = music_tick;
    REG_TMCNT_L(2) = (u16)(0x10000 - 1755);
    REG_TMCNT_H(2) = TIMER_ENABLE | TIMER_IRQ | TIMER_PRESCALE_1024;
    REG_IE |= IRQ_TIMER(1) | IRQ_TIMER(2);
}
