#include "StandardMidiFile.h"

#include "StreamSplitter.h"

#include <algorithm>

namespace {

constexpr uint32_t MaxDelta = 0x0FFFFFFF;

void AppendBigEndian(QByteArray& bytes, uint32_t value, int length)
{
    for (int shift = 8 * (length - 1); shift >= 0; shift -= 8)
        bytes.append(char(value >> shift));
}

void AppendVariableLength(QByteArray& bytes, uint32_t value)
{
    char digits[5];
    int count = 0;
    digits[4 - count++] = char(value & 0x7F);
    while ((value >>= 7) != 0)
        digits[4 - count++] = char(0x80 | (value & 0x7F));
    bytes.append(digits + 5 - count, count);
}

} // namespace

QByteArray VariableLength(uint32_t value)
{
    QByteArray bytes;
    AppendVariableLength(bytes, value);
    return bytes;
}

int64_t TickOfTime(int64_t microseconds)
{
    return microseconds <= 0 ? 0 : (microseconds + 500) / 1000;
}

TSmfTrack::TSmfTrack()
{
    // The tempo that makes a tick a millisecond, at the start.
    AppendVariableLength(Events, 0);
    Events.append("\xFF\x51\x03", 3);
    AppendBigEndian(Events, MicrosecondsPerQuarter, 3);
}

void TSmfTrack::AddChannelMessage(int64_t tick, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    Event(tick, uint8_t(bytes[0]), bytes.sliced(1), false);
}

void TSmfTrack::AddSysexPiece(int64_t tick, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;  // nothing to send
    if (uint8_t(bytes[0]) == 0xF0)
        Event(tick, 0xF0, bytes.sliced(1), true);
    else
        Event(tick, 0xF7, bytes, true);
}

void TSmfTrack::AddEscape(int64_t tick, QByteArrayView bytes)
{
    if (!bytes.isEmpty())
        Event(tick, 0xF7, bytes, true);
}

void TSmfTrack::Event(int64_t tick, uint8_t status, QByteArrayView bytes, bool withLength)
{
    tick = std::max(tick, LastTick);
    // A delta time holds 28 bits (three days of milliseconds); a longer silence is bridged by
    // empty text events, which every reader passes over.
    while (tick - LastTick > MaxDelta) {
        AppendVariableLength(Events, MaxDelta);
        Events.append("\xFF\x01\x00", 3);
        LastTick += MaxDelta;
    }
    AppendVariableLength(Events, uint32_t(tick - LastTick));
    LastTick = tick;
    Events.append(char(status));
    if (withLength)
        AppendVariableLength(Events, uint32_t(bytes.size()));
    Events.append(bytes);
}

QByteArray TSmfTrack::File() const
{
    QByteArray file("MThd", 4);
    AppendBigEndian(file, 6, 4);
    AppendBigEndian(file, 0, 2);  // format 0
    AppendBigEndian(file, 1, 2);  // one track
    AppendBigEndian(file, TicksPerQuarter, 2);
    file.append("MTrk", 4);
    const QByteArray end("\x00\xFF\x2F\x00", 4);
    AppendBigEndian(file, uint32_t(Events.size() + end.size()), 4);
    file.append(Events);
    file.append(end);
    return file;
}

QByteArray StandardMidiFile(const TMessageRecord& record, bool incoming, bool outgoing)
{
    TSmfTrack track;
    for (size_t i = 0; i < record.Count(); ++i) {
        const TRecordEntry e = record.At(i);
        if (!(e.Direction == TDirection::In ? incoming : outgoing))
            continue;
        const int64_t tick = TickOfTime(record.Time(i));
        switch (e.Form) {
        case TEntryForm::Short: {
            const uint8_t bytes[] = {e.Status, e.Data1, e.Data2};
            const QByteArrayView message(bytes, 1 + DataBytesAfter(e.Status));
            // A lone data byte handed over as a message would read as running status.
            if (e.Status >= 0x80 && e.Status < 0xF0)
                track.AddChannelMessage(tick, message);
            else
                track.AddEscape(tick, message);
            break;
        }
        case TEntryForm::Sysex: track.AddSysexPiece(tick, record.PieceBytes(e.Piece)); break;
        case TEntryForm::Stray: track.AddEscape(tick, record.PieceBytes(e.Piece)); break;
        }
    }
    return track.File();
}
