// Pads a linked boot image to 16 KB and sets its last word so that the 4096 words add up to
// the console's checksum (what GetBiosChecksum returns there), then writes it to each output.
//
// usage: bios_checksum IMAGE OUTPUT...
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr std::size_t imageSize = 0x4000;
constexpr std::uint32_t consoleChecksum = 0xBAAE187F;

std::uint32_t wordAt(const std::vector<unsigned char>& image, std::size_t offset) {
    return image[offset] | (image[offset + 1] << 8) | (image[offset + 2] << 16) |
           (static_cast<std::uint32_t>(image[offset + 3]) << 24);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bios_checksum IMAGE OUTPUT...\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<unsigned char> image((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (!in.is_open() || image.empty() || image.size() > imageSize - 4) {
        std::fprintf(stderr, "bios_checksum: %s is missing or larger than %zu bytes\n", argv[1],
                     imageSize - 4);
        return 1;
    }
    image.resize(imageSize, 0);

    std::uint32_t sum = 0;
    for (std::size_t offset = 0; offset < imageSize - 4; offset += 4) {
        sum += wordAt(image, offset);
    }
    std::uint32_t balance = consoleChecksum - sum;
    for (int byte = 0; byte < 4; ++byte) {
        image[imageSize - 4 + byte] = static_cast<unsigned char>(balance >> (8 * byte));
    }

    for (int index = 2; index < argc; ++index) {
        std::filesystem::path output(argv[index]);
        if (output.has_parent_path()) {
            std::filesystem::create_directories(output.parent_path());
        }
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
        if (!out) {
            std::fprintf(stderr, "bios_checksum: cannot write %s\n", argv[index]);
            return 1;
        }
    }
    return 0;
}
