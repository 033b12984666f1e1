#pragma once
// The input port: one MIDI input device, buffers lent to it for system exclusive data, and the
// queue the callback fills. Events are taken one by one on the window thread.

#include "MidiCallback.h"
#include "MidiEvent.h"

#include <QObject>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class EMidiInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TMidiInput : public QObject {
public:
    enum class TPortState { Closed, Open };

    explicit TMidiInput(QObject* owner = nullptr);
    ~TMidiInput() override;

    void Open();   // failures leave the port Closed and are not raised; Error keeps the result
    void Start();
    void Close();
    std::unique_ptr<TMidiEvent> GetMidiEvent();  // null when closed or nothing waits
    uint16_t PendingCount() const;
    std::string PlatformErrorText(uint16_t code) const;

    uint16_t DeviceID() const { return FDeviceID; }
    void SetDeviceID(uint16_t value);
    const std::string& ProductName() const { return FProductName; }
    void SetProductName(const std::string& name);
    uint16_t Capacity() const { return FCapacity; }
    void SetCapacity(uint16_t value) { FCapacity = value; }
    uint16_t Error() const { return FError; }
    uint16_t SysexBufferSize() const { return FSysexBufferSize; }
    void SetSysexBufferSize(uint16_t value);
    uint16_t SysexBufferCount() const { return FSysexBufferCount; }
    void SetSysexBufferCount(uint16_t value);
    bool SysexOnly() const { return FSysexOnly; }
    void SetSysexOnly(bool value);
    TPortState PortState() const { return FPortState; }
    unsigned DeviceCount() const { return FDeviceCount; }
    // The system's input devices read afresh; a device that cannot be described is "(its error)".
    // Leaves the device chosen and the port as they are.
    std::vector<std::string> ReadDeviceNames();
    TMidiHandle DeviceHandle() const { return FDeviceHandle; }
    bool HasCallbackInstance() const { return CallbackInstance != nullptr; }

    std::function<void(QObject* sender)> OnMidiInput;  // one call per waiting event
    std::function<void(QObject* sender)> OnOverflow;   // one call per dropped event

private:
    void Check(TMidiResult result);
    void PrepareSysexBuffers();
    void AddSysexBuffers();
    void ReleaseSysexBuffers();
    void ShutDevice();
    void HandleNotification(unsigned message, uintptr_t param1, uintptr_t param2);

    std::unique_ptr<TNotifyWindow> NotifyWindow;
    uint16_t FDeviceID = 0;
    std::string FProductName;
    uint16_t FCapacity = 1024;
    uint16_t FError = 0;
    uint16_t FSysexBufferSize = 4096;
    uint16_t FSysexBufferCount = 16;
    bool FSysexOnly = false;
    TPortState FPortState = TPortState::Closed;
    unsigned FDeviceCount = 0;
    TMidiHandle FDeviceHandle = nullptr;
    TCallbackInstance* CallbackInstance = nullptr;
    TEventQueuePtr EventQueue;
    std::unique_ptr<std::vector<std::unique_ptr<TMyMidiHdr>>> SysexBuffers;
};
