#include "MidiInput.h"

#include <algorithm>
#include <cstring>

TMidiInput::TMidiInput(QObject* owner)
    : QObject(owner),
      NotifyWindow(std::make_unique<TNotifyWindow>(
          [this](unsigned message, uintptr_t p1, uintptr_t p2) { HandleNotification(message, p1, p2); })),
      FDeviceCount(MidiService().InGetNumDevs())
{
    if (FDeviceCount > 0) {
        try {
            SetDeviceID(0);
        } catch (const EMidiInputError&) {
            // A device that cannot even be queried: keep device 0 without a name.
        }
    }
}

TMidiInput::~TMidiInput()
{
    FPortState = TPortState::Closed;
    if (FDeviceHandle) {
        try {
            ShutDevice();
        } catch (const EMidiInputError&) {
        }
    }
    if (FDeviceHandle) {
        // A device that would not close may still write into its records: they stay.
        static_cast<void>(EventQueue.release());
        return;
    }
    FreeCallbackInstance(CallbackInstance);
}

std::string TMidiInput::PlatformErrorText(uint16_t code) const
{
    return PortErrorText(code);
}

void TMidiInput::Check(TMidiResult result)
{
    FError = uint16_t(result);
    if (result != MMSYSERR_NOERROR)
        throw EMidiInputError(PlatformErrorText(FError));
}

void TMidiInput::SetDeviceID(uint16_t value)
{
    if (FPortState == TPortState::Open)
        throw EMidiInputError("Change to DeviceID while device was open");
    if (value >= MidiService().InGetNumDevs())
        throw EMidiInputError("Invalid device ID");
    FDeviceID = value;
    std::string name;
    Check(MidiService().InGetDevCaps(value, name));
    FProductName = name;
}

std::vector<std::string> TMidiInput::ReadDeviceNames()
{
    FDeviceCount = MidiService().InGetNumDevs();
    std::vector<std::string> names;
    for (unsigned device = 0; device < FDeviceCount; ++device) {
        std::string name;
        const TMidiResult result = MidiService().InGetDevCaps(int(device), name);
        names.push_back(result == MMSYSERR_NOERROR ? name : "(" + PlatformErrorText(uint16_t(result)) + ")");
    }
    return names;
}

void TMidiInput::SetProductName(const std::string& name)
{
    if (FPortState == TPortState::Open)
        throw EMidiInputError("Change to ProductName while device was open");
    const unsigned count = MidiService().InGetNumDevs();
    for (unsigned device = 0; device < count; ++device) {
        std::string product;
        Check(MidiService().InGetDevCaps(int(device), product));
        if (product == name) {
            SetDeviceID(uint16_t(device));
            return;
        }
    }
    throw EMidiInputError("MIDI Input Device " + name + " not installed ");
}

void TMidiInput::SetSysexBufferSize(uint16_t value)
{
    if (FPortState == TPortState::Open)
        throw EMidiInputError("Change to SysexBufferSize while device was open");
    FSysexBufferSize = value;
}

void TMidiInput::SetSysexBufferCount(uint16_t value)
{
    if (FPortState == TPortState::Open)
        throw EMidiInputError("Change to SysexBuffercount while device was open");
    FSysexBufferCount = value;
}

void TMidiInput::SetSysexOnly(bool value)
{
    FSysexOnly = value;
    if (CallbackInstance)
        CallbackInstance->SysexOnlyFlag.store(value, std::memory_order_relaxed);
}

void TMidiInput::Open()
{
    try {
        // A close that failed half-way left the old device holding our records: finish it
        // before anything is reused or freed.
        if (FDeviceHandle)
            ShutDevice();
        if (!EventQueue) {
            EventQueue.reset(CreateEventQueue(FCapacity));
            if (!EventQueue)
                Check(MMSYSERR_NOMEM);
        }
        if (!CallbackInstance) {
            CallbackInstance = CreateCallbackInstance();
            if (!CallbackInstance)
                Check(MMSYSERR_NOMEM);
        }
        CallbackInstance->Queue = EventQueue.get();
        CallbackInstance->NotifyWindow = NotifyWindow.get();
        CallbackInstance->SysexOnlyFlag.store(FSysexOnly, std::memory_order_relaxed);
        Check(MidiService().InOpen(&FDeviceHandle, FDeviceID, PortCallback,
                                   reinterpret_cast<uintptr_t>(CallbackInstance)));
        PrepareSysexBuffers();
        AddSysexBuffers();
        FPortState = TPortState::Open;
    } catch (const EMidiInputError&) {
        const uint16_t error = FError;
        if (FDeviceHandle) {
            // The device opened but its buffers did not: take everything back before the
            // records go, so that nothing calls back into freed memory.
            MidiService().InReset(FDeviceHandle);
            if (SysexBuffers)
                for (auto& buffer : *SysexBuffers)
                    MidiService().InUnprepareHeader(FDeviceHandle, buffer->Header, sizeof(TMidiHeader));
            if (MidiService().InClose(FDeviceHandle) == MMSYSERR_NOERROR)
                FDeviceHandle = nullptr;
        }
        if (!FDeviceHandle) {
            SysexBuffers.reset();
            EventQueue.reset();
            FreeCallbackInstance(CallbackInstance);
            CallbackInstance = nullptr;
        }
        FError = error;
    }
}

void TMidiInput::PrepareSysexBuffers()
{
    if (FSysexBufferCount == 0 || FSysexBufferSize == 0 || !FDeviceHandle)
        return;
    SysexBuffers = std::make_unique<std::vector<std::unique_ptr<TMyMidiHdr>>>();
    for (unsigned i = 0; i < FSysexBufferCount; ++i) {
        auto buffer = std::make_unique<TMyMidiHdr>(FSysexBufferSize);
        if (!buffer->Valid())
            Check(MMSYSERR_NOMEM);
        buffer->Header->dwUser = reinterpret_cast<uintptr_t>(buffer.get());
        Check(MidiService().InPrepareHeader(FDeviceHandle, buffer->Header, sizeof(TMidiHeader)));
        SysexBuffers->push_back(std::move(buffer));
    }
}

void TMidiInput::AddSysexBuffers()
{
    if (!SysexBuffers)
        return;
    for (auto& buffer : *SysexBuffers)
        Check(MidiService().InAddBuffer(FDeviceHandle, buffer->Header, sizeof(TMidiHeader)));
}

void TMidiInput::ReleaseSysexBuffers()
{
    if (!SysexBuffers)
        return;
    for (auto& buffer : *SysexBuffers)
        Check(MidiService().InUnprepareHeader(FDeviceHandle, buffer->Header, sizeof(TMidiHeader)));
    SysexBuffers.reset();
}

void TMidiInput::Start()
{
    if (FPortState != TPortState::Open)
        return;
    Check(MidiService().InStart(FDeviceHandle));
}

void TMidiInput::Close()
{
    if (FPortState != TPortState::Open)
        return;
    FPortState = TPortState::Closed;  // first: notifications already posted are ignored now
    ShutDevice();
}

// Raises at the first failing call. Until the device is closed it may still call back, so its
// queue, buffers and handle are kept until then (the next Open or the destructor tries again).
void TMidiInput::ShutDevice()
{
    Check(MidiService().InReset(FDeviceHandle));
    ReleaseSysexBuffers();
    Check(MidiService().InClose(FDeviceHandle));
    FDeviceHandle = nullptr;
    EventQueue.reset();  // with it, the buffers the reset handed back, unread
    if (CallbackInstance)
        CallbackInstance->Queue = nullptr;
}

uint16_t TMidiInput::PendingCount() const
{
    if (FPortState != TPortState::Open || !EventQueue)
        return 0;
    return EventQueue->Count.load(std::memory_order_acquire);
}

std::unique_ptr<TMidiEvent> TMidiInput::GetMidiEvent()
{
    TQueuedEvent entry{};
    if (FPortState != TPortState::Open || !EventQueue || !QueueFront(EventQueue.get(), entry))
        return nullptr;
    auto event = std::make_unique<TMidiEvent>();
    event->TimeStamp = entry.TimeStamp;
    if (entry.BufferHeader) {
        TMidiHeader* header = entry.BufferHeader;
        event->StatusByte = 0xF0;
        event->SysexSize = std::min(header->dwBytesRecorded, header->dwBufferLength);
        if (event->SysexSize > 0) {
            event->SysexData = std::make_unique<uint8_t[]>(event->SysexSize);
            std::memcpy(event->SysexData.get(), header->lpData, event->SysexSize);
        }
        TMidiResult result = MidiService().InPrepareHeader(FDeviceHandle, header, sizeof(TMidiHeader));
        if (result == MMSYSERR_NOERROR)
            result = MidiService().InAddBuffer(FDeviceHandle, header, sizeof(TMidiHeader));
        Check(result);  // on failure the entry stays at the head of the queue
    } else {
        event->StatusByte = uint8_t(entry.PackedMessage);
        event->DataByte1 = uint8_t(entry.PackedMessage >> 8);
        event->DataByte2 = uint8_t(entry.PackedMessage >> 16);
    }
    QueuePop(EventQueue.get());
    return event;
}

void TMidiInput::HandleNotification(unsigned message, uintptr_t, uintptr_t)
{
    if (message == NotifyEventsWaiting) {
        if (OnMidiInput && FPortState == TPortState::Open && PendingCount() > 0)
            OnMidiInput(this);
    } else if (message == NotifyRoom) {
        // Everything queued before the refusal has been taken by now. Cleared first: a refusal
        // while the service delivers posts this again.
        if (CallbackInstance)
            CallbackInstance->RefusedSinceRoom.store(false, std::memory_order_release);
        if (FPortState == TPortState::Open)
            static_cast<void>(MidiService().InDeliverWaiting(FDeviceHandle));  // fails only for a closed handle
    } else if (message == NotifyOverflow) {
        if (OnOverflow && FPortState == TPortState::Open)
            OnOverflow(this);
    }
}
