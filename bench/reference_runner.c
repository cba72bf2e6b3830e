/* The reference emulator side of bench/compare.sh: runs a ROM through Debian's libmgba for a
 * number of frames, every frame drawn and the sound read out at 44100 Hz as a host would, with
 * the same boot image and the same scripted buttons as the headless runner, and prints the
 * frames per second of the emulation loop alone.
 *
 * usage: reference_runner BIOS ROM FRAMES [BUTTON@F-G]...   (BUTTON: A B SELECT START RIGHT
 *        LEFT UP DOWN R L, held from frame F to frame G) */
#include <mgba-util/vfs.h>
#include <mgba/core/blip_buf.h>
#include <mgba/core/core.h>
#include <mgba/core/log.h>
#include <mgba/gba/core.h>

#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* Exported by the library but declared only in its private headers. The library's own check
 * wants a branch in every exception vector, which the project's boot image does not have. */
struct GBA;
void GBALoadBIOS(struct GBA* gba, struct VFile* vf);

struct Press {
    unsigned bit, from, to;
};

static void quiet(struct mLogger* logger, int category, enum mLogLevel level, const char* format,
                  va_list args) {
    (void)logger, (void)category, (void)level, (void)format, (void)args;
}

static int keyBit(const char* name, size_t length) {
    static const char* const names[] = {"A",     "B",    "SELECT", "START", "RIGHT",
                                        "LEFT",  "UP",   "DOWN",   "R",     "L"};
    for (int i = 0; i < 10; ++i) {
        if (strlen(names[i]) == length && strncmp(names[i], name, length) == 0) {
            return i;
        }
    }
    return -1;
}

static double now(void) {
    struct timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return time.tv_sec + time.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: reference_runner BIOS ROM FRAMES [BUTTON@F-G]...\n");
        return 2;
    }
    unsigned frames = (unsigned)atoi(argv[3]);
    struct Press presses[32];
    int pressCount = 0;
    for (int i = 4; i < argc && pressCount < 32; ++i) {
        const char* at = strchr(argv[i], '@');
        int bit = at ? keyBit(argv[i], (size_t)(at - argv[i])) : -1;
        unsigned from, to;
        if (bit < 0 || sscanf(at + 1, "%u-%u", &from, &to) != 2) {
            fprintf(stderr, "reference_runner: bad button '%s'\n", argv[i]);
            return 2;
        }
        presses[pressCount++] = (struct Press){(unsigned)bit, from, to};
    }

    static struct mLogger logger = {.log = quiet};
    mLogSetDefaultLogger(&logger);
    /* The core is chosen directly: test programs need not start with the usual branch. */
    struct mCore* core = GBACoreCreate();
    if (!core || !core->init(core)) {
        fprintf(stderr, "reference_runner: cannot create the core\n");
        return 2;
    }
    mCoreInitConfig(core, NULL);
    core->opts.skipBios = true;
    unsigned width, height;
    core->desiredVideoDimensions(core, &width, &height);
    color_t* picture = calloc((size_t)width * height, sizeof *picture);
    core->setVideoBuffer(core, picture, width);
    core->setAudioBufferSize(core, 2048);
    blip_set_rates(core->getAudioChannel(core, 0), core->frequency(core), 44100);
    blip_set_rates(core->getAudioChannel(core, 1), core->frequency(core), 44100);
    struct VFile* bios = VFileOpen(argv[1], O_RDONLY);
    if (!bios) {
        fprintf(stderr, "reference_runner: cannot open boot image %s\n", argv[1]);
        return 2;
    }
    GBALoadBIOS(core->board, bios);
    struct VFile* rom = VFileOpen(argv[2], O_RDONLY);
    if (!rom || !core->loadROM(core, rom)) {
        fprintf(stderr, "reference_runner: cannot load %s\n", argv[2]);
        return 2;
    }
    core->reset(core);

    short samples[2 * 4096];
    long long sampleTotal = 0;
    double start = now();
    for (unsigned frame = 0; frame < frames; ++frame) {
        unsigned keys = 0;
        for (int i = 0; i < pressCount; ++i) {
            if (frame >= presses[i].from && frame < presses[i].to) {
                keys |= 1u << presses[i].bit;
            }
        }
        core->setKeys(core, keys);
        core->runFrame(core);
        struct blip_t* left = core->getAudioChannel(core, 0);
        struct blip_t* right = core->getAudioChannel(core, 1);
        int available = blip_samples_avail(left);
        if (available > 4096) {
            available = 4096;
        }
        blip_read_samples(left, samples, available, 1);
        blip_read_samples(right, samples + 1, available, 1);
        sampleTotal += available;
    }
    double seconds = now() - start;
    printf("fps %.1f\nsamples %lld\n", frames / seconds, sampleTotal);
    core->deinit(core);
    free(picture);
    return 0;
}
