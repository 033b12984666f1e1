#pragma once
// What the pages of the main window share and no widget owns: the two MIDI ports, the controller
// state, the note state every note carries, and where the settings file is. Window thread only.

#include "ControlChange.h"
#include "MessageLog.h"
#include "MidiInput.h"
#include "MidiMessages.h"
#include "MidiOutput.h"
#include "Settings.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TSession final : private TControlChangeHost {
public:
    // arguments: the command line after the program's name; programPath: the program file. Fixes
    // the settings file's path and the application title; the ports come later (MakePorts).
    TSession(const QStringList& arguments, const QString& programPath);
    ~TSession() override;
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    const QString& SettingsPath() const { return FSettingsPath; }
    const QString& ProgramFolder() const { return FProgramFolder; }  // with its trailing separator
    // The first argument without its extension, else "Kelvane".
    const QString& ApplicationTitle() const { return FApplicationTitle; }

    // The settings file is read once at start-up and written once when the window closes. A
    // failure to write raises with the text the user is shown; the file is then as it was.
    TMainSettings ReadSettings() const;
    void WriteSettings(const TMainSettings& settings) const;

    // Makes both ports. Waits for the MIDI services, which may still be opening on their own
    // thread (StartDeviceList): nothing before this uses them.
    void MakePorts();
    TMidiOutput& Output() { return *FOutput; }
    const TMidiOutput& Output() const { return *FOutput; }
    TMidiInput& Input() { return *FInput; }
    const TMidiInput& Input() const { return *FInput; }
    bool OutputOpen() const;  // false also before the ports are made

    TControlChange& ControlChange() { return *FControlChange; }
    const TControlChange& ControlChange() const { return *FControlChange; }

    // What every note carries, set by the controller panel and read at each send.
    int Channel() const { return FChannel; }  // 1..16
    void SetChannel(int channel) { FChannel = uint8_t(channel); }
    int Transpose() const { return FTranspose; }  // semitones, −60..+50
    void SetTranspose(int semitones) { FTranspose = int8_t(semitones); }
    int OnVelocity() const { return FOnVelocity; }
    void SetOnVelocity(int velocity) { FOnVelocity = uint8_t(velocity); }
    int OffVelocity() const { return FOffVelocity; }
    void SetOffVelocity(int velocity) { FOffVelocity = uint8_t(velocity); }

    // A message built in the model, put on the output port; raises as the port does. Every send
    // of the program comes through here, so the monitor's record sees them all. While the port's
    // device is gone (TMidiOutput::Absent) nothing is sent and OnSendWhileAbsent says so instead:
    // a box in the middle of playing would take the keyboard.
    void Send(const TShortMessage& message);
    void Send(const std::vector<uint8_t>& block);
    void Send(QByteArrayView bytes);  // a packet of the raw sender: raises while the device is gone

    // The monitor's record: what the input port receives and, when asked, what is sent.
    TMessageLog& Log() { return *FLog; }
    const TMessageLog& Log() const { return *FLog; }

    // Words and shows a value the controller state refused (the controller panel does).
    std::function<void(TControlParameter)> OnRejection;
    std::function<void()> OnSendWhileAbsent;

private:
    // TControlChangeHost
    bool OutputPortOpen() const override;
    uint8_t CurrentChannel() const override;
    void PutShort(uint8_t status, uint8_t data1, uint8_t data2) override;
    void ShowRejection(TControlParameter parameter) override;
    bool OutputAbsent();  // says so when it is

    QString FSettingsPath;
    QString FProgramFolder;
    QString FApplicationTitle = QStringLiteral("Kelvane");
    std::unique_ptr<TMidiOutput> FOutput;
    std::unique_ptr<TMidiInput> FInput;
    std::unique_ptr<TControlChange> FControlChange;
    std::unique_ptr<TMessageLog> FLog;
    uint8_t FChannel = 0;
    int8_t FTranspose = 0;
    uint8_t FOnVelocity = 0;
    uint8_t FOffVelocity = 0;
};
