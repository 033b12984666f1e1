#pragma once
// Every MIDI message the monitor has seen since the last clear, received and (when the user wants
// them) sent, in the order they reached the window thread, each with the time the device thread
// took when it came.
//
// Compact, so that a monitor can run overnight: a short message takes 8 bytes with its time and
// direction; a system exclusive piece takes its bytes plus 32. Entries are kept in blocks, so a
// growing record never copies what it holds. Append-only until Clear; written and read on the
// window thread only.
//
// Received messages arrive as the input port hands them over: short messages of three bytes and
// system exclusive pieces (a long message comes in several). Each received entry is one line of
// the Binary page's memo and its bytes count as the memo counts them (three for every short
// message), so the record can write the memo's .syx and .txt files whole. Sent messages never
// appear in those.
//
// Pieces of one system exclusive message are joined again as one message for the table: a piece
// that does not start with F0 continues the open message of its direction (one that has not had
// its F7 and was not ended by another status byte).

#include "StreamSplitter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

enum class TDirection : uint8_t { In, Out };

enum class TEntryForm : uint8_t {
    Short,   // a short message: status and up to two data bytes
    Sysex,   // a system exclusive piece
    Stray,   // bytes of a raw stream that form no message
};

struct TRecordEntry {
    TDirection Direction = TDirection::In;
    TEntryForm Form = TEntryForm::Short;
    bool ImpliedStatus = false;    // a short message sent with running status
    bool ContinuesMessage = false; // a system exclusive piece after the first of its message
    uint8_t Status = 0;            // short messages only
    uint8_t Data1 = 0;
    uint8_t Data2 = 0;
    uint32_t Piece = 0;            // pieces only: which, for PieceBytes
};

class TMessageRecord {
public:
    // Row indices elsewhere are 32-bit; at 8 bytes an entry, more would take 32 GiB anyway.
    static constexpr size_t MaxEntries = UINT32_MAX - 1;

    TMessageRecord();
    ~TMessageRecord();
    TMessageRecord(const TMessageRecord&) = delete;
    TMessageRecord& operator=(const TMessageRecord&) = delete;

    // Times are microseconds since the clear (negative for a message stamped just before it).
    // Each append returns false, keeping nothing, only when the record is full.
    bool AppendShort(TDirection direction, int64_t time, uint8_t status, uint8_t data1, uint8_t data2);
    // A system exclusive piece as the input port delivers it: F0 first unless it continues a
    // message, F7 last when it ends one. An empty piece is kept too (the memo shows an empty line).
    bool AppendSysex(TDirection direction, int64_t time, QByteArrayView bytes);
    // A raw byte stream, as the raw sender sends a packet: cut into messages with the running
    // status and any open message carried over from the direction's earlier blocks.
    bool AppendStream(TDirection direction, int64_t time, QByteArrayView bytes);

    // Forgets everything. Times count from this moment: wallClock is it on the calendar (for
    // wall-clock times), steady on the monotonic clock (CLOCK_MONOTONIC, which device threads and
    // the window thread can all read).
    void Clear(const QDateTime& wallClock = QDateTime::currentDateTime(),
               std::chrono::steady_clock::time_point steady = std::chrono::steady_clock::now());
    const QDateTime& ClearedAt() const { return FClearedAt; }
    // A moment on the monotonic clock as a time of the record.
    int64_t SinceClear(std::chrono::steady_clock::time_point moment) const
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(moment - FClearedSteady).count();
    }
    // Changes at every clear, so that views can tell their indices are stale.
    uint64_t Generation() const { return FGeneration; }

    size_t Count() const { return FCount; }
    TRecordEntry At(size_t index) const { return Decode(Raw(index)); }
    // Visits entries [from, to) in order as visit(index, entry): the quick way through many.
    template <class TVisit>
    void ForEach(size_t from, size_t to, TVisit&& visit) const
    {
        while (from < to) {
            const TRawEntry* block = Blocks[from >> BlockBits].get();
            const size_t blockEnd = std::min(to, ((from >> BlockBits) + 1) << BlockBits);
            for (; from < blockEnd; ++from)
                visit(from, Decode(block[from & (BlockSize - 1)]));
        }
    }
    int64_t Time(size_t index) const;
    TDirection DirectionAt(size_t index) const { return (Raw(index).Flags & FlagOut) ? TDirection::Out : TDirection::In; }

    QByteArrayView PieceBytes(uint32_t piece) const;
    // For a system exclusive message: the entry of its first piece, and all its bytes joined.
    // For any other entry: the entry itself, and nothing.
    size_t MessageStart(size_t index) const;
    QByteArray MessageBytes(size_t start, qsizetype limit = -1) const;  // limit: at most that many
    qsizetype MessageSize(size_t start) const;
    bool MessageComplete(size_t start) const;  // its last piece ended with F7

    // Bytes the record holds in memory, blocks not yet filled included.
    size_t MemoryUsed() const;

    // What the Binary page's memo holds since the clear: its lines and its bytes.
    size_t ReceivedLineCount() const { return FReceivedLines; }
    qint64 ReceivedByteCount() const { return FReceivedBytes; }
    bool WriteReceivedBytes(QIODevice& device) const;  // the .syx save
    bool WriteReceivedText(QIODevice& device) const;   // the .txt save: every line, CR LF after each
    QByteArray ReceivedBytes() const;
    QByteArray ReceivedText() const;

private:
    // 8 bytes: time, three bytes, flags. A piece keeps its number in the three bytes and the
    // flags' high bits.
    struct TRawEntry {
        int32_t TimeOffset;  // microseconds after the base of the entry's time segment
        uint8_t Bytes[3];
        uint8_t Flags;
    };
    static_assert(sizeof(TRawEntry) == 8);
    static constexpr uint8_t FlagOut = 0x01;
    static constexpr uint8_t FlagPiece = 0x02;
    static constexpr uint8_t FlagImpliedOrStray = 0x04;  // implied status (short), stray (piece)
    static constexpr uint8_t FlagContinues = 0x08;
    static constexpr uint32_t MaxPieces = 1u << 28;

    static constexpr int BlockBits = 16;
    static constexpr size_t BlockSize = size_t(1) << BlockBits;

    // A time segment starts wherever a time lies more than 35 minutes from the segment's base,
    // so 32 bits an entry hold microseconds for any span.
    struct TTimeSegment {
        size_t FirstIndex;
        int64_t Base;
    };

    struct TPiece {
        uint32_t Block;
        uint32_t Offset;
        uint32_t Size;
        uint32_t Next;        // the next piece of the same message; 0: none yet
        uint64_t StartEntry;  // the entry of the message's first piece
    };

    struct TOpenMessage {
        uint32_t LastPiece = 0;
        bool Open = false;
    };

    class TSplitterSink;

    const TRawEntry& Raw(size_t index) const { return Blocks[index >> BlockBits][index & (BlockSize - 1)]; }
    static TRecordEntry Decode(const TRawEntry& raw)
    {
        TRecordEntry entry;
        entry.Direction = (raw.Flags & FlagOut) ? TDirection::Out : TDirection::In;
        if (raw.Flags & FlagPiece) {
            entry.Form = (raw.Flags & FlagImpliedOrStray) ? TEntryForm::Stray : TEntryForm::Sysex;
            entry.ContinuesMessage = raw.Flags & FlagContinues;
            entry.Piece = uint32_t(raw.Bytes[0]) | uint32_t(raw.Bytes[1]) << 8 | uint32_t(raw.Bytes[2]) << 16
                          | uint32_t(raw.Flags >> 4) << 24;
        } else {
            entry.ImpliedStatus = raw.Flags & FlagImpliedOrStray;
            entry.Status = raw.Bytes[0];
            entry.Data1 = raw.Bytes[1];
            entry.Data2 = raw.Bytes[2];
        }
        return entry;
    }
    bool AppendRaw(TDirection direction, int64_t time, TRawEntry entry);
    bool AppendPiece(TDirection direction, int64_t time, QByteArrayView bytes, bool stray);
    uint32_t StoreBytes(QByteArrayView bytes);
    void CloseOpenMessage(TDirection direction, uint8_t status);
    bool WriteReceived(QIODevice& device, bool asText) const;

    std::vector<std::unique_ptr<TRawEntry[]>> Blocks;
    size_t FCount = 0;
    std::vector<TTimeSegment> Segments;

    std::vector<TPiece> Pieces;  // piece 0 is never used, so that 0 can mean "none"
    std::vector<std::unique_ptr<uint8_t[]>> ByteBlocks;
    std::vector<uint32_t> ByteBlockSizes;
    uint32_t ByteBlockUsed = 0;  // in the last byte block

    TOpenMessage OpenMessages[2];
    TStreamSplitter Splitters[2];

    size_t FReceivedLines = 0;
    qint64 FReceivedBytes = 0;
    QDateTime FClearedAt;
    std::chrono::steady_clock::time_point FClearedSteady;
    uint64_t FGeneration = 0;
};
