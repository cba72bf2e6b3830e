// Screenshot regression: every folder under tests/screenshots is a case that runs a program
// from roms/ in the headless runner and compares the screenshot with the recorded picture.
//
// A case folder holds case.txt, with one setting a line:
//   program NAME.gba    the program to run (required)
//   frames N            frames to run (default 30)
//   shot F              frame at which the screenshot is requested (default 25)
//   press BUTTON@F-G    buttons held, as the runner's --press (any number)
//   config LINE         a line of Quarvend.CFG; when given, these lines are the whole file
// and expected.txt, "fnv1a64 " and the 64-bit FNV-1a hash of the BMP file in hexadecimal.
//
// QUARVEND_RECORD=1 in the environment writes expected.txt from the pictures taken instead of
// comparing (tools/record-screenshots.sh).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const fs::path casesFolder = QUARVEND_SCREENSHOT_CASES;
const fs::path resultsFolder = QUARVEND_SCREENSHOT_RESULTS;

struct ScreenshotCase {
    std::string program;
    u32 frames = 30;
    u32 shot = 25;
    std::vector<std::string> presses;
    std::vector<std::string> configLines;
};

u64 fnv1a64(const std::vector<u8>& bytes) {
    u64 hash = 0xCBF29CE484222325ull;
    for (u8 byte : bytes) {
        hash = (hash ^ byte) * 0x100000001B3ull;
    }
    return hash;
}

std::string hex64(u64 value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(casesFolder, error)) {
        if (entry.is_directory() && fs::exists(entry.path() / "case.txt")) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Reads case.txt; an unknown or malformed line is reported in ERROR.
ScreenshotCase readCase(const std::string& name, std::string* error) {
    ScreenshotCase description;
    std::istringstream lines(readTextFile(casesFolder / name / "case.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::string key = line.substr(0, line.find(' '));
        std::string value = line.size() > key.size() ? line.substr(key.size() + 1) : "";
        if (key == "program") {
            description.program = value;
        } else if (key == "frames") {
            description.frames = static_cast<u32>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (key == "shot") {
            description.shot = static_cast<u32>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (key == "press") {
            description.presses.push_back(value);
        } else if (key == "config") {
            description.configLines.push_back(value);
        } else {
            *error = "unknown line in case.txt: '" + line + "'";
        }
    }
    if (description.program.empty()) {
        *error = "case.txt names no program";
    } else if (description.shot == 0 || description.shot >= description.frames) {
        *error = "the shot frame must lie between 1 and frames - 1";
    }
    return description;
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Runs the case in WORKDIR; returns the runner's exit status and its output in OUTPUT.
int runCase(const ScreenshotCase& description, const fs::path& workdir, std::string* output) {
    std::string command = quoted(QUARVEND_RUNNER) + " --workdir " + quoted(workdir) + " --frames " +
                          std::to_string(description.frames) + " --shot " +
                          std::to_string(description.shot);
    for (const std::string& press : description.presses) {
        command += " --press '" + press + "'";
    }
    if (!description.configLines.empty()) {
        fs::path config = workdir.parent_path() / (workdir.filename().string() + ".cfg");
        std::string text;
        for (const std::string& line : description.configLines) {
            text += line + "\r\n";
        }
        writeFile(config, text);
        command += " --config " + quoted(config);
    }
    // A copy of the program in the working directory keeps save files of other runs out.
    fs::path program = workdir / description.program;
    std::error_code error;
    fs::create_directories(workdir, error);
    fs::copy_file(programPath(description.program), program, error);
    command += " " + quoted(program) + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return -1;
    }
    char buffer[4096];
    while (size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        output->append(buffer, read);
    }
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string expectedHash(const std::string& name) {
    fs::path file = casesFolder / name / "expected.txt";
    if (!fs::exists(file)) {
        return "";
    }
    std::istringstream words(readTextFile(file));
    std::string kind, hash;
    words >> kind >> hash;
    return kind == "fnv1a64" ? hash : "";
}

bool recording() {
    const char* value = std::getenv("QUARVEND_RECORD");
    return value && std::string(value) == "1";
}

class Screenshots : public ::testing::TestWithParam<std::string> {};

TEST_P(Screenshots, MatchRecordedPicture) {
    const std::string& name = GetParam();
    std::string error;
    ScreenshotCase description = readCase(name, &error);
    ASSERT_TRUE(error.empty()) << "case " << name << ": " << error;

    fs::path workdir = resultsFolder / name;
    fs::remove_all(workdir);
    fs::create_directories(resultsFolder);
    std::string output;
    int status = runCase(description, workdir, &output);
    ASSERT_EQ(status, 0) << "case " << name << ": the runner failed\n" << output;
    fs::path picture = workdir / "Shot0001.BMP";
    ASSERT_TRUE(fs::exists(picture)) << "case " << name << ": no screenshot in " << workdir;

    std::string actual = hex64(fnv1a64(readBinaryFile(picture)));
    if (recording()) {
        writeFile(casesFolder / name / "expected.txt", "fnv1a64 " + actual + "\n");
        std::printf("recorded %s: %s (picture %s)\n", name.c_str(), actual.c_str(),
                    picture.c_str());
        return;
    }
    std::string expected = expectedHash(name);
    ASSERT_FALSE(expected.empty())
        << "case " << name << ": no expected picture recorded; the picture taken is "
        << picture.string() << " (record with tools/record-screenshots.sh " << name << ")";
    EXPECT_EQ(actual, expected) << "case " << name << ": the picture differs from the recorded "
                                << "one; the picture taken is " << picture.string();
}

INSTANTIATE_TEST_SUITE_P(Cases, Screenshots, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

} // namespace
