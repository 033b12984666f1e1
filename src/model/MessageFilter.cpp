#include "MessageFilter.h"

#include <algorithm>

void TMessageFilter::ShowGroup(TMessageGroup group, bool shown)
{
    const auto bit = uint16_t(1u << int(group));
    Groups = shown ? Groups | bit : Groups & ~bit;
}

void TMessageFilter::ShowChannel(int channel, bool shown)
{
    const auto bit = uint16_t(1u << (channel - 1));
    Channels = shown ? Channels | bit : Channels & ~bit;
}

void TRowList::Append(uint32_t entry)
{
    const size_t offset = FSize & (BlockSize - 1);
    if (offset == 0) {
        Blocks.push_back(TBlock{entry, nullptr});
    } else {
        TBlock& block = Blocks.back();
        if (!block.Entries && entry != block.First + uint32_t(offset)) {
            // The run ends here: the block holds its rows one by one from now on.
            block.Entries = std::make_unique_for_overwrite<uint32_t[]>(BlockSize);
            for (size_t i = 0; i < offset; ++i)
                block.Entries[i] = block.First + uint32_t(i);
        }
        if (block.Entries)
            block.Entries[offset] = entry;
    }
    ++FSize;
}

void TRowList::Append(const TRowList& rows)
{
    for (size_t i = 0; i < rows.Size(); ++i)
        Append(rows[i]);
}

void TRowList::Clear()
{
    Blocks.clear();
    FSize = 0;
}

size_t TRowList::LowerBound(uint32_t entry) const
{
    size_t low = 0;
    size_t high = FSize;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if ((*this)[middle] < entry)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

int64_t TRowList::Find(uint32_t entry) const
{
    const size_t row = LowerBound(entry);
    return row < FSize && (*this)[row] == entry ? int64_t(row) : -1;
}

size_t TRowList::MemoryUsed() const
{
    size_t bytes = Blocks.capacity() * sizeof(TBlock);
    for (const TBlock& block : Blocks)
        bytes += block.Entries ? BlockSize * sizeof(uint32_t) : 0;
    return bytes;
}

TRowFilter::TRowFilter(const TMessageRecord& record, TRecordDecoder& decoder) : Record(record), Decoder(decoder)
{
    SetFilter(TMessageFilter());
}

void TRowFilter::SetFilter(const TMessageFilter& filter)
{
    FFilter = filter;
    for (const TDirection direction : {TDirection::In, TDirection::Out}) {
        const bool shown = direction == TDirection::In ? filter.Incoming : filter.Outgoing;
        for (int status = 0; status < 256; ++status) {
            const TMessageKind kind = KindOfStatus(uint8_t(status));
            const bool channelMessage = status >= 0x80 && status < 0xF0;
            StatusShown[int(direction)][status] = shown && filter.ShowsGroup(GroupOf(kind))
                                                  && (!channelMessage || filter.ShowsChannel((status & 0x0F) + 1));
        }
        PieceShown[int(direction)][int(TEntryForm::Sysex)] = shown && filter.ShowsGroup(TMessageGroup::SystemExclusive);
        PieceShown[int(direction)][int(TEntryForm::Stray)] = shown && filter.ShowsGroup(TMessageGroup::Other);
    }
    MeaningsChanged();
}

void TRowFilter::MeaningsChanged()
{
    ShortMatches.clear();
    if (!FFilter.Text.isEmpty())
        ShortMatches.assign(23 * 128 * 128, 0);
}

bool TRowFilter::TextMatches(size_t entry, const TRecordEntry& e)
{
    if (e.Form != TEntryForm::Short || MeaningNeedsContext(e.Status, e.Data1) || ((e.Data1 | e.Data2) & 0x80))
        return Contains(Decoder.Meaning(entry));
    const int kind = e.Status < 0xF0 ? (e.Status >> 4) - 8 : 7 + (e.Status - 0xF0);
    uint8_t& known = ShortMatches[size_t(kind) << 14 | size_t(e.Data1) << 7 | e.Data2];
    if (known == 0)
        known = Contains(ShortMeaning(e.Status, e.Data1, e.Data2, TChannelState(), Decoder.Options())) ? 1 : 2;
    return known == 1;
}
