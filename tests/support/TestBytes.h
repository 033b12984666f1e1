#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A block of MIDI bytes as the tests send and expect it.
using TBytes = std::vector<uint8_t>;

// F0, count − 2 data bytes that change along the block, F7: any lost, doubled or moved byte shows.
inline TBytes SysexOfLength(size_t count, uint8_t seed = 0)
{
    TBytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t((i * 7 + seed) % 128);
    if (count >= 2) {
        bytes.front() = 0xF0;
        bytes.back() = 0xF7;
    }
    return bytes;
}
