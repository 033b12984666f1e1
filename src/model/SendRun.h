#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The pacing of the raw editor's timed sender: one packet per tick, a packet interval between
// packets, and an optional longer wait after each packet that ends a system exclusive message
// (synthesizers write a received bulk message to memory before they take the next one).

// Whether a packet is the last of a section that ends with F7. A packet ends with F7 there and
// nowhere else, since the memo is cut into sections after every F7.
bool EndsMessage(const QByteArray& packet);

// Milliseconds from sending a packet to sending the next one: waitAfterMessageMs after a packet
// that ends a message, when it is above 0; intervalMs otherwise.
int DelayAfterPacket(bool endsMessage, int intervalMs, int waitAfterMessageMs);

// One run of the sender: the packets still waiting, in order, and the bytes sent so far. The
// first packet leaves one interval after the run starts.
class TSendRun {
public:
    // A send: what still waits gives way to these packets; a run in progress goes on with them
    // and its count of sent bytes goes on too.
    void Replace(const QList<QByteArray>& packets);
    // Ends the run at once: nothing waits any more, the counts start again from 0.
    void Clear();

    bool IsEmpty() const { return FHead == FWaiting.size(); }
    qsizetype WaitingPackets() const { return FWaiting.size() - FHead; }
    // The packet to send next; only while something waits.
    const QByteArray& Next() const { return FWaiting[FHead]; }
    // The packets still waiting, the next first.
    QList<QByteArray> Waiting() const { return FWaiting.mid(FHead); }
    // The next packet was sent: it leaves the queue and counts as sent.
    void NextSent();

    qint64 SentBytes() const { return FSentBytes; }
    qint64 WaitingBytes() const { return FWaitingBytes; }
    qint64 TotalBytes() const { return FSentBytes + FWaitingBytes; }
    // The bytes sent so far end inside a system exclusive message (an F0 not yet closed by its
    // F7): a run stopped now leaves that message cut short.
    bool InsideMessage() const { return FInsideMessage; }

    // Milliseconds from the last packet sent (or the start of the run) to the next one.
    int DelayBeforeNext(int intervalMs, int waitAfterMessageMs) const;
    // Milliseconds until the last waiting packet has been sent, at the current pacing. The next
    // packet is due in untilNextMs when it is 0 or more (the timer knows how far its period has
    // gone), else after a whole DelayBeforeNext. 0 when nothing waits.
    qint64 TimeLeft(int intervalMs, int waitAfterMessageMs, qint64 untilNextMs = -1) const;

private:
    QList<QByteArray> FWaiting;  // sent packets stay before FHead until the next Replace
    qsizetype FHead = 0;
    qint64 FSentBytes = 0;
    qint64 FWaitingBytes = 0;
    qsizetype FWaitingMessageEnds = 0;  // waiting packets that end a message
    bool FLastEndsMessage = false;  // the last packet sent ended a message
    bool FInsideMessage = false;
};

// A time left as the status shows it: "0:07", "12:34", "1:02:03", rounded up to whole seconds
// so that it reads 0:00 only when nothing is left.
QString DurationText(qint64 milliseconds);
