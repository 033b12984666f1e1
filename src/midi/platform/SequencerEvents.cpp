#include "SequencerEvents.h"

#include "PortBackend.h"

#include <algorithm>

namespace {

bool IsData(uint8_t byte) { return byte < 0x80; }
bool IsRealTime(uint8_t byte) { return byte >= 0xF8; }

// One pass over a block; the members hold the run or message in progress.
class TSplitter {
public:
    std::vector<TSequencerChunk> Chunks;

    void Add(uint8_t byte, bool atBlockStart)
    {
        if (IsRealTime(byte)) {
            // Whatever came before it goes first; a short message in progress simply
            // continues afterwards, as real-time bytes may sit inside any message.
            FlushSysex();
            FlushStray();
            Chunks.push_back({false, {byte}});
            return;
        }
        if (atBlockStart && (IsData(byte) || byte == 0xF7))
            InSysex = true;  // the rest of a system exclusive message an earlier block began
        if (InSysex) {
            if (IsData(byte) || byte == 0xF7) {
                AppendSysex(byte);
                if (byte == 0xF7)
                    EndSysex();
                return;
            }
            EndSysex();  // any other status ends it, left unterminated as the block gave it
        }
        if (IsData(byte)) {
            AddData(byte);
            return;
        }
        AbandonMessage();
        FlushStray();
        if (byte == 0xF0) {
            RunningStatus = 0;
            InSysex = true;
            AppendSysex(byte);
        } else if (byte == 0xF7) {
            RunningStatus = 0;
            Chunks.push_back({true, {byte}});
        } else {
            // 80..EF keep their status for running status; system common messages clear it.
            RunningStatus = byte < 0xF0 ? byte : 0;
            StartMessage(byte, false);
        }
    }

    void Finish()
    {
        FlushSysex();
        InSysex = false;
        AbandonMessage();
        FlushStray();
    }

private:
    bool InSysex = false;
    std::vector<uint8_t> Sysex;
    std::vector<uint8_t> Message;  // short message in progress, status included
    size_t Needed = 0;             // its full length
    bool ImpliedStatus = false;    // its status came from running status, not from the block
    uint8_t RunningStatus = 0;
    std::vector<uint8_t> Stray;

    void AddData(uint8_t byte)
    {
        if (Message.empty()) {
            if (RunningStatus == 0) {
                Stray.push_back(byte);
                if (Stray.size() == SequencerMaxSysexChunk)
                    FlushStray();
                return;
            }
            StartMessage(RunningStatus, true);
        }
        Message.push_back(byte);
        if (Message.size() == Needed)
            CompleteMessage();
    }

    void StartMessage(uint8_t status, bool implied)
    {
        Message.assign(1, status);
        ImpliedStatus = implied;
        Needed = std::clamp<size_t>(ShortMessageLength(status), 1, 3);
        if (Message.size() == Needed)
            CompleteMessage();
    }

    void CompleteMessage()
    {
        Chunks.push_back({false, Message});
        Message.clear();
    }

    // A message cut short goes out raw, as the bytes the block really held.
    void AbandonMessage()
    {
        if (Message.empty())
            return;
        std::vector<uint8_t> raw = std::move(Message);
        Message.clear();
        if (ImpliedStatus)
            raw.erase(raw.begin());
        if (!raw.empty())
            Chunks.push_back({true, std::move(raw)});
    }

    void AppendSysex(uint8_t byte)
    {
        Sysex.push_back(byte);
        if (Sysex.size() == SequencerMaxSysexChunk)
            FlushSysex();
    }

    void EndSysex()
    {
        FlushSysex();
        InSysex = false;
        RunningStatus = 0;
    }

    void FlushSysex()
    {
        if (Sysex.empty())
            return;
        Chunks.push_back({true, std::move(Sysex)});
        Sysex.clear();
    }

    void FlushStray()
    {
        if (Stray.empty())
            return;
        Chunks.push_back({true, std::move(Stray)});
        Stray.clear();
    }
};

}  // namespace

std::vector<TSequencerChunk> SplitForSequencer(const uint8_t* data, size_t length)
{
    TSplitter splitter;
    for (size_t i = 0; i < length; ++i)
        splitter.Add(data[i], i == 0);
    splitter.Finish();
    return std::move(splitter.Chunks);
}
