#pragma once
// The monitor's record as the program feeds it: every message the input port hands the window,
// and, while the user wants them, every message Kelvane sends, each with its time. The views
// (the Binary page's memo, the monitor window's table) hear of new entries once per turn of the
// event loop however many came, and of a clear at once. Window thread only.

#include "MessageRecord.h"

#include <QByteArrayView>
#include <QObject>

#include <chrono>
#include <cstdint>

class TMidiEvent;

// When a received message arrived, on the monotonic clock: the one place that knows where an
// event keeps its time (the device thread's, not the moment the window got round to it).
std::chrono::steady_clock::time_point ReceivedTime(const TMidiEvent& event);

class TMessageLog final : public QObject {
    Q_OBJECT
public:
    using TClock = std::chrono::steady_clock;

    TMessageLog();

    const TMessageRecord& Record() const { return FRecord; }

    // Forgets everything; the views hear of it before this returns.
    void Clear();

    void Received(const TMidiEvent& event);

    // Kelvane's own messages go into the record only while this is on.
    bool RecordsSent() const { return FRecordsSent; }
    void SetRecordsSent(bool on);
    // moment: taken just before the message went to the port.
    void Sent(TClock::time_point moment, uint8_t status, uint8_t data1, uint8_t data2);
    void Sent(TClock::time_point moment, QByteArrayView bytes);

signals:
    // Entries were appended since the last time, or the record was cleared.
    void Changed();
    void RecordsSentChanged(bool on);

private:
    void Appended();

    TMessageRecord FRecord;
    bool FRecordsSent = false;
    bool ChangeQueued = false;
};
