#include "RecordDecoder.h"

TRecordDecoder::TRecordDecoder(const TMessageRecord& record)
    : Record(record), Generation(record.Generation()), Checkpoints(1)
{
}

QString TRecordDecoder::Meaning(size_t entry)
{
    const TRecordEntry e = Record.At(entry);
    switch (e.Form) {
    case TEntryForm::Short:
        return ShortMeaning(e.Status, e.Data1, e.Data2,
                            MeaningNeedsContext(e.Status, e.Data1) ? StateBefore(entry) : TChannelState(), FOptions);
    case TEntryForm::Sysex:
        return SysexMeaning(Record.MessageBytes(Record.MessageStart(entry)));
    case TEntryForm::Stray:
        break;
    }
    return StrayMeaning(Record.PieceBytes(e.Piece));
}

TChannelState TRecordDecoder::StateBefore(size_t entry)
{
    const TRecordEntry e = Record.At(entry);
    const int channel = ChannelOf(e);
    if (channel == 0)
        return {};
    return ContextBefore(entry).Channel(e.Direction, channel);
}

const TMeaningContext& TRecordDecoder::ContextBefore(size_t entry)
{
    if (Generation != Record.Generation()) {
        Generation = Record.Generation();
        Checkpoints.assign(1, TMeaningContext());
        Cursor = TMeaningContext();
        CursorIndex = 0;
    }
    const size_t k = entry / CheckpointInterval;
    while (Checkpoints.size() <= k) {
        TMeaningContext next = Checkpoints.back();
        const size_t from = (Checkpoints.size() - 1) * CheckpointInterval;
        Advance(next, from, from + CheckpointInterval);
        Checkpoints.push_back(next);
    }
    const size_t base = k * CheckpointInterval;
    if (CursorIndex < base || CursorIndex > entry) {
        Cursor = Checkpoints[k];
        CursorIndex = base;
    }
    Advance(Cursor, CursorIndex, entry);
    CursorIndex = entry;
    return Cursor;
}

void TRecordDecoder::Advance(TMeaningContext& context, size_t from, size_t to) const
{
    for (size_t i = from; i < to; ++i) {
        const TRecordEntry e = Record.At(i);
        if (e.Form == TEntryForm::Short)
            context.Advance(e.Direction, e.Status, e.Data1, e.Data2);
    }
}
