#include "MessageRecord.h"

#include "HexText.h"

#include <QBuffer>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// System exclusive bytes share blocks of this size; a larger piece gets a block of its own.
constexpr uint32_t ByteBlockCapacity = 1 << 20;

constexpr bool FitsOffset(int64_t offset)
{
    return offset >= std::numeric_limits<int32_t>::min() && offset <= std::numeric_limits<int32_t>::max();
}

int DirectionIndex(TDirection direction)
{
    return direction == TDirection::Out ? 1 : 0;
}

} // namespace

// What the splitter cuts from a stream goes straight into the record.
class TMessageRecord::TSplitterSink : public TStreamSink {
public:
    TSplitterSink(TMessageRecord& record, TDirection direction, int64_t time)
        : Record(record), Direction(direction), Time(time)
    {
    }

    void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2, bool impliedStatus) override
    {
        Record.CloseOpenMessage(Direction, status);
        TRawEntry entry{0, {status, data1, data2}, uint8_t(impliedStatus ? FlagImpliedOrStray : 0)};
        Kept = Record.AppendRaw(Direction, Time, entry) && Kept;
    }

    void Piece(QByteArrayView bytes, bool stray) override
    {
        Kept = Record.AppendPiece(Direction, Time, bytes, stray) && Kept;
    }

    bool Kept = true;

private:
    TMessageRecord& Record;
    TDirection Direction;
    int64_t Time;
};

TMessageRecord::TMessageRecord()
{
    Clear();
}

TMessageRecord::~TMessageRecord() = default;

bool TMessageRecord::AppendShort(TDirection direction, int64_t time, uint8_t status, uint8_t data1, uint8_t data2)
{
    if (FCount >= MaxEntries)
        return false;
    TSplitterSink sink(*this, direction, time);
    Splitters[DirectionIndex(direction)].SawStatus(status, sink);
    CloseOpenMessage(direction, status);
    return AppendRaw(direction, time, TRawEntry{0, {status, data1, data2}, 0}) && sink.Kept;
}

bool TMessageRecord::AppendSysex(TDirection direction, int64_t time, QByteArrayView bytes)
{
    if (!bytes.isEmpty() && uint8_t(bytes[0]) == 0xF0) {
        TSplitterSink sink(*this, direction, time);
        Splitters[DirectionIndex(direction)].SawStatus(0xF0, sink);
        if (!sink.Kept)
            return false;
    }
    return AppendPiece(direction, time, bytes, false);
}

bool TMessageRecord::AppendStream(TDirection direction, int64_t time, QByteArrayView bytes)
{
    TSplitterSink sink(*this, direction, time);
    Splitters[DirectionIndex(direction)].Feed(bytes, sink);
    return sink.Kept;
}

void TMessageRecord::Clear(const QDateTime& wallClock, std::chrono::steady_clock::time_point steady)
{
    Blocks.clear();
    Blocks.shrink_to_fit();
    FCount = 0;
    Segments.clear();
    Pieces.assign(1, TPiece{});
    Pieces.shrink_to_fit();
    ByteBlocks.clear();
    ByteBlockSizes.clear();
    ByteBlockUsed = 0;
    for (TOpenMessage& open : OpenMessages)
        open = TOpenMessage();
    for (TStreamSplitter& splitter : Splitters)
        splitter.Reset();
    FReceivedLines = 0;
    FReceivedBytes = 0;
    FClearedAt = wallClock;
    FClearedSteady = steady;
    ++FGeneration;
}

int64_t TMessageRecord::Time(size_t index) const
{
    // The segment holding the index: the last that starts at or before it.
    const auto after = std::upper_bound(Segments.begin(), Segments.end(), index,
                                        [](size_t i, const TTimeSegment& s) { return i < s.FirstIndex; });
    return std::prev(after)->Base + Raw(index).TimeOffset;
}

QByteArrayView TMessageRecord::PieceBytes(uint32_t piece) const
{
    const TPiece& p = Pieces[piece];
    if (p.Size == 0)
        return {};
    return QByteArrayView(ByteBlocks[p.Block].get() + p.Offset, qsizetype(p.Size));
}

size_t TMessageRecord::MessageStart(size_t index) const
{
    const TRecordEntry entry = At(index);
    return entry.Form == TEntryForm::Short ? index : size_t(Pieces[entry.Piece].StartEntry);
}

QByteArray TMessageRecord::MessageBytes(size_t start, qsizetype limit) const
{
    const TRecordEntry entry = At(start);
    if (entry.Form == TEntryForm::Short)
        return {};
    const qsizetype size = limit < 0 ? MessageSize(start) : std::min(limit, MessageSize(start));
    QByteArray bytes;
    bytes.reserve(size);
    for (uint32_t piece = entry.Piece; piece != 0 && bytes.size() < size; piece = Pieces[piece].Next)
        bytes.append(PieceBytes(piece).first(std::min(PieceBytes(piece).size(), size - bytes.size())));
    return bytes;
}

qsizetype TMessageRecord::MessageSize(size_t start) const
{
    const TRecordEntry entry = At(start);
    if (entry.Form == TEntryForm::Short)
        return 0;
    qsizetype size = 0;
    for (uint32_t piece = entry.Piece; piece != 0; piece = Pieces[piece].Next)
        size += Pieces[piece].Size;
    return size;
}

bool TMessageRecord::MessageComplete(size_t start) const
{
    const TRecordEntry entry = At(start);
    if (entry.Form != TEntryForm::Sysex)
        return true;
    uint32_t last = entry.Piece;
    while (Pieces[last].Next != 0)
        last = Pieces[last].Next;
    const QByteArrayView bytes = PieceBytes(last);
    return !bytes.isEmpty() && uint8_t(bytes.back()) == 0xF7;
}

size_t TMessageRecord::MemoryUsed() const
{
    size_t bytes = Blocks.size() * BlockSize * sizeof(TRawEntry) + Blocks.capacity() * sizeof(Blocks[0])
                   + Segments.capacity() * sizeof(TTimeSegment) + Pieces.capacity() * sizeof(TPiece)
                   + ByteBlocks.capacity() * sizeof(ByteBlocks[0]) + ByteBlockSizes.capacity() * sizeof(uint32_t);
    for (uint32_t size : ByteBlockSizes)
        bytes += size;
    return bytes;
}

bool TMessageRecord::WriteReceivedBytes(QIODevice& device) const
{
    return WriteReceived(device, false);
}

bool TMessageRecord::WriteReceivedText(QIODevice& device) const
{
    return WriteReceived(device, true);
}

QByteArray TMessageRecord::ReceivedBytes() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteReceived(buffer, false);
    return buffer.data();
}

QByteArray TMessageRecord::ReceivedText() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteReceived(buffer, true);
    return buffer.data();
}

bool TMessageRecord::WriteReceived(QIODevice& device, bool asText) const
{
    // Written in slices, so that a record of millions of lines never needs its whole text at once.
    constexpr size_t SliceEntries = 1 << 16;
    QByteArray slice;
    for (size_t first = 0; first < FCount; first += SliceEntries) {
        slice.clear();
        const size_t end = std::min(FCount, first + SliceEntries);
        for (size_t i = first; i < end; ++i) {
            if (DirectionAt(i) != TDirection::In)
                continue;
            const TRecordEntry entry = At(i);
            if (entry.Form == TEntryForm::Short) {
                if (asText) {
                    slice.append(ShortMonitorLine(entry.Status, entry.Data1, entry.Data2).toLatin1());
                } else {
                    const char bytes[] = {char(entry.Status), char(entry.Data1), char(entry.Data2)};
                    slice.append(bytes, 3);
                }
            } else {
                const QByteArrayView bytes = PieceBytes(entry.Piece);
                if (asText)
                    slice.append(SysexMonitorLine(QByteArray::fromRawData(bytes.data(), bytes.size())).toLatin1());
                else
                    slice.append(bytes);
            }
            if (asText)
                slice.append("\r\n");
        }
        if (!slice.isEmpty() && device.write(slice) != slice.size())
            return false;
    }
    return true;
}

bool TMessageRecord::AppendRaw(TDirection direction, int64_t time, TRawEntry entry)
{
    if (FCount >= MaxEntries)
        return false;
    if (Segments.empty() || !FitsOffset(time - Segments.back().Base))
        Segments.push_back({FCount, time});
    entry.TimeOffset = int32_t(time - Segments.back().Base);
    if (direction == TDirection::Out)
        entry.Flags |= FlagOut;
    if ((FCount >> BlockBits) >= Blocks.size())
        Blocks.push_back(std::make_unique_for_overwrite<TRawEntry[]>(BlockSize));
    Blocks[FCount >> BlockBits][FCount & (BlockSize - 1)] = entry;
    ++FCount;
    if (direction == TDirection::In) {
        ++FReceivedLines;
        FReceivedBytes += (entry.Flags & FlagPiece) ? 0 : 3;
    }
    return true;
}

bool TMessageRecord::AppendPiece(TDirection direction, int64_t time, QByteArrayView bytes, bool stray)
{
    if (FCount >= MaxEntries || Pieces.size() >= MaxPieces || size_t(bytes.size()) > UINT32_MAX)
        return false;
    TOpenMessage& open = OpenMessages[DirectionIndex(direction)];
    const bool startsMessage = !bytes.isEmpty() && uint8_t(bytes[0]) == 0xF0;
    const bool continues = !stray && !startsMessage && open.Open;

    const auto piece = uint32_t(Pieces.size());
    const uint32_t block = StoreBytes(bytes);
    const uint32_t offset = bytes.isEmpty() ? 0 : ByteBlockUsed - uint32_t(bytes.size());
    Pieces.push_back({block, offset, uint32_t(bytes.size()), 0, FCount});
    if (continues) {
        Pieces[open.LastPiece].Next = piece;
        Pieces.back().StartEntry = Pieces[open.LastPiece].StartEntry;
    }
    // An empty piece carries nothing: it neither opens a message nor ends the one it continues.
    open.Open = bytes.isEmpty() ? continues : !stray && uint8_t(bytes.back()) != 0xF7;
    open.LastPiece = piece;

    uint8_t flags = FlagPiece | uint8_t((piece >> 24) << 4);
    if (stray)
        flags |= FlagImpliedOrStray;
    if (continues)
        flags |= FlagContinues;
    AppendRaw(direction, time, TRawEntry{0, {uint8_t(piece), uint8_t(piece >> 8), uint8_t(piece >> 16)}, flags});
    if (direction == TDirection::In)
        FReceivedBytes += bytes.size();
    return true;
}

// Copies the bytes to the end of the last byte block, or of a new one; returns the block.
uint32_t TMessageRecord::StoreBytes(QByteArrayView bytes)
{
    const auto size = uint32_t(bytes.size());
    if (size == 0)
        return 0;  // never read
    if (ByteBlocks.empty() || ByteBlockSizes.back() - ByteBlockUsed < size) {
        const uint32_t capacity = std::max(ByteBlockCapacity, size);
        ByteBlocks.push_back(std::make_unique_for_overwrite<uint8_t[]>(capacity));
        ByteBlockSizes.push_back(capacity);
        ByteBlockUsed = 0;
    }
    if (size > 0)
        std::memcpy(ByteBlocks.back().get() + ByteBlockUsed, bytes.data(), size);
    ByteBlockUsed += size;
    return uint32_t(ByteBlocks.size() - 1);
}

// Every status byte but a real-time one ends a system exclusive message that had no F7.
void TMessageRecord::CloseOpenMessage(TDirection direction, uint8_t status)
{
    if (status < 0xF8)
        OpenMessages[DirectionIndex(direction)].Open = false;
}
