#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>
#include <optional>

// The checksums of the system exclusive messages users type and send by hand: Roland data sets
// and Yamaha bulk dumps. A synthesizer silently ignores such a message when its sum is wrong, so
// the raw editor marks those and can fix them. Messages of other makers (and other kinds of
// Roland or Yamaha message) have no sum we know and are left alone.
//
// Roland data set (DT1): F0 41 <device> <model> 12 <address> <data> <sum> F7.
//   The model ID is any number of 00 bytes and one other byte (00 00 0C and 42 alike), so the
//   command 12 is found without a table of models. The bytes from the first address byte through
//   the sum add up to a multiple of 128, whatever the lengths of the address and the data, so
//   nothing needs to tell them apart. At least three bytes (an address byte, a data byte and the
//   sum) stand between 12 and F7; fewer is a message cut short.
//
// Yamaha bulk dump: F0 43 0n <model> <count MSB> <count LSB> <address> <data> <sum> F7.
//   0n (high half 0) is a bulk dump to device n; 1n, 2n, ... (parameter changes, requests) carry
//   no sum. The model is one byte, or two when the first is 7F (the MOTIF family's 7F 03). The
//   count, MSB * 128 + LSB, is the number of data bytes, so the address is what stands between
//   the count and the data: total length less the count tells its length.
//   - An address of 1 to 4 bytes (XG and MU: 3): count, address, data and sum add up to a
//     multiple of 128.
//   - No address (the count covers every byte before the sum: DX7, TX81Z, SY77): those counted
//     bytes and the sum add up to a multiple of 128, the count itself not included. Taking the
//     count in here would call every correct DX7 voice dump wrong.
//   - Any other length means the count does not describe the message: left alone.
//
// A message is checked only when it is complete: an F7 closes it. Any other status byte inside
// (a new F0, a note, a real-time byte) leaves it unchecked, and an F0 starts the next one.

enum class TChecksumMaker : uint8_t { Roland, Yamaha };

// What the parser found when an F7 closed a message it checks.
struct TChecksumVerdict {
    TChecksumMaker Maker = TChecksumMaker::Roland;
    uint8_t Sum = 0;  // the byte before F7
    uint8_t Expected = 0;  // what that byte has to be
    bool Right() const { return Sum == Expected; }

    friend bool operator==(const TChecksumVerdict&, const TChecksumVerdict&) = default;
};

// Reads a byte stream one byte at a time and gives a verdict at the F7 of every message whose sum
// it knows. Small and copyable: the editor keeps where it stood to read a text again from there.
class TChecksumParser {
public:
    std::optional<TChecksumVerdict> Feed(uint8_t byte)
    {
        // Most bytes of a dump: quickly passed by outside a message worth checking.
        if (FStep == TStep::Idle && byte != 0xF0)
            return std::nullopt;
        return FeedOpen(byte);
    }
    // No message that may still be checked is open: what comes next is read the same whatever
    // came before.
    bool Idle() const { return FStep == TStep::Idle; }

private:
    enum class TStep : uint8_t {
        Idle,
        Maker,
        RolandDevice,
        RolandModel,
        RolandCommand,
        RolandBody,
        YamahaDevice,
        YamahaModel,
        YamahaSecondModel,
        YamahaCountMsb,
        YamahaCountLsb,
        YamahaBody,
    };

    std::optional<TChecksumVerdict> FeedOpen(uint8_t byte);
    std::optional<TChecksumVerdict> Close() const;

    TStep FStep = TStep::Idle;
    uint8_t FCountBytes = 0;  // Yamaha: count MSB + LSB, mod 128
    uint8_t FBodySum = 0;  // the bytes after the header so far, mod 128
    uint8_t FLast = 0;  // the last of them: the sum when F7 comes
    uint32_t FBodyLength = 0;
    uint32_t FCount = 0;  // Yamaha: the count the message declares
};

// A checked message in a byte string.
struct TChecksumMessage {
    qsizetype Offset = 0;  // of its F0
    qsizetype Length = 0;  // through its F7
    TChecksumVerdict Verdict;

    friend bool operator==(const TChecksumMessage&, const TChecksumMessage&) = default;
};

// Every Roland data set and Yamaha bulk dump in the bytes, right or wrong, in order.
QList<TChecksumMessage> FindChecksumMessages(QByteArrayView bytes);

// The Roland sum byte for these address and data bytes (of a DT1 or RQ1 message): the one that
// makes them and itself add up to a multiple of 128.
uint8_t RolandChecksum(QByteArrayView addressAndData);

// The bytes with the sum of every wrong message recomputed (the byte before its F7); nothing else
// changes.
QByteArray FixChecksums(QByteArray bytes);
