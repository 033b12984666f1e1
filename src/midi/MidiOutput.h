#pragma once
// The output port: one MIDI output device of the platform service, chosen by number or by
// product name. Every failure raises EMidiOutputError with an English text.

#include "MidiCallback.h"
#include "MidiEvent.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class EMidiOutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMidiOutput : public QObject {
public:
    enum class TPortState { Closed, Open };

    explicit TMidiOutput(QObject* owner = nullptr);
    ~TMidiOutput() override;

    bool Open();   // false on failure; never raises
    bool Close();  // false when the port was closed already
    void PutShort(uint8_t status, uint8_t data1, uint8_t data2);
    // Copies the bytes: the caller may reuse them at once. A length of 0 sends nothing.
    void PutLong(const uint8_t* data, uint32_t length);
    void PutMidiEvent(const TMidiEvent& event);

    int DeviceID() const { return FDeviceID; }
    void SetDeviceID(int value);
    const std::string& ProductName() const { return FProductName; }
    void SetProductName(const std::string& name);
    unsigned DeviceCount() const { return FDeviceCount; }
    // The system's devices read afresh, the mapper first; a device that cannot be described is
    // "(its error)". Leaves the device chosen and the port as they are.
    std::vector<std::string> ReadDeviceNames();
    TMidiHandle DeviceHandle() const { return FDeviceHandle; }
    TPortState PortState() const { return FPortState; }
    uint16_t LastError() const { return FLastError; }
    bool HasCallbackInstance() const { return CallbackInstance != nullptr; }
    size_t BlocksInFlight() const { return InFlight.size(); }

    std::string PlatformErrorText(uint16_t code) const;

    std::function<void(QObject* sender)> OnMidiOutput;  // after a sent block was released

private:
    void Check(TMidiResult result);  // stores LastError, raises on failure
    void HandleNotification(unsigned message, uintptr_t param1, uintptr_t param2);

    std::unique_ptr<TNotifyWindow> NotifyWindow;
    int FDeviceID = 0;
    TMidiHandle FDeviceHandle = nullptr;
    TPortState FPortState = TPortState::Closed;
    TCallbackInstance* CallbackInstance = nullptr;
    uint16_t FLastError = 0;
    std::string FProductName;
    unsigned FDeviceCount = 0;
    // Released by their done message, or with the port; looked up by the header's dwUser.
    std::map<const TMyMidiHdr*, std::unique_ptr<TMyMidiHdr>> InFlight;
};
