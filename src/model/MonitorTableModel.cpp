#include "MonitorTableModel.h"

#include "StreamSplitter.h"

#include <QDateTime>

#include <algorithm>
#include <vector>

namespace {

// Microseconds as "1.234": whole units and three decimals, rounded down (also below zero), so a
// time never shows a millisecond that has not yet begun.
QString ThousandthsText(int64_t value, int64_t unit)
{
    const int64_t thousandths = value >= 0 ? value / (unit / 1000) : -((-value + unit / 1000 - 1) / (unit / 1000));
    const int64_t magnitude = thousandths < 0 ? -thousandths : thousandths;
    return QStringLiteral("%1%2.%3")
        .arg(thousandths < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 1000)
        .arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

QString Hex(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' '));
}

} // namespace

TMonitorTableModel::TMonitorTableModel(const TMessageRecord& record, QObject* parent)
    : QAbstractTableModel(parent), Record(record), Decoder(record), RowFilter(record, Decoder),
      Generation(record.Generation())
{
    RecordChanged();
}

int TMonitorTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(std::min<size_t>(Rows.Size(), INT_MAX));
}

int TMonitorTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TMonitorTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= Rows.Size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return CellText(index.row(), index.column(), false);
    case Qt::TextAlignmentRole:
        if (index.column() == TimeColumn || index.column() == GapColumn || index.column() == ChannelColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    case EntryRole:
        return qulonglong(Rows[size_t(index.row())]);
    case GroupRole:
        return int(GroupOf(KindOf(Record.At(Rows[size_t(index.row())]))));
    default:
        return {};
    }
}

QVariant TMonitorTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn: return FTimeFormat == TTimeFormat::SinceClear ? tr("時間（秒）") : tr("時刻");
    case GapColumn: return tr("間隔（ミリ秒）");
    case DirectionColumn: return tr("方向");
    case ChannelColumn: return tr("チャンネル");
    case KindColumn: return tr("種類");
    case MeaningColumn: return tr("意味");
    case BytesColumn: return tr("バイト");
    default: return {};
    }
}

void TMonitorTableModel::SetFilter(const TMessageFilter& filter)
{
    RowFilter.SetFilter(filter);
    Rebuild();
}

void TMonitorTableModel::SetMeaningOptions(TMeaningOptions options)
{
    Decoder.SetOptions(std::move(options));
    RowFilter.MeaningsChanged();
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!RowFilter.Filter().Text.isEmpty())
        Rebuild();
    else if (Rows.Size() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

void TMonitorTableModel::SetTimeFormat(TTimeFormat format)
{
    if (format == FTimeFormat)
        return;
    FTimeFormat = format;
    emit headerDataChanged(Qt::Horizontal, TimeColumn, TimeColumn);
    if (Rows.Size() > 0)
        emit dataChanged(index(0, TimeColumn), index(rowCount() - 1, TimeColumn));
}

void TMonitorTableModel::SetPaused(bool paused)
{
    if (paused == FPaused)
        return;
    FPaused = paused;
    if (paused) {
        FrozenEnd = Seen;
    } else {
        TakeInPending();
        RecordChanged();
    }
    emit WaitingCountChanged(qulonglong(Pending.Size()));
}

void TMonitorTableModel::RecordChanged()
{
    if (Generation != Record.Generation() || Seen > Record.Count()) {
        Generation = Record.Generation();
        beginResetModel();
        Rows.Clear();
        Pending.Clear();
        Seen = 0;
        FrozenEnd = 0;
        endResetModel();
        if (FPaused)
            emit WaitingCountChanged(0);
    }
    const size_t count = Record.Count();
    if (Seen == count)
        return;

    if (FPaused) {
        RowFilter.Scan(Seen, count, Pending);
        Seen = count;
        emit WaitingCountChanged(qulonglong(Pending.Size()));
        return;
    }

    // Pieces that continue a message already shown change its row (its length, its meaning).
    int64_t firstChanged = -1;
    int64_t lastChanged = -1;
    for (size_t i = Seen; i < count; ++i) {
        const TRecordEntry e = Record.At(i);
        if (!e.ContinuesMessage)
            continue;
        const size_t start = Record.MessageStart(i);
        if (start >= Seen)
            continue;
        const int64_t row = Rows.Find(uint32_t(start));
        if (row < 0)
            continue;
        firstChanged = firstChanged < 0 ? row : std::min(firstChanged, row);
        lastChanged = std::max(lastChanged, row);
    }

    // Found first, inserted after: a view may ask for rows as soon as it hears of them.
    TRowList added;
    RowFilter.Scan(Seen, count, added);
    Seen = count;
    if (added.Size() > 0) {
        const int first = rowCount();
        beginInsertRows(QModelIndex(), first, first + int(added.Size()) - 1);
        Rows.Append(added);
        endInsertRows();
    }
    if (firstChanged >= 0)
        emit dataChanged(index(int(firstChanged), MeaningColumn), index(int(lastChanged), BytesColumn));
}

int TMonitorTableModel::RowOfEntry(size_t entry) const
{
    return int(Rows.Find(uint32_t(entry)));
}

QString TMonitorTableModel::RowText(int row) const
{
    QString text;
    for (int column = 0; column < ColumnCount; ++column) {
        if (column > 0)
            text += u'\t';
        text += CellText(row, column, true);
    }
    return text;
}

QString TMonitorTableModel::CellText(int row, int column, bool allBytes) const
{
    const size_t entry = Rows[size_t(row)];
    const TRecordEntry e = Record.At(entry);
    switch (column) {
    case TimeColumn:
        return TimeText(Record.Time(entry));
    case GapColumn:
        // To the row above, whatever the filter left out between them.
        return row == 0 ? QString() : ThousandthsText(Record.Time(entry) - Record.Time(Rows[size_t(row) - 1]), 1000);
    case DirectionColumn:
        return e.Direction == TDirection::In ? tr("入力") : tr("出力");
    case ChannelColumn: {
        const int channel = ChannelOf(e);
        return channel == 0 ? QString() : QString::number(channel);
    }
    case KindColumn:
        return KindName(KindOf(e));
    case MeaningColumn:
        return Decoder.Meaning(entry);
    case BytesColumn:
        return BytesText(entry, allBytes);
    default:
        return {};
    }
}

QString TMonitorTableModel::TimeText(int64_t time) const
{
    if (FTimeFormat == TTimeFormat::SinceClear)
        return ThousandthsText(time, 1'000'000);
    const int64_t milliseconds = time >= 0 ? time / 1000 : -((-time + 999) / 1000);
    return Record.ClearedAt().addMSecs(milliseconds).toString(QStringLiteral("HH:mm:ss.zzz"));
}

// The bytes as they went over the wire: a short message's own length (the memo pads every one to
// three), without the status byte running status left out.
QString TMonitorTableModel::BytesText(size_t entry, bool allBytes) const
{
    const TRecordEntry e = Record.At(entry);
    if (e.Form == TEntryForm::Short) {
        const uint8_t bytes[] = {e.Status, e.Data1, e.Data2};
        const int skip = e.ImpliedStatus ? 1 : 0;
        return Hex(QByteArrayView(bytes + skip, 1 + DataBytesAfter(e.Status) - skip));
    }
    // One byte more than is shown tells whether there are more.
    const qsizetype limit = allBytes ? -1 : BytesShown + 1;
    QByteArray bytes;
    if (e.Form == TEntryForm::Sysex) {
        bytes = Record.MessageBytes(entry, limit);
    } else {
        const QByteArrayView piece = Record.PieceBytes(e.Piece);
        bytes = (limit < 0 ? piece : piece.first(std::min(limit, piece.size()))).toByteArray();
    }
    if (!allBytes && bytes.size() > BytesShown)
        return Hex(QByteArrayView(bytes).first(BytesShown)) + QStringLiteral(" …");
    return Hex(bytes);
}

void TMonitorTableModel::Rebuild()
{
    beginResetModel();
    Rows.Clear();
    Pending.Clear();
    if (FPaused) {
        RowFilter.Scan(0, FrozenEnd, Rows);
        RowFilter.Scan(FrozenEnd, Seen, Pending);
    } else {
        RowFilter.Scan(0, Seen, Rows);
    }
    endResetModel();
    if (FPaused)
        emit WaitingCountChanged(qulonglong(Pending.Size()));
}

void TMonitorTableModel::TakeInPending()
{
    if (Pending.Size() > 0) {
        const int first = rowCount();
        beginInsertRows(QModelIndex(), first, first + int(Pending.Size()) - 1);
        Rows.Append(Pending);
        Pending.Clear();
        endInsertRows();
    }
    // Messages shown before the pause may have grown by pieces meanwhile.
    if (Rows.Size() > 0)
        emit dataChanged(index(0, MeaningColumn), index(rowCount() - 1, BytesColumn));
}
