#pragma once
// Cuts a raw MIDI byte stream into messages, as a receiver on the wire would read it: running
// status, system exclusive messages spread over several blocks, real-time bytes between or
// inside other messages. The raw sender's packets are such a stream; so is anything a user types.
//
// Nothing that comes in is lost: bytes that form no message (data with no status before them, a
// message cut short by the next status byte) come out as a stray piece.

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

class TStreamSink {
public:
    virtual ~TStreamSink() = default;
    // A complete short message, always with its status; impliedStatus when the status was not on
    // the wire (running status). Data bytes a message does not have are 0.
    virtual void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2, bool impliedStatus) = 0;
    // System exclusive bytes: F0 first when the message starts here, F7 last when it ends here.
    // Stray bytes: data with no status, or a short message cut short (its status included).
    virtual void Piece(QByteArrayView bytes, bool stray) = 0;
};

class TStreamSplitter {
public:
    // One block of the stream. A system exclusive message still open at the end of the block
    // comes out as a piece now and goes on in the next block's piece; a short message still
    // missing data bytes waits for them.
    void Feed(QByteArrayView bytes, TStreamSink& sink);
    // A status byte, in the stream or of a message that went out beside it: it ends whatever
    // message is open (a short one cut short comes out as stray bytes), and later data bytes take
    // it as their running status, or, after a system message, find none.
    void SawStatus(uint8_t status, TStreamSink& sink);
    void Reset();

private:
    void StartMessage(uint8_t status, bool implied);
    void AddData(uint8_t byte, TStreamSink& sink);
    void FlushIncomplete(TStreamSink& sink);
    void FlushSysex(TStreamSink& sink);
    void FlushStray(TStreamSink& sink);

    uint8_t RunningStatus = 0;  // 0: none
    uint8_t Status = 0;         // of the short message being read; 0: none
    bool StatusImplied = false;
    uint8_t Data[2] = {};
    int DataCount = 0;
    bool InSysex = false;
    QByteArray SysexBytes;
    QByteArray StrayBytes;
};

// Data bytes that follow a status byte: 2 for notes, pressures of a note, controllers, pitch
// bend and song position; 1 for program, channel pressure, time code and song select; 0 for the
// rest (tune request, real-time, the undefined F4 F5 F9 FD, and F0/F7, which are not short).
int DataBytesAfter(uint8_t status);
