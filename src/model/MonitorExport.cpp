#include "MonitorExport.h"

#include "MonitorTableModel.h"

#include <QIODevice>

#include <algorithm>

bool WriteShownRows(const TMonitorTableModel& model, QIODevice& device)
{
    // In slices, so that millions of rows never need their whole text at once.
    constexpr int SliceRows = 4096;
    const int rows = model.rowCount();
    for (int first = 0; first < rows; first += SliceRows) {
        QString text;
        for (int row = first; row < std::min(rows, first + SliceRows); ++row) {
            text += model.RowText(row);
            text += QLatin1String("\r\n");
        }
        const QByteArray bytes = text.toUtf8();
        if (device.write(bytes) != bytes.size())
            return false;
    }
    return true;
}
