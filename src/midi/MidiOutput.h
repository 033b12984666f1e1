#pragma once
// The output port: one MIDI output device of the device list, chosen by number or by product
// name, and the connection it owns while open. Sends raise EMidiOutputError with an English
// text; an open that fails says why through LastFailure. Window thread only.
//
// An open port follows its device by name: when the device goes (its client or port ends, or
// our link to it breaks) the port drops the connection and is absent, and its sends fail with
// a PortGone failure; when a device of the same name is there again, the port opens it by
// itself. Nothing is sent on its own then: the owner's next send is.

#include "DeviceWatch.h"
#include "MidiEvent.h"
#include "platform/PortBackend.h"

#include <QObject>

#include <functional>
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

    bool Open();   // false on failure, and LastFailure says why; never raises
    bool Close();  // false when the port was closed already
    void PutShort(uint8_t status, uint8_t data1, uint8_t data2);
    // The bytes are the caller's again when it returns. A length of 0 sends nothing.
    void PutLong(const uint8_t* data, uint32_t length);
    void PutMidiEvent(const TMidiEvent& event);

    int DeviceID() const { return FDeviceID; }
    void SetDeviceID(int value);
    const std::string& ProductName() const { return FProductName; }
    void SetProductName(const std::string& name);
    unsigned DeviceCount() const { return FDeviceCount; }
    // The system's devices read afresh, the mapper first. Leaves the device chosen and the port
    // as they are.
    std::vector<std::string> ReadDeviceNames();
    bool IsOpen() const { return Connection != nullptr; }
    TPortState PortState() const { return Connection ? TPortState::Open : TPortState::Closed; }
    // The device chosen is not there now, and opens by itself when it is: it went while open,
    // or OpenWhenPresent named it. Close ends the waiting.
    bool Absent() const { return FAbsent; }
    // Chooses the device of this name, which is not there now, and waits for it (Absent).
    void OpenWhenPresent(const std::string& name);
    // Why the last open or send failed (success when it did not).
    const TMidiResult& LastFailure() const { return FLastFailure; }

    std::function<void(QObject* sender)> OnMidiOutput;  // after PutLong handed a block over
    std::function<void(QObject* sender)> OnGone;        // the device went: the port is absent
    std::function<void(QObject* sender)> OnReturned;    // the absent device is open again

private:
    void Check(const TMidiResult& result);  // keeps it, raises on failure
    void CheckOpen();
    void FollowDevice();  // the devices may have changed

    TDeviceWatch Watch{[this] { FollowDevice(); }};
    std::unique_ptr<TOutputConnection> Connection;
    bool FAbsent = false;
    TMidiResult FGone;  // why the device went, when the service said more than that it went
    int FDeviceID = 0;
    std::string FProductName;
    unsigned FDeviceCount = 0;
    TMidiResult FLastFailure;
};
