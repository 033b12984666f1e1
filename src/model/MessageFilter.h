#pragma once
// Which messages of the record the monitor's table shows: by kind, by channel, by direction and
// by a text within the meaning. The filter never changes the record; it gives the list of
// entries shown, rebuilt when the filter changes and extended as the record grows.
//
// Fast enough to rebuild over ten million entries while the user waits (see bench/): kind,
// channel and direction are looked up per status byte; the text is matched once per distinct
// message for the messages whose meaning stands alone, and by decoding for the few that need
// their channel's state (program change, data entry) or are system exclusive.

#include "MessageMeaning.h"
#include "MessageRecord.h"
#include "RecordDecoder.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct TMessageFilter {
    static constexpr uint16_t AllGroups = (1u << MessageGroupCount) - 1;
    static constexpr uint16_t AllChannels = 0xFFFF;

    uint16_t Groups = AllGroups;      // one bit per TMessageGroup
    uint16_t Channels = AllChannels;  // bit c - 1 for channel c; system messages have none and pass
    bool Incoming = true;
    bool Outgoing = true;
    QString Text;  // found in the meaning, letter case aside; empty: any

    bool ShowsGroup(TMessageGroup group) const { return Groups & (1u << int(group)); }
    void ShowGroup(TMessageGroup group, bool shown);
    bool ShowsChannel(int channel) const { return Channels & (1u << (channel - 1)); }
    void ShowChannel(int channel, bool shown);

    friend bool operator==(const TMessageFilter&, const TMessageFilter&) = default;
};

// Entry indices in order, kept in blocks so that a list of millions grows without copying and
// without holding twice its size. A block of consecutive entries (every message shown, as when
// nothing is filtered out) keeps only its first: ten million rows of an unfiltered table cost
// nothing but the blocks' list.
class TRowList {
public:
    size_t Size() const { return FSize; }
    uint32_t operator[](size_t row) const
    {
        const TBlock& block = Blocks[row >> BlockBits];
        const size_t offset = row & (BlockSize - 1);
        return block.Entries ? block.Entries[offset] : block.First + uint32_t(offset);
    }
    void Append(uint32_t entry);
    void Append(const TRowList& rows);
    void Clear();
    // The row holding the entry, or -1.
    int64_t Find(uint32_t entry) const;
    // The first row whose entry is the given one or a later one; Size() when there is none.
    size_t LowerBound(uint32_t entry) const;
    size_t MemoryUsed() const;

private:
    static constexpr int BlockBits = 16;
    static constexpr size_t BlockSize = size_t(1) << BlockBits;
    struct TBlock {
        uint32_t First = 0;                   // while Entries is null: the block is First, First + 1, ...
        std::unique_ptr<uint32_t[]> Entries;  // once a row breaks the run
    };
    std::vector<TBlock> Blocks;
    size_t FSize = 0;
};

class TRowFilter {
public:
    // The decoder gives the meanings (and their options: program names) the text is matched in.
    TRowFilter(const TMessageRecord& record, TRecordDecoder& decoder);

    void SetFilter(const TMessageFilter& filter);
    const TMessageFilter& Filter() const { return FFilter; }
    // Call when the meanings change (program names, language): texts are matched afresh.
    void MeaningsChanged();

    // Appends (rows.Append) the shown entries of [from, to). A system exclusive piece that
    // continues its message is never a row of its own: its message's first piece stands for it.
    template <class TRows>
    void Scan(size_t from, size_t to, TRows& rows)
    {
        Record.ForEach(from, to, [&](size_t entry, const TRecordEntry& e) {
            if (Shows(entry, e))
                rows.Append(uint32_t(entry));
        });
    }

    bool Shows(size_t entry, const TRecordEntry& e)
    {
        if (e.Form == TEntryForm::Short) {
            if (!StatusShown[int(e.Direction)][e.Status])
                return false;
        } else if (e.ContinuesMessage || !PieceShown[int(e.Direction)][int(e.Form)]) {
            return false;
        }
        return FFilter.Text.isEmpty() || TextMatches(entry, e);
    }

private:
    bool TextMatches(size_t entry, const TRecordEntry& e);
    bool Contains(const QString& meaning) const { return meaning.contains(FFilter.Text, Qt::CaseInsensitive); }

    const TMessageRecord& Record;
    TRecordDecoder& Decoder;
    TMessageFilter FFilter;
    // By direction and status byte, and by direction and form: kind, channel and direction at once.
    bool StatusShown[2][256] = {};
    bool PieceShown[2][3] = {};
    // For messages whose meaning stands alone: 0 not known yet, 1 matches, 2 does not; by kind
    // (8n..En as 0..6, F0..FF as 7..22) and the two data bytes.
    std::vector<uint8_t> ShortMatches;
};
