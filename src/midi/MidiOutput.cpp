#include "MidiOutput.h"

#include <cstring>

TMidiOutput::TMidiOutput(QObject* owner)
    : QObject(owner),
      NotifyWindow(std::make_unique<TNotifyWindow>(
          [this](unsigned message, uintptr_t p1, uintptr_t p2) { HandleNotification(message, p1, p2); })),
      FDeviceCount(MidiService().OutGetNumDevs())
{
}

TMidiOutput::~TMidiOutput()
{
    if (FPortState == TPortState::Open) {
        try {
            Close();
        } catch (const EMidiOutputError&) {
            // Nothing to tell anyone any more; the handle is the service's to clean up.
        }
    }
    FreeCallbackInstance(CallbackInstance);
}

std::string TMidiOutput::PlatformErrorText(uint16_t code) const
{
    return PortErrorText(code);
}

void TMidiOutput::Check(TMidiResult result)
{
    FLastError = uint16_t(result);
    if (result != MMSYSERR_NOERROR)
        throw EMidiOutputError(PlatformErrorText(FLastError));
}

void TMidiOutput::SetDeviceID(int value)
{
    if (FPortState == TPortState::Open)
        throw EMidiOutputError("Change to DeviceID while device was open");
    const int count = int(MidiService().OutGetNumDevs());
    if (value < -1 || value > count - 1)
        throw EMidiOutputError("Invalid device ID");
    FDeviceID = value;
    std::string name;
    Check(MidiService().OutGetDevCaps(value, name));
    FProductName = name;
}

std::vector<std::string> TMidiOutput::ReadDeviceNames()
{
    FDeviceCount = MidiService().OutGetNumDevs();
    std::vector<std::string> names;
    for (int device = -1; device < int(FDeviceCount); ++device) {
        std::string name;
        const TMidiResult result = MidiService().OutGetDevCaps(device, name);
        names.push_back(result == MMSYSERR_NOERROR ? name : "(" + PlatformErrorText(uint16_t(result)) + ")");
    }
    return names;
}

void TMidiOutput::SetProductName(const std::string& name)
{
    if (FPortState == TPortState::Open)
        throw EMidiOutputError("Change to ProductName while device was open");
    const int count = int(MidiService().OutGetNumDevs());
    for (int device = -1; device < count; ++device) {
        std::string product;
        Check(MidiService().OutGetDevCaps(device, product));
        if (product == name) {
            SetDeviceID(device);
            return;
        }
    }
    throw EMidiOutputError("MIDI output Device " + name + " not installed");
}

bool TMidiOutput::Open()
{
    try {
        if (!CallbackInstance) {
            CallbackInstance = CreateCallbackInstance();
            if (!CallbackInstance)
                Check(MMSYSERR_NOMEM);
        }
        CallbackInstance->NotifyWindow = NotifyWindow.get();
        Check(MidiService().OutOpen(&FDeviceHandle, FDeviceID, PortCallback,
                                    reinterpret_cast<uintptr_t>(CallbackInstance)));
        FPortState = TPortState::Open;
        return true;
    } catch (const EMidiOutputError&) {
        FreeCallbackInstance(CallbackInstance);
        CallbackInstance = nullptr;
        FDeviceHandle = nullptr;
        return false;
    }
}

bool TMidiOutput::Close()
{
    bool closed = false;
    if (FPortState == TPortState::Open) {
        Check(MidiService().OutClose(FDeviceHandle));
        closed = true;
    }
    FDeviceHandle = nullptr;
    FPortState = TPortState::Closed;
    return closed;
}

void TMidiOutput::PutShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    Check(MidiService().OutShortMsg(FDeviceHandle, uint32_t(status) | uint32_t(data1) << 8 | uint32_t(data2) << 16));
}

void TMidiOutput::PutLong(const uint8_t* data, uint32_t length)
{
    if (length == 0)
        return;
    auto block = std::make_unique<TMyMidiHdr>(length);
    if (!block->Valid())
        Check(MMSYSERR_NOMEM);
    std::memcpy(block->Buffer, data, length);
    block->Header->dwUser = reinterpret_cast<uintptr_t>(block.get());
    // Counted before the send: the done message may be posted from inside it.
    TMyMidiHdr* raw = block.get();
    InFlight.emplace(raw, std::move(block));
    try {
        Check(MidiService().OutPrepareHeader(FDeviceHandle, raw->Header, sizeof(TMidiHeader)));
        const TMidiResult sent = MidiService().OutLongMsg(FDeviceHandle, raw->Header, sizeof(TMidiHeader));
        if (sent != MMSYSERR_NOERROR)
            MidiService().OutUnprepareHeader(FDeviceHandle, raw->Header, sizeof(TMidiHeader));
        Check(sent);
    } catch (...) {
        // A block that never left is released here rather than leaked.
        InFlight.erase(raw);
        throw;
    }
}

void TMidiOutput::PutMidiEvent(const TMidiEvent& event)
{
    if (FPortState == TPortState::Closed)
        throw EMidiOutputError("MIDI Output device not open");
    if (event.SysexData)
        PutLong(event.SysexData.get(), event.SysexSize);
    else
        PutShort(event.StatusByte, event.DataByte1, event.DataByte2);
}

void TMidiOutput::HandleNotification(unsigned message, uintptr_t, uintptr_t param2)
{
    if (message != NotifyOutputDone)
        return;
    auto* header = reinterpret_cast<TMidiHeader*>(param2);
    if (!header)
        return;
    const auto block = InFlight.find(reinterpret_cast<const TMyMidiHdr*>(header->dwUser));
    if (block == InFlight.end())
        return;  // not one of ours (already released with an earlier port state)
    MidiService().OutUnprepareHeader(FDeviceHandle, header, sizeof(TMidiHeader));
    InFlight.erase(block);
    if (OnMidiOutput)
        OnMidiOutput(this);
}
