#include "DeviceList.h"

#include "LibraryLog.h"

#include <cstdlib>
#include <cstring>
#include <future>
#include <map>

namespace {

const char* const NoOutputText = "There is no MIDI output device to map to";

std::unique_ptr<TDeviceList>& ListSlot()
{
    static std::unique_ptr<TDeviceList> list;
    return list;
}

// The list being made by StartDeviceList; taken over by the first DeviceList().
std::future<std::unique_ptr<TDeviceList>>& PendingList()
{
    static std::future<std::unique_ptr<TDeviceList>> pending;
    return pending;
}

} // namespace

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

std::vector<std::string> MakeNamesUnique(const std::vector<std::string>& names)
{
    std::vector<std::string> unique;
    std::map<std::string, int> seen;
    for (const auto& name : names) {
        const int count = ++seen[name];
        unique.push_back(count == 1 ? name : name + " #" + std::to_string(count));
    }
    return unique;
}

TDeviceList::TDeviceList(TMidiApi api)
{
    // Before the first library call: the libraries' own complaints go to our log.
    RouteLibraryLogs();
    // The built-in synthesizer is there whatever the system's ports are.
    if (auto synth = MakeSynthBackend())
        Backends.push_back(std::move(synth));
    if (api == TMidiApi::None)
        return;
    std::unique_ptr<TPortBackend> ports;
    if (api == TMidiApi::Automatic || api == TMidiApi::Alsa)
        ports = MakeAlsaBackend();
    if (!ports && (api == TMidiApi::Automatic || api == TMidiApi::Jack))
        ports = MakeJackBackend();
    if (ports)
        Backends.push_back(std::move(ports));
}

TDeviceList::TDeviceList(std::vector<std::unique_ptr<TPortBackend>> backends) : Backends(std::move(backends)) {}

TDeviceList::~TDeviceList() = default;

std::vector<std::string> TDeviceList::Read(bool outputs, std::vector<TDevice>& devices)
{
    std::vector<std::string> names;
    devices.clear();
    for (const auto& backend : Backends) {
        const auto list = outputs ? backend->OutputNames() : backend->InputNames();
        for (size_t i = 0; i < list.size(); ++i) {
            names.push_back(list[i]);
            devices.push_back({backend.get(), i});
        }
    }
    return MakeNamesUnique(names);
}

std::vector<std::string> TDeviceList::ReadOutputNames()
{
    OutputsRead = true;
    return Read(true, Outputs);
}

std::vector<std::string> TDeviceList::ReadInputNames()
{
    InputsRead = true;
    return Read(false, Inputs);
}

std::unique_ptr<TOutputConnection> TDeviceList::OpenOutput(int device, TMidiResult& result)
{
    if (!OutputsRead)
        ReadOutputNames();
    // The mapper is whatever comes first: the synthesizer, else the first system port.
    if (device == -1) {
        if (Outputs.empty()) {
            result = TMidiResult::Failure(NoOutputText, TMidiFailure::NoServer);
            return nullptr;
        }
        device = 0;
    }
    if (device < 0 || size_t(device) >= Outputs.size()) {
        result = TMidiResult::Failure(NotListedText, TMidiFailure::PortGone);
        return nullptr;
    }
    return Outputs[size_t(device)].Backend->OpenOutput(Outputs[size_t(device)].Index, result);
}

std::unique_ptr<TInputConnection> TDeviceList::OpenInput(int device, TInputSink& sink, TMidiResult& result)
{
    if (!InputsRead)
        ReadInputNames();
    if (device < 0 || size_t(device) >= Inputs.size()) {
        result = TMidiResult::Failure(NotListedText, TMidiFailure::PortGone);
        return nullptr;
    }
    return Inputs[size_t(device)].Backend->OpenInput(Inputs[size_t(device)].Index, sink, result);
}

TDeviceList& DeviceList()
{
    auto& slot = ListSlot();
    if (!slot && PendingList().valid())
        slot = PendingList().get();
    if (!slot)
        slot = std::make_unique<TDeviceList>(MidiApiFromEnvironment());
    return *slot;
}

void SetDeviceList(std::unique_ptr<TDeviceList> list)
{
    if (PendingList().valid())
        PendingList().get();  // the one being made is not wanted, but must be finished first
    ListSlot() = std::move(list);
}

void StartDeviceList()
{
    if (ListSlot() || PendingList().valid())
        return;
    const TMidiApi api = MidiApiFromEnvironment();
    // Runs on its own thread; the window thread touches the list only after get(). The
    // backends catch what their libraries throw, so nothing is lost in the future.
    PendingList() = std::async(std::launch::async, [api]() -> std::unique_ptr<TDeviceList> {
        auto list = std::make_unique<TDeviceList>(api);
        list->ReadOutputNames();  // reading the ports is a round trip to the server too
        list->ReadInputNames();
        return list;
    });
}
