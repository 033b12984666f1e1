#pragma once
// A service for tests only, never listed to users: records every call, fails on request,
// and lets a test stand in for an input device and for the output's completion.

#include "platform/InputReception.h"
#include "platform/MidiService.h"

#include <map>
#include <set>
#include <vector>

struct TRecordedCall {
    std::string Op;               // "OutShortMsg", "OutLongMsg", "OutOpen", ...
    int Device = 0;               // for opens
    uint32_t Packed = 0;          // for OutShortMsg
    std::vector<uint8_t> Bytes;   // for OutLongMsg
};

class TRecordingMidiService final : public TMidiService {
public:
    std::vector<std::string> OutputNames{"Test Synth", "Test Port"};
    std::vector<std::string> InputNames{"Test Input"};
    std::map<std::string, TMidiResult> Failures;  // operation → code it returns until erased
    std::set<int> FailingOpens;                   // output devices whose open fails
    bool CompleteAtOnce = true;  // OutLongMsg reports done inside the call, else CompletePending()

    std::vector<TRecordedCall> Calls;
    // The bytes on the wire: each short message by its length, each block as it was.
    std::vector<std::vector<uint8_t>> Sent() const;
    void ClearCalls() { Calls.clear(); }
    size_t CountOf(const std::string& op) const;

    void CompletePending();  // reports every block that waits for its done message
    size_t PendingCount() const { return Pending.size(); }

    // Plays the input device: any thread, after InStart; bytes as one message or piece.
    void Inject(const std::vector<uint8_t>& bytes, uint32_t timeMs = 0);
    bool InputOpen() const { return Input != nullptr; }

    unsigned OutGetNumDevs() override;
    TMidiResult OutGetDevCaps(int device, std::string& productName) override;
    TMidiResult OutOpen(TMidiHandle* handle, int device, TMidiCallback callback, uintptr_t instance) override;
    TMidiResult OutShortMsg(TMidiHandle handle, uint32_t message) override;
    TMidiResult OutPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult OutLongMsg(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult OutUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult OutClose(TMidiHandle handle) override;

    unsigned InGetNumDevs() override;
    TMidiResult InGetDevCaps(int device, std::string& productName) override;
    TMidiResult InOpen(TMidiHandle* handle, int device, TMidiCallback callback, uintptr_t instance) override;
    TMidiResult InPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult InAddBuffer(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult InUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size) override;
    TMidiResult InStart(TMidiHandle handle) override;
    TMidiResult InReset(TMidiHandle handle) override;
    TMidiResult InDeliverWaiting(TMidiHandle handle) override;
    TMidiResult InClose(TMidiHandle handle) override;

private:
    struct TPort {
        bool Output;
        int Device;
        TMidiCallback Callback;
        uintptr_t Instance;
    };
    TMidiResult Record(TRecordedCall call);
    TPort* Valid(TMidiHandle handle, bool output);

    std::set<TPort*> Ports;
    std::vector<std::pair<TPort*, TMidiHeader*>> Pending;
    TPort* Input = nullptr;
    std::unique_ptr<TInputReception> Reception;
    bool Started = false;
};
