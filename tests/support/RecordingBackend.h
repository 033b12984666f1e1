#pragma once
// A backend for tests only, never listed to users. It records the bytes of every send, plays
// the input device (Inject), and on request refuses an operation, stalls its outputs (they take
// bytes and hold them back) or loses a device (Vanish). It sits behind the same device list
// as the real backends, so the ports and the windows meet it exactly as they meet ALSA or JACK.

#include "platform/PortBackend.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

struct TRecordedCall {
    // OpenOutput, SendShort, SendBlock, CloseOutput, OpenInput, Start, Stop, CloseInput
    std::string Op;
    int Device = -1;              // opens and closes: the device's place in the backend's list
    std::vector<uint8_t> Bytes;   // sends: the bytes as the port handed them over
    bool Held = false;            // a send taken while the outputs stall, not yet on the wire
};

// A failure the test asks for, worded as a backend words its own.
TMidiResult Refusal(const std::string& text = "The test port refused", TMidiFailure kind = TMidiFailure::Other);

// What the test sees and sets. The backend the device list holds, and every connection it
// opened, share it, so a port may outlive the device list without harm.
class TRecordingBackend : public std::enable_shared_from_this<TRecordingBackend> {
public:
    // The devices the next listing finds.
    std::vector<std::string> OutputNames{"Test Synth", "Test Port"};
    std::vector<std::string> InputNames{"Test Input"};
    std::set<int> FailingOpens;  // outputs, by their place in the list, that another program holds

    // Operation (as in TRecordedCall::Op) → what it returns, until erased. A refused call is
    // not recorded.
    std::map<std::string, TMidiResult> Failures;
    std::vector<TRecordedCall> Calls;  // in order; window thread only

    // The bytes on the wire: one entry per message or block, held ones left out.
    std::vector<std::vector<uint8_t>> Sent() const;
    void ClearCalls() { Calls.clear(); }
    size_t CountOf(const std::string& op) const;

    // Plays the open input device: any thread; reaches the port only while it is started. The
    // time is when the device had the bytes (now, unless the test says).
    void Inject(const std::vector<uint8_t>& bytes, TDeviceTime time = DeviceNow());
    bool InputOpen() const;

    // Outputs take what they are given and hold it back, as a stopped server does, until Resume
    // puts it on the wire in order.
    void Stall() { Stalled = true; }
    void Resume();
    // The named device goes away: it leaves both lists, and every later send to it fails as a
    // vanished port fails (an input from it simply hears nothing more). The ports hear of it
    // as of a real backend's change (DeviceChanges), at their next turn of the event loop.
    void Vanish(const std::string& name);
    // A device of that name comes (back) at the end of the lists it was in (the outputs, when
    // it was in none): a new device, which the connections to the one that went do not reach.
    void Return(const std::string& name);

    // The face the device list holds.
    std::unique_ptr<TPortBackend> PortBackend();

private:
    class TBackend;
    class TOutput;
    class TInput;
    friend class TBackend;
    friend class TOutput;
    friend class TInput;

    // The result of `op` as the test set it; success is recorded.
    TMidiResult Outcome(TRecordedCall call);

    bool Stalled = false;
    std::set<std::string> Vanished;
    std::map<std::string, std::pair<bool, bool>> VanishedFrom;  // name → (was an output, an input)
    std::map<std::string, int> Incarnation;  // how often a device of that name came back; under InputLock
    int IncarnationOf(const std::string& name) const;
    int IncarnationOfLocked(const std::string& name) const;  // caller holds InputLock
    mutable std::mutex InputLock;  // Inject against the window thread's start, stop and close
    TInput* Input = nullptr;       // the open input, under InputLock
};

// Installs a system device list whose only backend is a new recorder, and returns the recorder.
std::shared_ptr<TRecordingBackend> UseRecordingBackend();
