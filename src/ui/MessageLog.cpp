#include "MessageLog.h"

#include "MidiEvent.h"

#include <QMetaObject>

std::chrono::steady_clock::time_point ReceivedTime(const TMidiEvent& event)
{
    return std::chrono::time_point_cast<std::chrono::steady_clock::duration>(event.DeviceTime);
}

TMessageLog::TMessageLog() = default;

void TMessageLog::Clear()
{
    FRecord.Clear();
    // At once: a view must not read entries the record no longer holds.
    ChangeQueued = false;
    emit Changed();
}

void TMessageLog::Received(const TMidiEvent& event)
{
    const int64_t time = FRecord.SinceClear(ReceivedTime(event));
    if (event.StatusByte == 0xF0)
        FRecord.AppendSysex(TDirection::In, time,
                            QByteArrayView(event.SysexData.get(), qsizetype(event.SysexSize)));
    else
        FRecord.AppendShort(TDirection::In, time, event.StatusByte, event.DataByte1, event.DataByte2);
    Appended();
}

void TMessageLog::SetRecordsSent(bool on)
{
    if (on == FRecordsSent)
        return;
    FRecordsSent = on;
    emit RecordsSentChanged(on);
}

void TMessageLog::Sent(TClock::time_point moment, uint8_t status, uint8_t data1, uint8_t data2)
{
    if (!FRecordsSent)
        return;
    FRecord.AppendShort(TDirection::Out, FRecord.SinceClear(moment), status, data1, data2);
    Appended();
}

void TMessageLog::Sent(TClock::time_point moment, QByteArrayView bytes)
{
    if (!FRecordsSent || bytes.isEmpty())
        return;
    FRecord.AppendStream(TDirection::Out, FRecord.SinceClear(moment), bytes);
    Appended();
}

// A burst of thousands of messages costs the views one look, behind the events already posted.
void TMessageLog::Appended()
{
    if (ChangeQueued)
        return;
    ChangeQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!ChangeQueued)
                return;  // a clear has told the views already
            ChangeQueued = false;
            emit Changed();
        },
        Qt::QueuedConnection);
}
