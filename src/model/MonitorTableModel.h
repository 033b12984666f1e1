#pragma once
// The monitor window's table over the record: one row per message the filter shows (a system
// exclusive message that came in pieces is one row), columns for its time, the gap to the row
// above, its direction, channel, kind, meaning and bytes. Rows cost nothing until shown: only
// their entry numbers are kept, and a cell is worked out when the view asks for it.
//
// The owner appends to the record and then calls RecordChanged, at most once per turn of the
// event loop (a burst of thousands of messages should cost one insertion, not thousands). While
// paused the rows stay as they are and the messages that would be added wait, counted.
// Window thread only.

#include "MessageFilter.h"
#include "MessageMeaning.h"
#include "MessageRecord.h"
#include "RecordDecoder.h"

#include <QAbstractTableModel>

class TMonitorTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { TimeColumn, GapColumn, DirectionColumn, ChannelColumn, KindColumn, MeaningColumn, BytesColumn, ColumnCount };
    enum TRole {
        EntryRole = Qt::UserRole + 1,  // the record entry of the row (qulonglong)
        GroupRole,                     // its TMessageGroup (int), for KindColour
    };
    enum class TTimeFormat { SinceClear, WallClock };

    // Bytes beyond this are left out of the bytes cell (they stay in the record and the exports).
    static constexpr qsizetype BytesShown = 64;

    explicit TMonitorTableModel(const TMessageRecord& record, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void SetFilter(const TMessageFilter& filter);
    const TMessageFilter& Filter() const { return RowFilter.Filter(); }
    // Program names or the interface language changed: every meaning is worked out again.
    void SetMeaningOptions(TMeaningOptions options);
    const TMeaningOptions& MeaningOptions() const { return Decoder.Options(); }
    void SetTimeFormat(TTimeFormat format);
    TTimeFormat TimeFormat() const { return FTimeFormat; }

    void SetPaused(bool paused);
    bool Paused() const { return FPaused; }
    size_t WaitingCount() const { return Pending.Size(); }

    // Takes in what was appended to the record since the last call, or starts afresh after a clear.
    void RecordChanged();

    size_t EntryOfRow(int row) const { return Rows[size_t(row)]; }
    int RowOfEntry(size_t entry) const;  // -1 when not shown
    // One row as the text export writes it: the columns apart by tabs, all of the bytes.
    QString RowText(int row) const;

signals:
    void WaitingCountChanged(qulonglong count);

private:
    QString CellText(int row, int column, bool allBytes) const;
    QString TimeText(int64_t time) const;
    QString BytesText(size_t entry, bool allBytes) const;
    void Rebuild();
    void TakeInPending();

    const TMessageRecord& Record;
    mutable TRecordDecoder Decoder;  // keeps state as rows are read
    TRowFilter RowFilter;
    TRowList Rows;
    TRowList Pending;  // shown once the pause ends
    size_t Seen = 0;   // entries of the record taken in
    size_t FrozenEnd = 0;  // while paused: Rows cover the entries before this
    uint64_t Generation = 0;
    bool FPaused = false;
    TTimeFormat FTimeFormat = TTimeFormat::SinceClear;
};
