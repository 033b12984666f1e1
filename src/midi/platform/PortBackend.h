#pragma once
// What the ports need of one kind of device: the built-in synthesizer, the ALSA sequencer or
// JACK. Each backend owns one library's lifecycle; the device list numbers the devices of all
// of them and makes their names unique, and the ports call the connections directly.
//
// Threads: the window thread makes every call here (the device list's first reading is made
// on a thread of its own at start-up, before the window uses it), except the calls into
// TInputSink, which each backend makes on its own device thread. Each backend tells
// DeviceChanges() from a thread of its own when its devices may have changed.

#include "DeviceTime.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

// What a failure comes down to, so that the window can say why in its own language.
enum class TMidiFailure { Other, NoAudioOutput, PortBusy, PortGone, NoServer };

// Success, or a failure: its kind and the English text of the backend or its library.
class TMidiResult {
public:
    TMidiResult() = default;  // success
    static TMidiResult Failure(std::string text, TMidiFailure kind = TMidiFailure::Other);

    bool Ok() const { return !Failed; }
    TMidiFailure Kind() const { return FKind; }
    const std::string& Text() const { return FText; }
    bool operator==(const TMidiResult&) const = default;

private:
    bool Failed = false;
    TMidiFailure FKind = TMidiFailure::Other;
    std::string FText;
};

class TOutputConnection {
public:
    virtual ~TOutputConnection() = default;  // what was sent still goes out, within a moment
    // One short message of 1 to 3 bytes (the length follows from the status byte).
    virtual TMidiResult SendShort(const uint8_t* bytes, size_t length) = 0;
    // A raw block, delivered exactly as given: a whole system exclusive message, a piece of
    // one, or several short messages. Never spins waiting for a stalled server. Either way the
    // bytes are the caller's again when it returns.
    virtual TMidiResult SendBlock(const uint8_t* bytes, size_t length) = 0;
    // Whether the device it was opened to is still there and still reached: false once its
    // client or port has gone (even if one of the same name has come since) or our link to it
    // broke. Window thread; asked when the backends report a change (DeviceChanges.h).
    virtual bool Reaches() { return true; }
    // Why it no longer reaches its device when the service has more to say than that the device
    // went (its server stopped, say); success otherwise.
    virtual TMidiResult WhyGone() { return {}; }
};

// Receives what an input connection hears. Runs on the backend's device thread: it must not
// block for long and must not call back into the backend.
class TInputSink {
public:
    virtual ~TInputSink() = default;
    // Bytes as the service delivered them: a message, several, or a piece of one, and when they
    // arrived, as precisely as the service says (JACK: the event's frame; ALSA: its reading).
    virtual void Receive(const uint8_t* bytes, size_t length, TDeviceTime time) = 0;
    // The service threw away messages it could not hold for us (how many it does not say).
    // The port's reception reports it as an overflow; a sink that only records may ignore it.
    virtual void Lost(TDeviceTime) {}
};

class TInputConnection {
public:
    virtual ~TInputConnection() = default;  // stops first
    virtual TMidiResult Start() = 0;  // reception begins; before this nothing reaches the sink
    virtual void Stop() = 0;          // no call to the sink after this returns
    // As TOutputConnection::Reaches: the device still sends to us.
    virtual bool Reaches() { return true; }
};

class TPortBackend {
public:
    virtual ~TPortBackend() = default;
    virtual std::string ApiName() const = 0;  // "ALSA", "JACK", "FluidSynth"
    // Names as the service gives them, stable across restarts (no changing client numbers);
    // the device list adds " #2" where two names are equal.
    virtual std::vector<std::string> OutputNames() = 0;
    virtual std::vector<std::string> InputNames() = 0;
    // index into the last OutputNames()/InputNames() list. On failure null, and `result` says why.
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

// What the backends share around their library calls. Running out of memory is the one thing
// that can throw there: it becomes no devices, or a failure that says so.

extern const char* const NotListedText;  // a device no longer in the list it was chosen from
extern const char* const NoMemoryText;
extern const char* const BadShortMessageText;  // a short message that is not 1 to 3 bytes

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

// The connection `open` makes to device `index` of the last list of `listed` devices. On
// failure null, and `result` says why.
template <typename TConnection, typename TOpen>
std::unique_ptr<TConnection> OpenListed(size_t index, size_t listed, TMidiResult& result, TOpen open) noexcept
{
    if (index >= listed) {
        result = TMidiResult::Failure(NotListedText, TMidiFailure::PortGone);
        return nullptr;
    }
    try {
        return open();
    } catch (const std::exception&) {
        result = TMidiResult::Failure(NoMemoryText);
        return nullptr;
    }
}

// The backends this machine may have. Each returns null when its service is not usable here
// (no sound font, no /dev/snd/seq, no JACK server); none throws.
std::unique_ptr<TPortBackend> MakeSynthBackend();
std::unique_ptr<TPortBackend> MakeAlsaBackend();
std::unique_ptr<TPortBackend> MakeJackBackend();
