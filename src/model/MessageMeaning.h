#pragma once
// What a MIDI message means, as a monitor shows it: its kind, its channel and a line of text
// ("C4 (60) ベロシティ 100", "7 ボリューム = 100", "RPN 0 ピッチベンド・レンジ = 2").
//
// Most messages mean the same wherever they stand. A few need what came before them on their
// channel and in their direction: data entry (which registered or non-registered parameter
// 101/100 or 99/98 selected) and program change (the bank 0/32 selected). That is kept in a
// TMeaningContext, advanced message by message.

#include "MessageRecord.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>

enum class TMessageKind : uint8_t {
    NoteOff,
    NoteOn,
    PolyPressure,
    ControlChange,
    ProgramChange,
    ChannelPressure,
    PitchBend,
    SystemExclusive,
    SystemCommon,
    RealTime,
    Stray,  // bytes of a raw stream that form no message
};

// What the monitor's filter offers, one switch each.
enum class TMessageGroup : uint8_t {
    Notes,
    Controllers,
    Program,
    Pressures,
    PitchBend,
    SystemExclusive,
    SystemCommon,
    RealTime,
    Other,
};
constexpr int MessageGroupCount = 9;

TMessageKind KindOfStatus(uint8_t status);  // F0: SystemExclusive; data bytes: Stray
TMessageKind KindOf(const TRecordEntry& entry);
TMessageGroup GroupOf(TMessageKind kind);
int ChannelOf(const TRecordEntry& entry);  // 1..16 for channel messages, else 0
QString KindName(TMessageKind kind);

// The state of one channel in one direction that later messages' meaning depends on.
struct TChannelState {
    static constexpr uint8_t Unknown = 0xFF;  // not seen since the clear
    enum : uint8_t { NoParameter, Registered, NonRegistered };

    uint8_t Parameter = NoParameter;  // which kind data entry now sets
    uint8_t RpnMsb = Unknown;
    uint8_t RpnLsb = Unknown;
    uint8_t NrpnMsb = Unknown;
    uint8_t NrpnLsb = Unknown;
    uint8_t DataMsb = Unknown;  // the last data entry (6) since the parameter was selected
    uint8_t BankMsb = Unknown;
    uint8_t BankLsb = Unknown;

    friend bool operator==(const TChannelState&, const TChannelState&) = default;
};

struct TMeaningContext {
    TChannelState Channels[2][16];  // [direction][channel - 1]

    const TChannelState& Channel(TDirection direction, int channel) const
    {
        return Channels[direction == TDirection::Out ? 1 : 0][channel - 1];
    }
    // The state after one more message; only control changes change it.
    void Advance(TDirection direction, uint8_t status, uint8_t data1, uint8_t data2)
    {
        if ((status & 0xF0) == 0xB0)
            AdvanceController(Channels[direction == TDirection::Out ? 1 : 0][status & 0x0F], data1, data2);
    }
    static void AdvanceController(TChannelState& state, uint8_t controller, uint8_t value);

    friend bool operator==(const TMeaningContext&, const TMeaningContext&) = default;
};

// Whether a short message's meaning depends on its channel's state: program change, data entry
// (6, 38) and data increment and decrement (96, 97).
bool MeaningNeedsContext(uint8_t status, uint8_t data1);

// The program list's name for a program: bank select MSB and LSB (-1 where none was seen since
// the clear) and the program number 0..127. Empty when the list has no name for it.
using TProgramNameLookup = std::function<QString(int bankMsb, int bankLsb, int program)>;

struct TMeaningOptions {
    TProgramNameLookup ProgramName;
    int ProgramNumberBase = 0;  // 1 when the panel shows programs as 1..128
};

// A short message; `before` is its channel's state before it (ignored for system messages).
QString ShortMeaning(uint8_t status, uint8_t data1, uint8_t data2, const TChannelState& before,
                     const TMeaningOptions& options);
// A whole system exclusive message, F0 and F7 included as they came: its length, its maker and,
// where known, what it does.
QString SysexMeaning(QByteArrayView message);
// Bytes that form no message.
QString StrayMeaning(QByteArrayView bytes);
