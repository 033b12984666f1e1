#pragma once
// Pure conversion from a raw output block to what the ALSA sequencer carries: system
// exclusive events holding exact bytes, and one event per short message. Kept free of
// libasound so it is tested where no sequencer device exists.

#include <cstddef>
#include <cstdint>
#include <vector>

// Sysex chunks go out as SND_SEQ_EVENT_SYSEX holding exactly Bytes, which the sequencer passes
// to the device unchanged; the others are one complete short message each, encoded as a
// typed event.
struct TSequencerChunk {
    bool Sysex;
    std::vector<uint8_t> Bytes;

    bool operator==(const TSequencerChunk&) const = default;
};

// Largest system exclusive event we hand the sequencer; longer runs become consecutive
// chunks. Well below the 16 KiB client output buffer of libasound.
constexpr size_t SequencerMaxSysexChunk = 4096;

// Rules (a block is a raw byte stream, possibly a piece of a longer message):
// - F0 starts a system exclusive run that ends with F7 (included), before any other
//   non-real-time status byte, or at the block's end.
// - A block that starts with data bytes or F7 continues a system exclusive message of an
//   earlier block (the raw editor cuts long messages into packets): that run is one too.
// - Real-time bytes (F8..FF) are one-byte messages wherever they appear; a system exclusive
//   run they interrupt is cut there and goes on after them.
// - 80..EF and F1..F6 start short messages of ShortMessageLength bytes. Data bytes after a
//   complete channel message reuse its status (running status, within this block only).
// - Bytes that form no complete message (data with no status to reuse, an F7 outside a
//   system exclusive run, a message cut short by a status byte or the block's end) go out as
//   a system exclusive chunk holding exactly those bytes: nothing is dropped.
std::vector<TSequencerChunk> SplitForSequencer(const uint8_t* data, size_t length);
