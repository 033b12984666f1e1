#include "SystemMidiService.h"

#include "InputReception.h"
#include "LibraryLog.h"

#include <map>

struct TMidiPortHandle {
    bool Output = true;
    TMidiCallback Callback = nullptr;
    uintptr_t Instance = 0;
    std::unique_ptr<TOutputConnection> Out;
    std::unique_ptr<TInputReception> Reception;
    std::unique_ptr<TInputConnection> In;
};

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

TSystemMidiService::TSystemMidiService(TMidiApi api)
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

TSystemMidiService::TSystemMidiService(std::vector<std::unique_ptr<TPortBackend>> backends)
    : Backends(std::move(backends))
{
}

TSystemMidiService::~TSystemMidiService() = default;

std::string TSystemMidiService::ApiNames() const
{
    std::string names;
    for (const auto& backend : Backends)
        names += (names.empty() ? "" : ", ") + backend->ApiName();
    return names.empty() ? "none" : names;
}

std::vector<TSystemMidiService::TDevice> TSystemMidiService::ListDevices(bool outputs)
{
    std::vector<std::string> names;
    std::vector<TDevice> devices;
    for (const auto& backend : Backends) {
        const auto list = outputs ? backend->OutputNames() : backend->InputNames();
        for (size_t i = 0; i < list.size(); ++i) {
            names.push_back(list[i]);
            devices.push_back({list[i], backend.get(), i});
        }
    }
    names = MakeNamesUnique(names);
    for (size_t i = 0; i < devices.size(); ++i)
        devices[i].Name = names[i];
    return devices;
}

void TSystemMidiService::RefreshOutputs()
{
    Outputs = ListDevices(true);
    OutputsKnown = true;
}

void TSystemMidiService::RefreshInputs()
{
    Inputs = ListDevices(false);
    InputsKnown = true;
}

TMidiPortHandle* TSystemMidiService::Valid(TMidiHandle handle, bool output) const
{
    auto* port = static_cast<TMidiPortHandle*>(handle);
    if (!port || !Handles.count(port) || port->Output != output)
        return nullptr;
    return port;
}

unsigned TSystemMidiService::OutGetNumDevs()
{
    RefreshOutputs();
    return unsigned(Outputs.size());
}

TMidiResult TSystemMidiService::OutGetDevCaps(int device, std::string& productName)
{
    if (!OutputsKnown)
        RefreshOutputs();
    if (device == -1) {
        productName = MapperName;
        return MMSYSERR_NOERROR;
    }
    if (device < 0 || size_t(device) >= Outputs.size())
        return MMSYSERR_BADDEVICEID;
    productName = Outputs[device].Name;
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::OutOpen(TMidiHandle* handle, int device, TMidiCallback callback,
                                        uintptr_t instance)
{
    if (!handle)
        return MMSYSERR_INVALPARAM;
    *handle = nullptr;
    if (!OutputsKnown)
        RefreshOutputs();
    // The mapper is whatever comes first: the synthesizer, else the first system port.
    if (device == -1) {
        if (Outputs.empty())
            return MMSYSERR_NODRIVER;
        device = 0;
    }
    if (device < 0 || size_t(device) >= Outputs.size())
        return MMSYSERR_BADDEVICEID;
    TMidiResult result = MMSYSERR_ERROR;
    auto connection = Outputs[device].Backend->OpenOutput(Outputs[device].Index, result);
    if (!connection)
        return result ? result : MMSYSERR_ERROR;
    auto port = std::make_unique<TMidiPortHandle>();
    port->Output = true;
    port->Callback = callback;
    port->Instance = instance;
    port->Out = std::move(connection);
    *handle = port.get();
    Handles.emplace(port.get(), std::move(port));
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::OutShortMsg(TMidiHandle handle, uint32_t message)
{
    auto* port = Valid(handle, true);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    const uint8_t bytes[3] = {uint8_t(message), uint8_t(message >> 8), uint8_t(message >> 16)};
    return port->Out->SendShort(bytes, ShortMessageLength(bytes[0]));
}

TMidiResult TSystemMidiService::OutPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, true))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

// Sends at once, then reports the block done through the callback, which only posts it: the
// header is released on the window thread as with an asynchronous service.
TMidiResult TSystemMidiService::OutLongMsg(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    auto* port = Valid(handle, true);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(TMidiHeader) || (!header->lpData && header->dwBufferLength))
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    const TMidiResult result = port->Out->SendBlock(header->lpData, header->dwBufferLength);
    if (result != MMSYSERR_NOERROR)
        return result;
    header->dwFlags |= MHDR_DONE;
    if (port->Callback)
        port->Callback(handle, MOM_DONE, port->Instance, reinterpret_cast<uintptr_t>(header), 0);
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::OutUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, true))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::OutClose(TMidiHandle handle)
{
    auto* port = Valid(handle, true);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    Handles.erase(port);
    return MMSYSERR_NOERROR;
}

unsigned TSystemMidiService::InGetNumDevs()
{
    RefreshInputs();
    return unsigned(Inputs.size());
}

TMidiResult TSystemMidiService::InGetDevCaps(int device, std::string& productName)
{
    if (!InputsKnown)
        RefreshInputs();
    if (device < 0 || size_t(device) >= Inputs.size())
        return MMSYSERR_BADDEVICEID;
    productName = Inputs[device].Name;
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::InOpen(TMidiHandle* handle, int device, TMidiCallback callback,
                                       uintptr_t instance)
{
    if (!handle)
        return MMSYSERR_INVALPARAM;
    *handle = nullptr;
    if (!InputsKnown)
        RefreshInputs();
    if (device < 0 || size_t(device) >= Inputs.size())
        return MMSYSERR_BADDEVICEID;
    auto port = std::make_unique<TMidiPortHandle>();
    port->Output = false;
    port->Callback = callback;
    port->Instance = instance;
    port->Reception = std::make_unique<TInputReception>(port.get(), callback, instance);
    TMidiResult result = MMSYSERR_ERROR;
    port->In = Inputs[device].Backend->OpenInput(Inputs[device].Index, *port->Reception, result);
    if (!port->In)
        return result ? result : MMSYSERR_ERROR;
    *handle = port.get();
    Handles.emplace(port.get(), std::move(port));
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::InPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::InAddBuffer(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    auto* port = Valid(handle, false);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    if (size < sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    return port->Reception->AddBuffer(header);
}

TMidiResult TSystemMidiService::InUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    if (header->dwFlags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::InStart(TMidiHandle handle)
{
    auto* port = Valid(handle, false);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    return port->In->Start();
}

TMidiResult TSystemMidiService::InReset(TMidiHandle handle)
{
    auto* port = Valid(handle, false);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    port->In->Stop();
    port->Reception->Reset();
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::InDeliverWaiting(TMidiHandle handle)
{
    auto* port = Valid(handle, false);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    port->Reception->DeliverWaiting();
    return MMSYSERR_NOERROR;
}

TMidiResult TSystemMidiService::InClose(TMidiHandle handle)
{
    auto* port = Valid(handle, false);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    if (port->Reception->HasLentBuffers())
        return MIDIERR_STILLPLAYING;
    port->In->Stop();
    Handles.erase(port);
    return MMSYSERR_NOERROR;
}
