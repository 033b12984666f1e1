#pragma once
// What the system service needs of one kind of device: the built-in synthesizer, the ALSA
// sequencer or JACK. Each backend owns one library's lifecycle; the service numbers the
// devices, makes the names unique and speaks the header/callback protocol on top.

#include "MidiService.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

class TOutputConnection {
public:
    virtual ~TOutputConnection() = default;
    // One short message of 1 to 3 bytes (the length follows from the status byte).
    virtual TMidiResult SendShort(const uint8_t* bytes, size_t length) = 0;
    // A raw block, delivered exactly as given: a whole system exclusive message, a piece of
    // one, or several short messages. Never spins waiting for a stalled server.
    virtual TMidiResult SendBlock(const uint8_t* bytes, size_t length) = 0;
};

// Receives what an input connection hears. Runs on the backend's thread: it must not block
// for long and must not call back into the backend.
class TInputSink {
public:
    virtual ~TInputSink() = default;
    // One complete message as the service delivered it (a system exclusive message may come
    // in several pieces, each passed as it arrives). Time in milliseconds since the connection
    // was started.
    virtual void Receive(const uint8_t* bytes, size_t length, uint32_t timeMs) = 0;
    // The service threw away messages it could not hold for us (how many it does not say).
    // The port's reception reports it as an overflow; a sink that only records may ignore it.
    virtual void Lost(uint32_t) {}
};

class TInputConnection {
public:
    virtual ~TInputConnection() = default;
    virtual TMidiResult Start() = 0;  // reception begins; before this nothing reaches the sink
    virtual void Stop() = 0;          // no call to the sink after this returns
};

class TPortBackend {
public:
    virtual ~TPortBackend() = default;
    virtual std::string ApiName() const = 0;  // "ALSA", "JACK", "FluidSynth"
    // Names as the service gives them, stable across restarts (no changing client numbers);
    // the service adds " #2" where two names are equal.
    virtual std::vector<std::string> OutputNames() = 0;
    virtual std::vector<std::string> InputNames() = 0;
    // index into the last OutputNames()/InputNames() list. On failure returns null and a result
    // code (a registered text says why).
    virtual std::unique_ptr<TOutputConnection> OpenOutput(size_t index, TMidiResult& result) = 0;
    virtual std::unique_ptr<TInputConnection> OpenInput(size_t index, TInputSink& sink,
                                                        TMidiResult& result) = 0;
};

// Length of a short message from its status byte (1..3); data bytes as status give 3.
size_t ShortMessageLength(uint8_t status);

// The names other programs see on the ALSA sequencer and on JACK: the client of our outputs,
// and the client each input runs.
constexpr const char* OwnClientName = "Kelvane";
constexpr const char* OwnInputClientName = "Kelvane In";

// What the ALSA and JACK backends share around their library calls. Running out of memory is
// the one thing that can throw there: it becomes no devices, or MMSYSERR_NOMEM.

// The names `read` lists afresh (it keeps its own list of what they stand for), or none, with
// that list emptied, when memory runs out.
template <typename TList, typename TRead>
std::vector<std::string> NamesOrNone(TList& list, TRead read) noexcept
{
    try {
        return read();
    } catch (const std::exception&) {
        list.clear();
        return {};
    }
}

// The connection `open` makes to device `index` of the last list of `listed` devices; a device
// not in that list is MMSYSERR_BADDEVICEID. On failure null, and `result` says why.
template <typename TConnection, typename TOpen>
std::unique_ptr<TConnection> OpenListed(size_t index, size_t listed, TMidiResult& result, TOpen open) noexcept
{
    if (index >= listed) {
        result = MMSYSERR_BADDEVICEID;
        return nullptr;
    }
    try {
        return open();
    } catch (const std::exception&) {
        result = MMSYSERR_NOMEM;
        return nullptr;
    }
}

// A failure text of a backend as a result code (one code per distinct text).
inline TMidiResult TextCode(const std::string& text, TMidiFailure kind = TMidiFailure::Other) noexcept
{
    return RegisterMidiErrorText(text, kind);
}

// The backends the system service can use. Each returns null when its service is not usable
// here (no sound font, no /dev/snd/seq, no JACK server); none throws.
std::unique_ptr<TPortBackend> MakeSynthBackend();
std::unique_ptr<TPortBackend> MakeAlsaBackend();
std::unique_ptr<TPortBackend> MakeJackBackend();
