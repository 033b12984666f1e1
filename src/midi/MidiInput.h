#pragma once
// The input port: one MIDI input device of the device list, chosen by number or by product
// name. While open it owns the device's connection, the reception that turns the device's bytes
// into messages, the buffers it lends that reception for system exclusive data, and the queue
// the messages wait in. A received message takes four steps (drawn in the README, Threads):
//   - the device thread (TAlsaInput::Read, or TJackInput::Read for JACK) copies the bytes;
//   - TInputReception makes complete messages of them, in order, and keeps what finds no room
//     in the queue or no buffer;
//   - TInputHandOver puts each into the event queue and posts one notification;
//   - on the window thread the notification calls OnMidiInput, whose handler takes the event
//     with GetMidiEvent.
// Everything here but the first three runs on the window thread.
//
// An open port follows its device by name, as the output port does: when the device goes the
// connection is dropped and the port is absent (still open: the reception, the queue and what
// waits in them stay); when a device of that name is there again, a new connection feeds the
// same reception, started if the port was.

#include "DeviceWatch.h"
#include "InputHandOver.h"
#include "InputNotifier.h"
#include "MidiEvent.h"
#include "platform/InputReception.h"

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

    void Open();   // failures leave the port Closed and are not raised; LastFailure says why
    void Start();  // raises EMidiInputError when the device will not start
    void Close();  // what was received and not taken is dropped
    std::unique_ptr<TMidiEvent> GetMidiEvent();  // null when closed or nothing waits
    uint16_t PendingCount() const;

    uint16_t DeviceID() const { return FDeviceID; }
    void SetDeviceID(uint16_t value);
    const std::string& ProductName() const { return FProductName; }
    void SetProductName(const std::string& name);
    // Entries the queue holds; a change takes effect at the next Open.
    uint16_t Capacity() const { return FCapacity; }
    void SetCapacity(uint16_t value) { FCapacity = value; }
    // A long system exclusive message reaches the owner in pieces of SysexBufferSize bytes;
    // SysexBufferCount pieces may wait to be taken at once (more wait in the reception).
    uint16_t SysexBufferSize() const { return FSysexBufferSize; }
    void SetSysexBufferSize(uint16_t value);
    uint16_t SysexBufferCount() const { return FSysexBufferCount; }
    void SetSysexBufferCount(uint16_t value);
    bool SysexOnly() const { return FSysexOnly; }
    void SetSysexOnly(bool value);  // takes effect at once, also while open
    TPortState PortState() const { return FPortState; }
    unsigned DeviceCount() const { return FDeviceCount; }
    // The system's input devices read afresh. Leaves the device chosen and the port as they are.
    std::vector<std::string> ReadDeviceNames();
    // While the port is open, its device there or absent.
    bool IsOpen() const { return FPortState == TPortState::Open; }
    // Open, and the device is not there now; it is taken again when it is.
    bool Absent() const { return FPortState == TPortState::Open && !Connection; }
    // Opens on the device of this name, which is not there now: the port is open and absent.
    void OpenWhenPresent(const std::string& name);
    // When the last Start began: each event's TimeStamp counts from here.
    TDeviceTime StartTime() const { return FStartTime; }
    // Why the last open or start failed (success when it did not).
    const TMidiResult& LastFailure() const { return FLastFailure; }

    std::function<void(QObject* sender)> OnMidiInput;  // one call per waiting event
    std::function<void(QObject* sender)> OnOverflow;   // one call per lost message
    std::function<void(QObject* sender)> OnGone;       // the device went: the port is absent
    std::function<void(QObject* sender)> OnReturned;   // the absent device is there again

private:
    void HandleNotification(TInputNotification notification);
    void ShutDevice();
    bool MakeReception();  // false when memory runs out, and LastFailure says so
    void FollowDevice();   // the devices may have changed

    TInputNotifier Notifier;  // lives as long as the port: notifications posted before a close may still come
    uint16_t FDeviceID = 0;
    std::string FProductName;
    uint16_t FCapacity = 1024;
    uint16_t FSysexBufferSize = 4096;
    uint16_t FSysexBufferCount = 16;
    bool FSysexOnly = false;
    TPortState FPortState = TPortState::Closed;
    unsigned FDeviceCount = 0;
    TMidiResult FLastFailure;
    TDeviceTime FStartTime{};
    bool Started = false;  // Start succeeded since the last Open
    TDeviceWatch Watch{[this] { FollowDevice(); }};
    // While open; made in this order and taken apart in the reverse.
    std::vector<std::unique_ptr<TSysexBuffer>> SysexBuffers;
    std::unique_ptr<TInputHandOver> HandOver;
    std::unique_ptr<TInputReception> Reception;
    std::unique_ptr<TInputConnection> Connection;
};
