#include "MidiService.h"

#include "PortBackend.h"
#include "SystemMidiService.h"

#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <vector>

namespace {

std::unique_ptr<TMidiService>& ServiceSlot()
{
    static std::unique_ptr<TMidiService> service;
    return service;
}

// The system service being made by StartMidiService; taken over by the first MidiService().
std::future<std::unique_ptr<TMidiService>>& PendingService()
{
    static std::future<std::unique_ptr<TMidiService>> pending;
    return pending;
}

struct TFixedText {
    TMidiResult Code;
    const char* Text;
};

// The fixed texts, worded as the classic multimedia service words them.
constexpr TFixedText FixedTexts[] = {
    {MMSYSERR_NOERROR, "The specified command was carried out."},
    {MMSYSERR_ERROR, "Undefined external error."},
    {MMSYSERR_BADDEVICEID, "A device ID has been used that is out of range for your system."},
    {MMSYSERR_ALLOCATED, "The specified device is already in use. Wait until it is free, and then try again."},
    {MMSYSERR_INVALHANDLE, "The specified device handle is invalid."},
    {MMSYSERR_NODRIVER, "There is no driver installed on your system."},
    {MMSYSERR_NOMEM, "There is not enough memory available for this task. Quit one or more applications to increase available memory, and then try again."},
    {MMSYSERR_INVALPARAM, "An invalid parameter was passed to a system function."},
    {MIDIERR_UNPREPARED, "The header has not been prepared. Use the Prepare function to prepare the header, and then try again."},
    {MIDIERR_STILLPLAYING, "The buffer is still in the queue."},
    {MIDIERR_NOTREADY, "The MIDI port is busy sending data. Try again later."},
};

constexpr TMidiResult FirstRegisteredCode = 512;

std::mutex& RegisteredMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<std::string>& RegisteredTexts()
{
    static std::vector<std::string> texts;
    return texts;
}

std::vector<TMidiFailure>& RegisteredKinds()  // beside RegisteredTexts, same index
{
    static std::vector<TMidiFailure> kinds;
    return kinds;
}

} // namespace

TMidiService& MidiService()
{
    auto& slot = ServiceSlot();
    if (!slot && PendingService().valid())
        slot = PendingService().get();
    if (!slot)
        slot = std::make_unique<TSystemMidiService>(MidiApiFromEnvironment());
    return *slot;
}

void SetMidiService(std::unique_ptr<TMidiService> service)
{
    if (PendingService().valid())
        PendingService().get();  // the one being made is not wanted, but must be finished first
    ServiceSlot() = std::move(service);
}

void StartMidiService()
{
    if (ServiceSlot() || PendingService().valid())
        return;
    const TMidiApi api = MidiApiFromEnvironment();
    // Runs on its own thread; the window thread touches the service only after get().
    // The backends catch what their libraries throw, so nothing is lost in the future.
    PendingService() = std::async(std::launch::async, [api]() -> std::unique_ptr<TMidiService> {
        auto service = std::make_unique<TSystemMidiService>(api);
        service->OutGetNumDevs();  // listing the ports is a round trip to the server too
        service->InGetNumDevs();
        return service;
    });
}

TMidiResult MidiResultText(TMidiResult code, std::string& text)
{
    for (const auto& fixed : FixedTexts) {
        if (fixed.Code == code) {
            text = fixed.Text;
            return MMSYSERR_NOERROR;
        }
    }
    std::lock_guard lock(RegisteredMutex());
    const auto& texts = RegisteredTexts();
    if (code >= FirstRegisteredCode && code - FirstRegisteredCode < texts.size()) {
        text = texts[code - FirstRegisteredCode];
        return MMSYSERR_NOERROR;
    }
    return MMSYSERR_BADDEVICEID;  // what the classic service answers for an unknown code
}

TMidiFailure MidiFailureOf(TMidiResult code)
{
    switch (code) {
    case MMSYSERR_ALLOCATED: return TMidiFailure::PortBusy;
    case MMSYSERR_BADDEVICEID: return TMidiFailure::PortGone;
    case MMSYSERR_NODRIVER: return TMidiFailure::NoServer;
    default: break;
    }
    std::lock_guard lock(RegisteredMutex());
    const auto& kinds = RegisteredKinds();
    if (code >= FirstRegisteredCode && code - FirstRegisteredCode < kinds.size())
        return kinds[code - FirstRegisteredCode];
    return TMidiFailure::Other;
}

TMidiResult RegisterMidiErrorText(const std::string& text, TMidiFailure kind) noexcept
try {
    std::lock_guard lock(RegisteredMutex());
    auto& texts = RegisteredTexts();
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text)
            return FirstRegisteredCode + TMidiResult(i);
    // Codes are kept in 16 bits by the ports; past that, fall back to the general text.
    if (texts.size() >= 0xFFFF - FirstRegisteredCode)
        return MMSYSERR_ERROR;
    RegisteredKinds().reserve(texts.size() + 1);
    texts.push_back(text);
    RegisteredKinds().push_back(kind);
    return FirstRegisteredCode + TMidiResult(texts.size() - 1);
} catch (...) {
    return MMSYSERR_NOMEM;
}

TMidiResult TMidiService::GetErrorText(TMidiResult code, std::string& text)
{
    return MidiResultText(code, text);
}

TMidiApi MidiApiFromEnvironment()
{
    const char* value = std::getenv("KELVANE_MIDI_API");
    if (!value)
        return TMidiApi::Automatic;
    if (std::strcmp(value, "alsa") == 0)
        return TMidiApi::Alsa;
    if (std::strcmp(value, "jack") == 0)
        return TMidiApi::Jack;
    if (std::strcmp(value, "none") == 0)
        return TMidiApi::None;
    return TMidiApi::Automatic;
}

size_t ShortMessageLength(uint8_t status)
{
    if (status < 0x80)
        return 3;
    if (status < 0xC0)
        return 3;
    if (status < 0xE0)
        return 2;
    if (status < 0xF0)
        return 3;
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}
