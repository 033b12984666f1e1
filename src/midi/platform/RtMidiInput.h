#pragma once
// One JACK input port through RtMidi (the ALSA backend reads the sequencer itself): RtMidi
// ignores no message type, its bytes are copied (it reuses its vector), and nothing reaches the
// sink before Start or after Stop.

#include "PortBackend.h"

#include <rtmidi/RtMidi.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TRtMidiInput final : public TInputConnection {
public:
    // onClosed runs once the RtMidi client is gone (the JACK backend frees its client name).
    TRtMidiInput(TInputSink& sink, RtMidi::Api api, std::string clientName, std::function<void()> onClosed = {});
    ~TRtMidiInput() override;

    TMidiResult Start() override;
    void Stop() override;  // waits for a message being delivered to finish, so none follows

    // Opens the port that choose() picks from RtMidi's port names (names.size() for none).
    // The texts name the service: "JACK MIDI port is no longer there: ", "... could not be opened: ".
    TMidiResult OpenPort(const std::function<size_t(const std::vector<std::string>&)>& choose,
                         const std::string& wanted, const std::string& goneText, const std::string& failureText);

private:
    // The JACK process thread of the input's own client: copies the bytes (one allocation only
    // while a message is longer than any before) and passes them to the sink under Lock; must
    // not call RtMidi; waits only for Start/Stop.
    static void OnMessage(double, std::vector<unsigned char>* message, void* self);

    TInputSink& Sink;
    const RtMidi::Api Api;
    const std::string ClientName;
    std::function<void()> OnClosed;
    std::unique_ptr<RtMidiIn> Midi;
    std::mutex Lock;  // held while the sink runs: Stop waits on it
    bool Delivering = false;
    std::vector<uint8_t> Bytes;
};
