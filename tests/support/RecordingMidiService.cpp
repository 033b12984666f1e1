#include "RecordingMidiService.h"

#include "platform/PortBackend.h"

std::vector<std::vector<uint8_t>> TRecordingMidiService::Sent() const
{
    std::vector<std::vector<uint8_t>> sent;
    for (const auto& call : Calls) {
        if (call.Op == "OutShortMsg") {
            const uint8_t bytes[3] = {uint8_t(call.Packed), uint8_t(call.Packed >> 8), uint8_t(call.Packed >> 16)};
            sent.emplace_back(bytes, bytes + ShortMessageLength(bytes[0]));
        } else if (call.Op == "OutLongMsg") {
            sent.push_back(call.Bytes);
        }
    }
    return sent;
}

size_t TRecordingMidiService::CountOf(const std::string& op) const
{
    size_t count = 0;
    for (const auto& call : Calls)
        count += call.Op == op;
    return count;
}

TMidiResult TRecordingMidiService::Record(TRecordedCall call)
{
    const auto failure = Failures.find(call.Op);
    const TMidiResult result = failure == Failures.end() ? MMSYSERR_NOERROR : failure->second;
    if (result == MMSYSERR_NOERROR)
        Calls.push_back(std::move(call));
    return result;
}

TRecordingMidiService::TPort* TRecordingMidiService::Valid(TMidiHandle handle, bool output)
{
    auto* port = reinterpret_cast<TPort*>(handle);
    return port && Ports.count(port) && port->Output == output ? port : nullptr;
}

void TRecordingMidiService::CompletePending()
{
    auto pending = std::move(Pending);
    Pending.clear();
    for (auto [port, header] : pending) {
        header->dwFlags |= MHDR_DONE;
        port->Callback(reinterpret_cast<TMidiHandle>(port), MOM_DONE, port->Instance,
                       reinterpret_cast<uintptr_t>(header), 0);
    }
}

void TRecordingMidiService::Inject(const std::vector<uint8_t>& bytes, uint32_t timeMs)
{
    if (Reception && Started)
        Reception->Receive(bytes.data(), bytes.size(), timeMs);
}

unsigned TRecordingMidiService::OutGetNumDevs()
{
    return unsigned(OutputNames.size());
}

TMidiResult TRecordingMidiService::OutGetDevCaps(int device, std::string& productName)
{
    if (const auto failure = Failures.find("OutGetDevCaps"); failure != Failures.end())
        return failure->second;
    if (device == -1) {
        productName = "Kelvane MIDI Mapper";
        return MMSYSERR_NOERROR;
    }
    if (device < 0 || size_t(device) >= OutputNames.size())
        return MMSYSERR_BADDEVICEID;
    productName = OutputNames[device];
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::OutOpen(TMidiHandle* handle, int device, TMidiCallback callback,
                                           uintptr_t instance)
{
    *handle = nullptr;
    if (FailingOpens.count(device))
        return MMSYSERR_ALLOCATED;
    if (device < -1 || device >= int(OutputNames.size()) || (device == -1 && OutputNames.empty()))
        return MMSYSERR_BADDEVICEID;
    if (const TMidiResult result = Record({"OutOpen", device, 0, {}}))
        return result;
    auto* port = new TPort{true, device, callback, instance};
    Ports.insert(port);
    *handle = reinterpret_cast<TMidiHandle>(port);
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::OutShortMsg(TMidiHandle handle, uint32_t message)
{
    if (!Valid(handle, true))
        return MMSYSERR_INVALHANDLE;
    return Record({"OutShortMsg", 0, message, {}});
}

TMidiResult TRecordingMidiService::OutPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, true))
        return MMSYSERR_INVALHANDLE;
    if (!header || size != sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    if (const TMidiResult result = Record({"OutPrepareHeader", 0, 0, {}}))
        return result;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::OutLongMsg(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    TPort* port = Valid(handle, true);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    if (!header || size != sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    std::vector<uint8_t> bytes(header->lpData, header->lpData + header->dwBufferLength);
    if (const TMidiResult result = Record({"OutLongMsg", 0, 0, std::move(bytes)}))
        return result;
    Pending.emplace_back(port, header);
    if (CompleteAtOnce)
        CompletePending();
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::OutUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, true))
        return MMSYSERR_INVALHANDLE;
    if (!header || size != sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    if (const TMidiResult result = Record({"OutUnprepareHeader", 0, 0, {}}))
        return result;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::OutClose(TMidiHandle handle)
{
    TPort* port = Valid(handle, true);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    if (const TMidiResult result = Record({"OutClose", port->Device, 0, {}}))
        return result;
    std::erase_if(Pending, [port](const auto& entry) { return entry.first == port; });
    Ports.erase(port);
    delete port;
    return MMSYSERR_NOERROR;
}

unsigned TRecordingMidiService::InGetNumDevs()
{
    return unsigned(InputNames.size());
}

TMidiResult TRecordingMidiService::InGetDevCaps(int device, std::string& productName)
{
    if (device < 0 || size_t(device) >= InputNames.size())
        return MMSYSERR_BADDEVICEID;
    productName = InputNames[device];
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::InOpen(TMidiHandle* handle, int device, TMidiCallback callback,
                                          uintptr_t instance)
{
    *handle = nullptr;
    if (device < 0 || size_t(device) >= InputNames.size())
        return MMSYSERR_BADDEVICEID;
    if (Input)
        return MMSYSERR_ALLOCATED;
    if (const TMidiResult result = Record({"InOpen", device, 0, {}}))
        return result;
    Input = new TPort{false, device, callback, instance};
    Ports.insert(Input);
    *handle = reinterpret_cast<TMidiHandle>(Input);
    Reception = std::make_unique<TInputReception>(*handle, callback, instance);
    Started = false;
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::InPrepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    if (!header || size != sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    if (const TMidiResult result = Record({"InPrepareHeader", 0, 0, {}}))
        return result;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::InAddBuffer(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    if (size != sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    if (const TMidiResult result = Record({"InAddBuffer", 0, 0, {}}))
        return result;
    return Reception->AddBuffer(header);
}

TMidiResult TRecordingMidiService::InUnprepareHeader(TMidiHandle handle, TMidiHeader* header, unsigned size)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    if (!header || size != sizeof(TMidiHeader))
        return MMSYSERR_INVALPARAM;
    if (header->dwFlags & MHDR_INQUEUE)
        return MIDIERR_STILLPLAYING;
    if (const TMidiResult result = Record({"InUnprepareHeader", 0, 0, {}}))
        return result;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::InStart(TMidiHandle handle)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    if (const TMidiResult result = Record({"InStart", 0, 0, {}}))
        return result;
    Started = true;
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::InReset(TMidiHandle handle)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    if (const TMidiResult result = Record({"InReset", 0, 0, {}}))
        return result;
    Started = false;
    Reception->Reset();
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::InDeliverWaiting(TMidiHandle handle)
{
    if (!Valid(handle, false))
        return MMSYSERR_INVALHANDLE;
    Reception->DeliverWaiting();  // not recorded: it moves nothing onto the wire
    return MMSYSERR_NOERROR;
}

TMidiResult TRecordingMidiService::InClose(TMidiHandle handle)
{
    TPort* port = Valid(handle, false);
    if (!port)
        return MMSYSERR_INVALHANDLE;
    if (Reception->HasLentBuffers())
        return MIDIERR_STILLPLAYING;
    if (const TMidiResult result = Record({"InClose", 0, 0, {}}))
        return result;
    Ports.erase(port);
    delete port;
    Input = nullptr;
    Reception.reset();
    Started = false;
    return MMSYSERR_NOERROR;
}
