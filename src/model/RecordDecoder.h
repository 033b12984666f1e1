#pragma once
// The meaning of any entry of a record, found without decoding from the first entry: the state
// that meanings depend on (TMeaningContext) is kept at every 4,096th entry as the record is read,
// so showing entry 5,000,000 replays at most 4,095 entries, and reading entries in order replays
// one each. The kept states cost 256 bytes per 4,096 entries.
//
// Follows the record it reads: entries appended later are taken in when asked for, and a clear
// (the record's generation changes) starts it afresh. Window thread only.

#include "MessageMeaning.h"
#include "MessageRecord.h"

#include <vector>

class TRecordDecoder {
public:
    explicit TRecordDecoder(const TMessageRecord& record);

    void SetOptions(TMeaningOptions options) { FOptions = std::move(options); }
    const TMeaningOptions& Options() const { return FOptions; }

    // For a system exclusive piece, the meaning of its whole message.
    QString Meaning(size_t entry);
    // The state of the entry's channel, in its direction, just before it.
    TChannelState StateBefore(size_t entry);

    static constexpr size_t CheckpointInterval = 4096;

private:
    const TMeaningContext& ContextBefore(size_t entry);
    void Advance(TMeaningContext& context, size_t from, size_t to) const;

    const TMessageRecord& Record;
    TMeaningOptions FOptions;
    uint64_t Generation = 0;
    std::vector<TMeaningContext> Checkpoints;  // [k]: the context before entry k × CheckpointInterval
    TMeaningContext Cursor;
    size_t CursorIndex = 0;  // Cursor is the context before this entry
};
