#pragma once
// The monitor's record as a Standard MIDI File: format 0, one track, times kept to the
// millisecond (500 ticks a quarter note at 500,000 microseconds a quarter, the tempo written at
// the start so that every reader agrees: one tick is one millisecond).
//
// Channel messages are written as they are, with their status each time. A system exclusive
// piece that starts a message is an F0 event; a piece that continues one is an F7 event, as the
// file format carries a message sent in packets. System common and real-time messages, and bytes
// that form no message, go in F7 "escape" events, which carry bytes as they are to be sent.

#include "MessageRecord.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

class TSmfTrack {
public:
    static constexpr int TicksPerQuarter = 500;
    static constexpr int MicrosecondsPerQuarter = 500'000;

    TSmfTrack();

    // Times in ticks; an event earlier than the one before it is written at the same tick as that
    // one (a file's times never go back).
    void AddChannelMessage(int64_t tick, QByteArrayView bytes);
    void AddSysexPiece(int64_t tick, QByteArrayView bytes);  // F0 first when it starts a message
    void AddEscape(int64_t tick, QByteArrayView bytes);

    // The whole file: header, and the track ended by its end-of-track event.
    QByteArray File() const;

private:
    void Event(int64_t tick, uint8_t status, QByteArrayView bytes, bool withLength);

    QByteArray Events;
    int64_t LastTick = 0;
};

// A number in the file format's variable length: 7 bits a byte, most significant first, every
// byte but the last with its top bit set.
QByteArray VariableLength(uint32_t value);

// Microseconds since the clear to ticks: the nearest millisecond, none before the start.
int64_t TickOfTime(int64_t microseconds);

QByteArray StandardMidiFile(const TMessageRecord& record, bool incoming = true, bool outgoing = true);
