#include "SendRun.h"

bool EndsMessage(const QByteArray& packet)
{
    return !packet.isEmpty() && static_cast<unsigned char>(packet.back()) == 0xF7;
}

int DelayAfterPacket(bool endsMessage, int intervalMs, int waitAfterMessageMs)
{
    // 0 is no wait of its own: a settings file from before this setting sends as it always did.
    return endsMessage && waitAfterMessageMs > 0 ? waitAfterMessageMs : intervalMs;
}

void TSendRun::Replace(const QList<QByteArray>& packets)
{
    FWaiting = packets;
    FHead = 0;
    FWaitingBytes = 0;
    FWaitingMessageEnds = 0;
    for (const QByteArray& packet : packets) {
        FWaitingBytes += packet.size();
        FWaitingMessageEnds += EndsMessage(packet);
    }
}

void TSendRun::Clear()
{
    *this = TSendRun();
}

void TSendRun::NextSent()
{
    if (IsEmpty())
        return;
    const QByteArray& packet = FWaiting[FHead];
    FSentBytes += packet.size();
    FWaitingBytes -= packet.size();
    FLastEndsMessage = EndsMessage(packet);
    FWaitingMessageEnds -= FLastEndsMessage;
    // The last status byte decides; real-time bytes (F8 to FF) may stand inside a message and
    // end nothing.
    for (qsizetype i = packet.size() - 1; i >= 0; --i) {
        const auto byte = static_cast<unsigned char>(packet[i]);
        if (byte >= 0x80 && byte < 0xF8) {
            FInsideMessage = byte == 0xF0;
            break;
        }
    }
    // The packet is no longer needed; the list keeps its place until the next Replace, so that
    // taking from the front stays cheap.
    FWaiting[FHead] = QByteArray();
    ++FHead;
}

int TSendRun::DelayBeforeNext(int intervalMs, int waitAfterMessageMs) const
{
    return DelayAfterPacket(FLastEndsMessage, intervalMs, waitAfterMessageMs);
}

qint64 TSendRun::TimeLeft(int intervalMs, int waitAfterMessageMs, qint64 untilNextMs) const
{
    if (IsEmpty())
        return 0;
    // The gaps between the waiting packets follow each of them but the last.
    const qint64 gaps = WaitingPackets() - 1;
    const qint64 messageGaps = FWaitingMessageEnds - (EndsMessage(FWaiting.back()) ? 1 : 0);
    const qint64 first = untilNextMs >= 0 ? untilNextMs : DelayBeforeNext(intervalMs, waitAfterMessageMs);
    return first + messageGaps * DelayAfterPacket(true, intervalMs, waitAfterMessageMs)
        + (gaps - messageGaps) * DelayAfterPacket(false, intervalMs, waitAfterMessageMs);
}

QString DurationText(qint64 milliseconds)
{
    const qint64 seconds = milliseconds > 0 ? (milliseconds + 999) / 1000 : 0;
    const qint64 hours = seconds / 3600;
    const auto twoDigits = [](qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    if (hours > 0)
        return QStringLiteral("%1:%2:%3").arg(hours).arg(twoDigits(seconds / 60 % 60), twoDigits(seconds % 60));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(twoDigits(seconds % 60));
}
