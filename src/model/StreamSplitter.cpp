#include "StreamSplitter.h"

int DataBytesAfter(uint8_t status)
{
    if (status < 0x80)
        return 0;
    if (status < 0xF0) {
        const uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }
    switch (status) {
    case 0xF1:
    case 0xF3: return 1;
    case 0xF2: return 2;
    default: return 0;
    }
}

void TStreamSplitter::Feed(QByteArrayView bytes, TStreamSink& sink)
{
    for (const char c : bytes) {
        const auto b = uint8_t(c);
        if (b >= 0xF8) {
            // Real-time bytes may stand anywhere, even inside another message, and leave it whole.
            FlushStray(sink);
            sink.ShortMessage(b, 0, 0, false);
            continue;
        }
        if (InSysex) {
            if (b < 0x80) {
                SysexBytes.append(char(b));
                continue;
            }
            if (b == 0xF7) {
                SysexBytes.append(char(b));
                FlushSysex(sink);
                InSysex = false;
                continue;
            }
            // Any other status byte ends the message where it stands, without its F7.
            FlushSysex(sink);
            InSysex = false;
        }
        if (b < 0x80) {
            if (Status == 0 && RunningStatus != 0)
                StartMessage(RunningStatus, true);
            if (Status != 0)
                AddData(b, sink);
            else
                StrayBytes.append(char(b));
            continue;
        }
        SawStatus(b, sink);
        if (b == 0xF0) {
            InSysex = true;
            SysexBytes.append(char(b));
        } else if (b == 0xF7 || DataBytesAfter(b) == 0) {
            sink.ShortMessage(b, 0, 0, false);  // an F7 with no message open stands alone
        } else {
            StartMessage(b, false);
        }
    }
    FlushStray(sink);
    if (InSysex && !SysexBytes.isEmpty())
        FlushSysex(sink);  // the message goes on in the next block
}

void TStreamSplitter::SawStatus(uint8_t status, TStreamSink& sink)
{
    if (status >= 0xF8)
        return;
    FlushIncomplete(sink);
    FlushStray(sink);
    if (InSysex) {
        FlushSysex(sink);
        InSysex = false;
    }
    // Channel messages set the running status; system messages cancel it.
    RunningStatus = status < 0xF0 ? status : 0;
}

void TStreamSplitter::Reset()
{
    *this = TStreamSplitter();
}

void TStreamSplitter::StartMessage(uint8_t status, bool implied)
{
    Status = status;
    StatusImplied = implied;
    DataCount = 0;
}

void TStreamSplitter::AddData(uint8_t byte, TStreamSink& sink)
{
    Data[DataCount++] = byte;
    if (DataCount < DataBytesAfter(Status))
        return;
    sink.ShortMessage(Status, Data[0], DataCount > 1 ? Data[1] : 0, StatusImplied);
    Status = 0;
    DataCount = 0;
}

void TStreamSplitter::FlushIncomplete(TStreamSink& sink)
{
    if (Status == 0)
        return;
    QByteArray bytes;
    if (!StatusImplied)
        bytes.append(char(Status));
    for (int i = 0; i < DataCount; ++i)
        bytes.append(char(Data[i]));
    Status = 0;
    DataCount = 0;
    if (!bytes.isEmpty())
        sink.Piece(bytes, true);
}

void TStreamSplitter::FlushSysex(TStreamSink& sink)
{
    sink.Piece(SysexBytes, false);
    SysexBytes.clear();
}

void TStreamSplitter::FlushStray(TStreamSink& sink)
{
    if (StrayBytes.isEmpty())
        return;
    sink.Piece(StrayBytes, true);
    StrayBytes.clear();
}
