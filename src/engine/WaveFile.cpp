#include "engine/WaveFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace jhk {

namespace {

// A longer wait would look like a hung machine; no sound of the program comes near it.
constexpr std::uint64_t LongestWaitMs = 10000;
// The chunks before "data" are small; a header larger than this is not a sound of ours.
constexpr std::size_t HeaderBytes = 1 << 20;

std::uint32_t le32(const std::vector<char> &b, std::size_t at)
{
    auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])); };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

} // namespace

std::optional<int> waveLengthMs(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<char> b(HeaderBytes);
    in.read(b.data(), static_cast<std::streamsize>(b.size()));
    b.resize(static_cast<std::size_t>(in.gcount()));
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    std::uint32_t byteRate = 0;
    std::optional<std::uint32_t> dataSize;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint32_t size = le32(b, at + 4);
        if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && at + 20 <= b.size())
            byteRate = le32(b, at + 16);
        if (std::memcmp(b.data() + at, "data", 4) == 0) {
            dataSize = size;
            break;
        }
        at += 8 + static_cast<std::size_t>(size) + (size & 1);
    }
    if (!dataSize || byteRate == 0)
        return std::nullopt;
    return static_cast<int>(std::min<std::uint64_t>(LongestWaitMs, std::uint64_t{*dataSize} * 1000 / byteRate));
}

} // namespace jhk
