// quarvend-headless: runs the emulator's real entry point on the headless host, with buttons
// held at chosen frames, screenshots on request and a summary at the end.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cart/save_files.h"
#include "common/dik_keys.h"
#include "common/run_state.h"
#include "common/settings.h"
#include "machine/gba_system.h"
#include "platform/headless/headless_host.h"
#include "shell/config_file.h"
#include "shell/debug_keys.h"
#include "shell/save_states.h"
#include "shell/startup.h"

namespace fs = std::filesystem;

namespace {

const char* const usage =
    "usage: quarvend-headless [--workdir DIR] [--bios FILE] [--config FILE] [--frames N]\n"
    "                         [--press BUTTON@F-G]... [--shot F]... [--fail STEP] [--regs]\n"
    "                         [--bench] [--wav FILE] [--save-write-pause MS]\n"
    "                         [--save-state N:FILE]... [--load-state FILE] ROM\n";

// Keyboard codes of the default configuration: arrows, Z = A, X = B, Backspace = Select,
// Enter = Start, A = L, S = R.
const char* const defaultConfig = "INPUT=KEYBOARD\r\n"
                                  "KEYUP=200\r\nKEYDOWN=208\r\nKEYLEFT=203\r\nKEYRIGHT=205\r\n"
                                  "KEYA=44\r\nKEYB=45\r\nKEYSELECT=14\r\nKEYSTART=28\r\n"
                                  "KEYL=30\r\nKEYR=31\r\n \r\n";

// --save-write-pause: milliseconds each save write is held halfway and before its rename.
u32 savePause = 0;

struct Press {
    u8 button; // 1..10, or 0 for a keyboard key
    u8 key;    // its key code when button is 0
    u32 from;
    u32 to;
};

struct StateSave {
    u32 frame;
    std::string path;
};

struct Options {
    std::string workdir;
    std::string bios;
    std::string config;
    u32 frames = 600;
    std::vector<Press> presses;
    std::vector<u32> shots;
    HeadlessFailure failure = HeadlessFailure::none;
    bool regs = false;
    bool bench = false;
    std::string wav;
    std::vector<StateSave> stateSaves;
    std::string stateLoad;
    std::string rom;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "quarvend-headless: %s\n", message.c_str());
    std::exit(2);
}

bool parseNumber(const std::string& text, u32* value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *value = static_cast<u32>(std::stoul(text));
    return true;
}

u8 buttonNumber(const std::string& name) {
    static const char* const names[] = {"UP",    "DOWN", "LEFT", "RIGHT", "SELECT",
                                        "START", "A",    "B",    "L",     "R"};
    for (u8 i = 0; i < 10; ++i) {
        if (name == names[i]) {
            return static_cast<u8>(i + 1);
        }
    }
    return 0;
}

// KEY:NAME, a keyboard key by the name the settings program gives it (KEY:F1, KEY:LShift, ...);
// 0 for anything else.
u8 keyCode(const std::string& text) {
    const std::string prefix = "KEY:";
    if (text.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    for (const DikKey& key : dikKeys) {
        if (text.substr(prefix.size()) == key.name) {
            return key.code;
        }
    }
    return 0;
}

// BUTTON@F-G holds a GBA button through its configured key, KEY:NAME@F-G a key of the keyboard.
Press parsePress(const std::string& text) {
    size_t at = text.find('@');
    size_t dash = text.find('-', at == std::string::npos ? 0 : at);
    Press press{};
    if (at != std::string::npos) {
        press.button = buttonNumber(text.substr(0, at));
        press.key = keyCode(text.substr(0, at));
    }
    if (at == std::string::npos || dash == std::string::npos || (!press.button && !press.key) ||
        !parseNumber(text.substr(at + 1, dash - at - 1), &press.from) ||
        !parseNumber(text.substr(dash + 1), &press.to) || press.to < press.from) {
        fail("bad --press '" + text +
             "' (expected BUTTON@F-G or KEY:NAME@F-G, e.g. A@10-20, KEY:F1@5-5)");
    }
    return press;
}

StateSave parseStateSave(const std::string& text) {
    size_t colon = text.find(':');
    StateSave save{};
    if (colon == std::string::npos || !parseNumber(text.substr(0, colon), &save.frame) ||
        colon + 1 == text.size()) {
        fail("bad --save-state '" + text + "' (expected N:FILE, e.g. 300:game.state)");
    }
    save.path = fs::absolute(text.substr(colon + 1)).string();
    return save;
}

HeadlessFailure parseFailure(const std::string& step) {
    if (step == "window")
        return HeadlessFailure::window;
    if (step == "input")
        return HeadlessFailure::input;
    if (step == "sound")
        return HeadlessFailure::sound;
    if (step == "display")
        return HeadlessFailure::display;
    fail("bad --fail '" + step + "' (expected window, input, sound or display)");
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                fail("option " + arg + " needs a value");
            }
            return argv[++i];
        };
        u32 number = 0;
        if (arg == "--workdir") {
            options.workdir = value();
        } else if (arg == "--bios") {
            options.bios = value();
        } else if (arg == "--config") {
            options.config = value();
        } else if (arg == "--frames") {
            if (!parseNumber(value(), &options.frames) || options.frames == 0) {
                fail("bad --frames value (expected a frame number from 1)");
            }
        } else if (arg == "--press") {
            options.presses.push_back(parsePress(value()));
        } else if (arg == "--shot") {
            if (!parseNumber(value(), &number)) {
                fail("bad --shot value (expected a frame number)");
            }
            options.shots.push_back(number);
        } else if (arg == "--fail") {
            options.failure = parseFailure(value());
        } else if (arg == "--regs") {
            options.regs = true;
        } else if (arg == "--bench") {
            options.bench = true;
        } else if (arg == "--wav") {
            options.wav = value();
        } else if (arg == "--save-state") {
            options.stateSaves.push_back(parseStateSave(value()));
        } else if (arg == "--load-state") {
            options.stateLoad = fs::absolute(value()).string();
            std::error_code error;
            if (!fs::is_regular_file(options.stateLoad, error)) {
                fail("cannot read state file '" + options.stateLoad + "'");
            }
        } else if (arg == "--save-write-pause") {
            // Holds every save write unfinished for a while, so that tests can kill it there.
            if (!parseNumber(value(), &savePause)) {
                fail("bad --save-write-pause value (expected milliseconds)");
            }
        } else if (arg.rfind("--", 0) == 0) {
            fail("unknown option " + arg);
        } else if (options.rom.empty()) {
            options.rom = arg;
        } else {
            fail("more than one ROM given");
        }
    }
    if (options.rom.empty()) {
        std::fputs(usage, stderr);
        std::exit(2);
    }
    return options;
}

void copyInto(const std::string& source, const fs::path& target, const char* what) {
    std::error_code error;
    if (!fs::is_regular_file(source, error)) {
        fail(std::string("cannot read ") + what + " file '" + source + "'");
    }
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
    if (error) {
        fail(std::string("cannot copy ") + what + " file '" + source + "': " + error.message());
    }
}

fs::path makeWorkdir(const Options& options) {
    std::error_code error;
    if (!options.workdir.empty()) {
        fs::create_directories(options.workdir, error);
        if (error) {
            fail("cannot create working directory '" + options.workdir + "'");
        }
        return fs::absolute(options.workdir);
    }
    std::string pattern = (fs::temp_directory_path() / "quarvend-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        fail("cannot create a temporary working directory");
    }
    std::printf("workdir %s\n", pattern.c_str());
    return pattern;
}

// The boot image built with the tools, when no --bios is given.
fs::path defaultBios(const char* argv0) {
    std::error_code error;
    fs::path self = fs::canonical("/proc/self/exe", error);
    if (error) {
        self = fs::absolute(argv0);
    }
    return self.parent_path() / "GBA.BIOS";
}

// Reads the configuration in use for its button codes, then leaves the settings as at start.
void scriptButtons(const Options& options) {
    readConfigFile();
    Settings inUse = settings;
    std::memset(&settings, 0, sizeof settings);
    std::memset(keyMap, 0, sizeof keyMap);
    std::memset(buttonState, 0, sizeof buttonState);
    gba.saveChip.saveType = SaveType::undetermined;

    for (const Press& press : options.presses) {
        if (press.key) {
            headlessScriptKey(press.from, press.key, true);
            headlessScriptKey(press.to, press.key, false);
        } else if (inUse.inputMode == inputKeyboard) {
            u8 code = inUse.buttonCodes[press.button - 1];
            headlessScriptKey(press.from, code, true);
            headlessScriptKey(press.to, code, false);
        } else {
            fail("--press needs a keyboard configuration (INPUT=KEYBOARD)");
        }
    }
    for (u32 frame : options.shots) {
        headlessScriptKey(frame, dik::sysRq, true);
        headlessScriptKey(frame, dik::sysRq, false);
    }
    headlessScriptKey(options.frames, dik::escape, true);
}

void putLittleEndian(std::string& out, u32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The sound the run produced as a 16-bit stereo 44100 Hz WAV file, 735 sample pairs per frame
// that produced sound: each side mixes its FIFO and tone buffers as the speakers would, each
// scaled by its volume.
bool writeWav(const std::string& path) {
    std::string samples;
    for (s16 sample : headlessStereoSamples()) {
        putLittleEndian(samples, static_cast<u16>(sample), 2);
    }
    std::string header = "RIFF";
    putLittleEndian(header, static_cast<u32>(36 + samples.size()), 4);
    header += "WAVEfmt ";
    putLittleEndian(header, 16, 4);        // format block size
    putLittleEndian(header, 1, 2);         // PCM
    putLittleEndian(header, 2, 2);         // stereo
    putLittleEndian(header, 44100, 4);     // samples per second
    putLittleEndian(header, 44100 * 4, 4); // bytes per second
    putLittleEndian(header, 4, 2);         // bytes per sample frame
    putLittleEndian(header, 16, 2);        // bits per sample
    header += "data";
    putLittleEndian(header, static_cast<u32>(samples.size()), 4);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                   std::fwrite(samples.data(), 1, samples.size(), file) == samples.size();
    return std::fclose(file) == 0 && written;
}

void printRegisters() {
    for (u32 n = 0; n < 16; ++n) {
        std::printf("R%u=%08X ", n, gba.cpu.registers[n]);
    }
    std::printf("CPSR=%08X\n", gba.cpu.cpsr);
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    fs::path bios = options.bios.empty() ? defaultBios(argv[0]) : fs::path(options.bios);
    std::string config =
        options.config.empty() ? std::string() : fs::absolute(options.config).string();
    std::string biosSource = fs::absolute(bios).string();
    std::string wavPath = options.wav.empty() ? std::string() : fs::absolute(options.wav).string();

    fs::path workdir = makeWorkdir(options);
    std::error_code error;
    fs::current_path(workdir, error);
    if (error) {
        fail("cannot enter working directory '" + workdir.string() + "'");
    }
    if (!options.bios.empty() || fs::exists(biosSource)) {
        copyInto(biosSource, "GBA.BIOS", "boot image");
    }
    if (!config.empty()) {
        copyInto(config, "Quarvend.CFG", "configuration");
    } else {
        std::FILE* file = std::fopen("Quarvend.CFG", "wb");
        if (!file || std::fputs(defaultConfig, file) < 0 || std::fclose(file) != 0) {
            fail("cannot write Quarvend.CFG in the working directory");
        }
    }

    resetHeadlessHost();
    headless.failure = options.failure;
    headless.captureSound = !options.wav.empty();
    if (savePause) {
        saveWriteMidway = [] { std::this_thread::sleep_for(std::chrono::milliseconds(savePause)); };
    }
    scriptButtons(options);
    for (const StateSave& save : options.stateSaves) {
        scheduleStateSave(save.frame, save.path);
    }
    if (!options.stateLoad.empty()) {
        scheduleStateLoad(options.stateLoad);
    }

    int exitCode = quarvendMain(options.rom.c_str());
    // Emulation only: from the main loop's start, so loading and set-up do not count.
    double seconds = 0;
    if (headless.loopStart != std::chrono::steady_clock::time_point{}) {
        seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - headless.loopStart)
                .count();
    }

    if (options.regs) {
        printRegisters();
    }
    if (!options.wav.empty() && !writeWav(wavPath)) {
        std::fprintf(stderr, "quarvend-headless: cannot write WAV file '%s'\n", wavPath.c_str());
        return 2;
    }
    if (options.bench) {
        std::printf("fps %.1f\n", seconds > 0 ? runState.framesRendered / seconds : 0.0);
    }
    return exitCode;
}
