// The boot image's unpacking and decompression functions, fed with streams that encoders
// written here produce, called from ARM and THUMB code.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <queue>
#include <string>
#include <vector>

#include "bios/bios_harness.h"

namespace {

constexpr u32 bitUnPack = 0x10, lz77Wram = 0x11, lz77Vram = 0x12, huffUnComp = 0x13, rlWram = 0x14,
              rlVram = 0x15, diff8Wram = 0x16, diff8Vram = 0x17, diff16 = 0x18;

constexpr u32 stream = 0x02010000;
constexpr u32 wramOut = 0x02020000;
constexpr u32 vramOut = 0x06000000;
constexpr u32 secondOut = 0x4000; // the THUMB call's output follows the ARM call's
constexpr u8 untouched = 0xEE;

std::vector<u8> header(u32 type, u32 unit, u32 size) {
    u32 word = size << 8 | type << 4 | unit;
    return {static_cast<u8>(word), static_cast<u8>(word >> 8), static_cast<u8>(word >> 16),
            static_cast<u8>(word >> 24)};
}

void padToWords(std::vector<u8>& bytes) {
    while (bytes.size() % 4) {
        bytes.push_back(0);
    }
}

// Text with repeats, long runs of one byte, and noise.
std::vector<u8> sampleData(u32 size) {
    std::string text = "the boot image unpacks what the host packed; ";
    std::vector<u8> data;
    u32 seed = 7;
    while (data.size() < size) {
        seed = seed * 1103515245 + 12345;
        switch ((seed >> 16) % 4) {
        case 0: data.insert(data.end(), text.begin(), text.end()); break;
        case 1: data.insert(data.end(), 20 + (seed >> 24) % 40, static_cast<u8>(seed >> 8)); break;
        case 2:
            for (int index = 0; index < 12; ++index) {
                seed = seed * 1103515245 + 12345;
                data.push_back(static_cast<u8>(seed >> 16));
            }
            break;
        default: data.insert(data.end(), {1, 2, 1, 2, 1, 2, 1, 2, 3}); break;
        }
    }
    data.resize(size);
    return data;
}

// LZ77 in the console's format: greedy longest match at distances from minDistance on.
std::vector<u8> lz77Compress(const std::vector<u8>& data, u32 minDistance) {
    std::vector<u8> out = header(1, 0, static_cast<u32>(data.size()));
    size_t pos = 0;
    while (pos < data.size()) {
        size_t flagIndex = out.size();
        out.push_back(0);
        for (int bit = 0; bit < 8 && pos < data.size(); ++bit) {
            size_t bestLength = 0, bestDistance = 0;
            for (size_t distance = minDistance; distance <= std::min<size_t>(pos, 4096);
                 ++distance) {
                size_t length = 0;
                while (length < 18 && pos + length < data.size() &&
                       data[pos + length - distance] == data[pos + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                }
            }
            if (bestLength >= 3) {
                out[flagIndex] |= static_cast<u8>(0x80 >> bit);
                out.push_back(static_cast<u8>((bestLength - 3) << 4 | (bestDistance - 1) >> 8));
                out.push_back(static_cast<u8>(bestDistance - 1));
                pos += bestLength;
            } else {
                out.push_back(data[pos++]);
            }
        }
    }
    padToWords(out);
    return out;
}

std::vector<u8> rlCompress(const std::vector<u8>& data) {
    std::vector<u8> out = header(3, 0, static_cast<u32>(data.size()));
    auto runAt = [&](size_t pos) {
        size_t length = 1;
        while (length < 130 && pos + length < data.size() && data[pos + length] == data[pos]) {
            ++length;
        }
        return length;
    };
    size_t pos = 0;
    while (pos < data.size()) {
        size_t run = runAt(pos);
        if (run >= 3) {
            out.push_back(static_cast<u8>(0x80 | (run - 3)));
            out.push_back(data[pos]);
            pos += run;
            continue;
        }
        size_t end = pos;
        while (end < data.size() && end - pos < 128 && runAt(end) < 3) {
            ++end;
        }
        out.push_back(static_cast<u8>(end - pos - 1));
        out.insert(out.end(), data.begin() + pos, data.begin() + end);
        pos = end;
    }
    padToWords(out);
    return out;
}

std::vector<u8> diffFilter(const std::vector<u8>& data, u32 unit) {
    std::vector<u8> out = header(8, unit, static_cast<u32>(data.size()));
    for (size_t pos = 0; pos < data.size(); pos += unit) {
        if (unit == 1) {
            out.push_back(static_cast<u8>(data[pos] - (pos ? data[pos - 1] : 0)));
        } else {
            u32 value = data[pos] | data[pos + 1] << 8;
            u32 previous = pos ? (data[pos - 2] | data[pos - 1] << 8) : 0;
            u32 delta = (value - previous) & 0xFFFF;
            out.push_back(static_cast<u8>(delta));
            out.push_back(static_cast<u8>(delta >> 8));
        }
    }
    padToWords(out);
    return out;
}

// Huffman in the console's format: a tree of node pairs laid out breadth first, the root at
// byte 5, and the codes in 32-bit words from the top bit down.
struct HuffNode {
    u32 weight;
    int symbol; // -1 for an inner node
    std::unique_ptr<HuffNode> child[2];
};

std::vector<u8> huffCompress(const std::vector<u8>& data, u32 unitBits) {
    std::vector<u32> units;
    for (u8 byte : data) {
        if (unitBits == 8) {
            units.push_back(byte);
        } else {
            units.push_back(byte & 0xF);
            units.push_back(byte >> 4);
        }
    }
    std::map<u32, u32> counts;
    for (u32 unit : units) {
        ++counts[unit];
    }
    auto heavier = [](const HuffNode* a, const HuffNode* b) {
        return a->weight != b->weight ? a->weight > b->weight : a->symbol > b->symbol;
    };
    std::vector<HuffNode*> heap;
    for (auto [symbol, count] : counts) {
        heap.push_back(new HuffNode{count, static_cast<int>(symbol), {}});
    }
    while (heap.size() < 2) {
        heap.push_back(new HuffNode{0, 0xFF, {}});
    }
    std::make_heap(heap.begin(), heap.end(), heavier);
    while (heap.size() > 1) {
        std::pop_heap(heap.begin(), heap.end(), heavier);
        HuffNode* a = heap.back();
        heap.pop_back();
        std::pop_heap(heap.begin(), heap.end(), heavier);
        HuffNode* b = heap.back();
        heap.pop_back();
        HuffNode* inner = new HuffNode{a->weight + b->weight, -1, {}};
        inner->child[0].reset(a);
        inner->child[1].reset(b);
        heap.push_back(inner);
        std::push_heap(heap.begin(), heap.end(), heavier);
    }
    std::unique_ptr<HuffNode> root(heap[0]);

    std::map<u32, std::vector<int>> codes;
    std::vector<std::pair<const HuffNode*, std::vector<int>>> walk{{root.get(), {}}};
    while (!walk.empty()) {
        auto [node, code] = walk.back();
        walk.pop_back();
        if (node->symbol >= 0) {
            codes[static_cast<u32>(node->symbol)] = code;
            continue;
        }
        for (int side = 0; side < 2; ++side) {
            std::vector<int> longer = code;
            longer.push_back(side);
            walk.push_back({node->child[side].get(), longer});
        }
    }

    // Table positions count from the tree size byte (stream byte 4); the root is at 1.
    std::vector<u8> table(2, 0);
    std::queue<std::pair<const HuffNode*, size_t>> pending;
    pending.push({root.get(), 1});
    while (!pending.empty()) {
        auto [node, position] = pending.front();
        pending.pop();
        size_t pair = table.size();
        table.resize(pair + 2);
        size_t offset = (pair - (position & ~size_t{1}) - 2) / 2;
        EXPECT_LT(offset, 64u) << "tree too wide for this encoder";
        u8 value = static_cast<u8>(offset);
        for (int side = 0; side < 2; ++side) {
            const HuffNode* child = node->child[side].get();
            if (child->symbol >= 0) {
                value |= side == 0 ? 0x80 : 0x40;
                table[pair + side] = static_cast<u8>(child->symbol);
            } else {
                pending.push({child, pair + side});
            }
        }
        table[position] = value;
    }
    size_t treeSize = (table.size() + 1) / 2 - 1;
    if (treeSize % 2 == 0) {
        ++treeSize; // the bitstream must start on a word
    }
    table.resize(2 * (treeSize + 1), 0);
    table[0] = static_cast<u8>(treeSize);

    std::vector<u8> out = header(2, unitBits, static_cast<u32>(data.size()));
    out.insert(out.end(), table.begin(), table.end());
    u32 word = 0;
    int bits = 0;
    auto flush = [&] {
        for (int byte = 0; byte < 4; ++byte) {
            out.push_back(static_cast<u8>(word >> (8 * byte)));
        }
        word = 0;
        bits = 0;
    };
    for (u32 unit : units) {
        for (int bit : codes[unit]) {
            word |= static_cast<u32>(bit) << (31 - bits);
            if (++bits == 32) {
                flush();
            }
        }
    }
    flush();
    return out;
}

// Writes STREAM_BYTES at the stream address, calls FUNCTION from ARM (output at OUT) and
// THUMB (output at OUT + secondOut), and returns both outputs, COUNT bytes each.
std::vector<std::vector<u8>> decode(u32 function, const std::vector<u8>& streamBytes, u32 out,
                                    u32 count, u32 r2 = 0) {
    std::vector<BiosCall> calls = fromBoth({function, fromArm, stream, out, r2});
    calls[1].r1 = out + secondOut;
    prepareCalls(calls);
    writeBytes(stream, streamBytes);
    writeBytes(out, std::vector<u8>(count, untouched));
    writeBytes(out + secondOut, std::vector<u8>(count, untouched));
    EXPECT_TRUE(runCalls());
    for (size_t index = 0; index < calls.size(); ++index) {
        EXPECT_EQ(callResult(index).done, 0xD0Eu);
        EXPECT_EQ(callResult(index).changed, 0u);
        EXPECT_EQ(callResult(index).r2, r2);
    }
    return {readBytes(out, count), readBytes(out + secondOut, count)};
}

std::vector<u8> withTail(std::vector<u8> data, u32 total) {
    data.resize(total, untouched);
    return data;
}

TEST(BiosDecompress, Lz77RoundTripsIntoWramAndVram) {
    std::vector<u8> data = sampleData(3000);
    for (auto output : decode(lz77Wram, lz77Compress(data, 1), wramOut, 3032)) {
        EXPECT_EQ(output, withTail(data, 3032));
    }
    // VRAM takes halfwords: copies from distance 1 would read the byte still pending.
    for (auto output : decode(lz77Vram, lz77Compress(data, 2), vramOut, 3032)) {
        EXPECT_EQ(output, withTail(data, 3032));
    }
}

TEST(BiosDecompress, Lz77EndsAfterTheBlockThatReachesTheSize) {
    // Size 5: one literal, then a copy of 18 from distance 1 that runs 14 bytes past it.
    std::vector<u8> overrun = header(1, 0, 5);
    overrun.insert(overrun.end(), {0x40, 'A', 0xF0, 0x00, 0, 0, 0, 0});
    for (auto output : decode(lz77Wram, overrun, wramOut, 24)) {
        EXPECT_EQ(output, withTail(std::vector<u8>(19, 'A'), 24));
    }
    // An odd size in VRAM: the last byte never gets its partner and is not written.
    std::vector<u8> odd = header(1, 0, 7);
    odd.insert(odd.end(), {0x00, 1, 2, 3, 4, 5, 6, 7, 8});
    padToWords(odd);
    for (auto output : decode(lz77Vram, odd, vramOut, 10)) {
        EXPECT_EQ(output, withTail({1, 2, 3, 4, 5, 6}, 10));
    }
}

TEST(BiosDecompress, RunLengthRoundTripsIntoWramAndVram) {
    std::vector<u8> data = sampleData(2500);
    std::vector<u8> packed = rlCompress(data);
    EXPECT_LT(packed.size(), data.size());
    for (auto output : decode(rlWram, packed, wramOut, 2520)) {
        EXPECT_EQ(output, withTail(data, 2520));
    }
    for (auto output : decode(rlVram, packed, vramOut, 2520)) {
        EXPECT_EQ(output, withTail(data, 2520));
    }
    std::vector<u8> odd(data.begin(), data.begin() + 301);
    std::vector<u8> even(data.begin(), data.begin() + 300);
    for (auto output : decode(rlVram, rlCompress(odd), vramOut, 310)) {
        EXPECT_EQ(output, withTail(even, 310));
    }
}

TEST(BiosDecompress, HuffmanRoundTripsWithEightAndFourBitUnits) {
    std::vector<u8> data;
    std::string text = "huffman codes give the common letters the short codes!! ";
    while (data.size() < 1200) {
        data.insert(data.end(), text.begin(), text.end());
    }
    data.resize(1200);
    for (u32 unitBits : {8u, 4u}) {
        for (auto output : decode(huffUnComp, huffCompress(data, unitBits), wramOut, 1216)) {
            EXPECT_EQ(output, withTail(data, 1216)) << unitBits << "-bit units";
        }
    }
}

TEST(BiosDecompress, DifferenceFiltersRebuildTheData) {
    std::vector<u8> data = sampleData(1001);
    for (auto output : decode(diff8Wram, diffFilter(data, 1), wramOut, 1010)) {
        EXPECT_EQ(output, withTail(data, 1010));
    }
    std::vector<u8> even(data.begin(), data.begin() + 1000);
    for (auto output : decode(diff8Vram, diffFilter(data, 1), vramOut, 1010)) {
        EXPECT_EQ(output, withTail(even, 1010)) << "the odd last byte is dropped";
    }
    for (auto output : decode(diff16, diffFilter(even, 2), wramOut, 1010)) {
        EXPECT_EQ(output, withTail(even, 1010));
    }
}

TEST(BiosDecompress, SourcesInTheBootImageAreRefused) {
    for (u32 function : {lz77Wram, rlWram, diff8Wram, huffUnComp}) {
        std::vector<BiosCall> calls = fromBoth({function, fromArm, 0x100, wramOut});
        prepareCalls(calls);
        writeBytes(wramOut, std::vector<u8>(64, untouched));
        ASSERT_TRUE(runCalls());
        EXPECT_EQ(readBytes(wramOut, 64), std::vector<u8>(64, untouched)) << function;
    }
}

// BitUnPack as the console does it: units from each byte's low bits up, the offset added
// to non-zero units (and zero ones with bit 31), packed from the low bits of each word;
// only whole words are written.
std::vector<u8> hostBitUnPack(const std::vector<u8>& source, u32 sourceBits, u32 destBits,
                              u32 offset) {
    std::vector<u8> out;
    u32 word = 0, filled = 0;
    for (u8 byte : source) {
        for (u32 shift = 0; shift < 8; shift += sourceBits) {
            u32 unit = (byte >> shift) & ((1u << sourceBits) - 1);
            if (unit || (offset & 0x80000000u)) {
                unit += offset & 0x7FFFFFFF;
            }
            word |= unit << filled;
            filled += destBits;
            if (filled == 32) {
                for (int index = 0; index < 4; ++index) {
                    out.push_back(static_cast<u8>(word >> (8 * index)));
                }
                word = 0;
                filled = 0;
            }
        }
    }
    return out;
}

TEST(BiosDecompress, BitUnPackWidensUnitsWithTheOffset) {
    struct Case {
        u32 length, sourceBits, destBits, offset;
    };
    const Case cases[] = {{6, 1, 4, 3},          {6, 1, 4, 0x80000003}, {5, 2, 8, 0x10},
                          {8, 4, 8, 0x80000000}, {4, 8, 32, 0x12345},   {7, 2, 4, 0x7}};
    const u32 info = 0x02030000;
    std::vector<u8> source = {0xA5, 0x3C, 0x00, 0xFF, 0x81, 0x7E, 0x12, 0x34};
    for (const Case& c : cases) {
        std::vector<u8> units(source.begin(), source.begin() + c.length);
        std::vector<u8> expected = hostBitUnPack(units, c.sourceBits, c.destBits, c.offset);
        u32 total = static_cast<u32>(expected.size()) + 8;
        std::vector<BiosCall> calls = fromBoth({bitUnPack, fromArm, stream, wramOut, info});
        calls[1].r1 = wramOut + secondOut;
        prepareCalls(calls);
        writeBytes(stream, source);
        writeBytes(info, {static_cast<u8>(c.length), 0, static_cast<u8>(c.sourceBits),
                          static_cast<u8>(c.destBits)});
        writeWord(info + 4, c.offset);
        writeBytes(wramOut, std::vector<u8>(total, untouched));
        writeBytes(wramOut + secondOut, std::vector<u8>(total, untouched));
        ASSERT_TRUE(runCalls());
        for (u32 out : {wramOut, wramOut + secondOut}) {
            EXPECT_EQ(readBytes(out, total), withTail(expected, total))
                << c.sourceBits << "->" << c.destBits << " length " << c.length;
        }
    }
}

} // namespace
