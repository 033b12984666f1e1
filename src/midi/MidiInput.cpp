#include "MidiInput.h"

#include "platform/DeviceList.h"

#include <algorithm>
#include <cstring>
#include <new>

TMidiInput::TMidiInput(QObject* owner)
    : QObject(owner),
      Notifier([this](TInputNotification notification) { HandleNotification(notification); })
{
    const std::vector<std::string> names = DeviceList().ReadInputNames();
    FDeviceCount = unsigned(names.size());
    if (!names.empty())
        FProductName = names.front();
}

TMidiInput::~TMidiInput()
{
    FPortState = TPortState::Closed;
    ShutDevice();
}

void TMidiInput::SetDeviceID(uint16_t value)
{
    if (FPortState == TPortState::Open)
        throw EMidiInputError("Change to DeviceID while device was open");
    const std::vector<std::string> names = ReadDeviceNames();
    if (value >= names.size())
        throw EMidiInputError("Invalid device ID");
    FDeviceID = value;
    FProductName = names[value];
}

std::vector<std::string> TMidiInput::ReadDeviceNames()
{
    std::vector<std::string> names = DeviceList().ReadInputNames();
    FDeviceCount = unsigned(names.size());
    return names;
}

void TMidiInput::SetProductName(const std::string& name)
{
    if (FPortState == TPortState::Open)
        throw EMidiInputError("Change to ProductName while device was open");
    const std::vector<std::string> names = ReadDeviceNames();
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end())
        throw EMidiInputError("MIDI Input Device " + name + " not installed ");
    FDeviceID = uint16_t(found - names.begin());
    FProductName = name;
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
    if (HandOver)
        HandOver->SetSysexOnly(value);
}

bool TMidiInput::MakeReception()
{
    try {
        HandOver = std::make_unique<TInputHandOver>(FCapacity, Notifier, FSysexOnly);
        Reception = std::make_unique<TInputReception>(*HandOver);
        if (FSysexBufferSize > 0)
            for (unsigned i = 0; i < FSysexBufferCount; ++i)
                SysexBuffers.push_back(std::make_unique<TSysexBuffer>(FSysexBufferSize));
        return true;
    } catch (const std::bad_alloc&) {
        FLastFailure = TMidiResult::Failure("There is not enough memory to open the MIDI input");
        return false;
    }
}

void TMidiInput::Open()
{
    FPortState = TPortState::Closed;
    Started = false;
    ShutDevice();
    if (MakeReception()) {
        TMidiResult result;
        Connection = DeviceList().OpenInput(FDeviceID, *Reception, result);
        FLastFailure = result;
    }
    if (!Connection) {
        ShutDevice();
        return;
    }
    // Nothing arrives before Start, so the buffers are all there before the first byte.
    for (auto& buffer : SysexBuffers)
        Reception->Lend(*buffer);
    FPortState = TPortState::Open;
}

void TMidiInput::OpenWhenPresent(const std::string& name)
{
    FPortState = TPortState::Closed;
    Started = false;
    ShutDevice();
    if (!MakeReception()) {
        ShutDevice();
        return;
    }
    for (auto& buffer : SysexBuffers)
        Reception->Lend(*buffer);
    FProductName = name;
    FPortState = TPortState::Open;
    FollowDevice();  // it may have come since the caller looked
}

void TMidiInput::Start()
{
    if (FPortState != TPortState::Open)
        return;
    FStartTime = DeviceNow();
    if (!Connection) {  // absent: starts with the device when it comes
        Started = true;
        return;
    }
    FLastFailure = Connection->Start();
    if (!FLastFailure.Ok())
        throw EMidiInputError(FLastFailure.Text());
    Started = true;
}

void TMidiInput::Close()
{
    if (FPortState != TPortState::Open)
        return;
    FPortState = TPortState::Closed;  // first: notifications already posted are ignored now
    Started = false;
    ShutDevice();
}

// The device stops first: after that nothing calls into the reception, and what it and the
// queue hold can go.
void TMidiInput::ShutDevice()
{
    if (Connection)
        Connection->Stop();
    Connection.reset();
    Reception.reset();
    HandOver.reset();
    SysexBuffers.clear();
}

// Called on the window thread after the backends reported a change. What the reception holds of
// the device that went stays in it: a message it cut short is ended by the next status byte.
void TMidiInput::FollowDevice()
{
    if (FPortState != TPortState::Open)
        return;
    if (Connection && !Connection->Reaches()) {
        Connection->Stop();
        Connection.reset();
        if (OnGone)
            OnGone(this);
    }
    if (Connection)
        return;
    const std::vector<std::string> names = ReadDeviceNames();
    const auto found = std::find(names.begin(), names.end(), FProductName);
    if (found == names.end())
        return;
    const uint16_t device = uint16_t(found - names.begin());
    TMidiResult result;
    auto connection = DeviceList().OpenInput(device, *Reception, result);
    if (!connection)
        return;  // not usable yet: the next change tries again
    if (Started && !connection->Start().Ok())
        return;
    FDeviceID = device;
    Connection = std::move(connection);
    FLastFailure = {};
    if (OnReturned)
        OnReturned(this);
}

uint16_t TMidiInput::PendingCount() const
{
    if (FPortState != TPortState::Open || !HandOver)
        return 0;
    return HandOver->Queue().Count();
}

std::unique_ptr<TMidiEvent> TMidiInput::GetMidiEvent()
{
    TQueuedEvent entry;
    if (FPortState != TPortState::Open || !HandOver->Queue().Front(entry))
        return nullptr;
    auto event = std::make_unique<TMidiEvent>();
    event->DeviceTime = entry.Time;
    // A JACK cycle may hand over what arrived a moment before the start.
    const auto sinceStart = std::chrono::duration_cast<std::chrono::milliseconds>(entry.Time - FStartTime).count();
    event->TimeStamp = sinceStart > 0 ? uint32_t(sinceStart) : 0;
    if (entry.Sysex) {
        event->StatusByte = 0xF0;
        event->SysexSize = uint32_t(entry.Sysex->Used);
        if (event->SysexSize > 0) {
            event->SysexData = std::make_unique<uint8_t[]>(event->SysexSize);
            std::memcpy(event->SysexData.get(), entry.Sysex->Data.data(), event->SysexSize);
        }
    } else {
        event->StatusByte = entry.Bytes[0];
        event->DataByte1 = entry.Bytes[1];
        event->DataByte2 = entry.Bytes[2];
    }
    HandOver->Queue().Pop();
    // Its bytes are copied: the buffer goes back to the reception, which may fill it at once
    // from what waits (into the room just made).
    if (entry.Sysex)
        Reception->Lend(*entry.Sysex);
    return event;
}

void TMidiInput::HandleNotification(TInputNotification notification)
{
    switch (notification) {
    case TInputNotification::EventsWaiting:
        if (OnMidiInput && FPortState == TPortState::Open && PendingCount() > 0)
            OnMidiInput(this);
        break;
    case TInputNotification::Room:
        // Everything queued before the refusal has been taken by now. Noticed first: a refusal
        // while the reception delivers posts this again.
        if (FPortState == TPortState::Open) {
            HandOver->RoomNoticed();
            Reception->DeliverWaiting();
        }
        break;
    case TInputNotification::Overflow:
        if (OnOverflow && FPortState == TPortState::Open)
            OnOverflow(this);
        break;
    }
}
