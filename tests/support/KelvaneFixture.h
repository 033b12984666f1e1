#pragma once
// A Kelvane window against the recording backend, in a program folder of its own, with
// every message box answered and recorded instead of shown.

#include "Dialogs.h"
#include "KelvaneWindows.h"
#include "RecordingBackend.h"
#include "UnitFormMain.h"
#include "ui_UnitFormMain.h"

#include <QStringList>
#include <QTemporaryDir>

#include <set>

#include <vector>

struct TFixtureOptions {
    QString Settings;            // text of the settings file before start-up; "" = none
    bool OpenPort = true;        // saved OutDeviceName "Test Synth" (added unless Settings names one)
    QStringList Arguments;       // the command line after the program's name
    bool CopyDataFiles = true;   // note.ini and program.ini beside the program
    std::vector<std::string> Outputs{"Test Synth", "Test Port"};
    std::vector<std::string> Inputs{"Test Input"};
    std::set<int> FailingOpens;  // output devices whose open fails
    // false: the test has installed its own devices (a TDeviceList over JACK, say) with
    // SetDeviceList; Service() must not be used then.
    bool UseRecordingService = true;
    QString OutDeviceName = QStringLiteral("Test Synth");  // saved port when OpenPort
};

class TKelvaneFixture {
public:
    explicit TKelvaneFixture(TFixtureOptions options = {});
    ~TKelvaneFixture();

    TRecordingBackend& Service() { return *FService; }
    TFormMain& Main() { return *Windows.Main; }
    Ui::TFormMain& Form() { return *Windows.Main->Form(); }
    QString Folder() const { return Dir.path() + "/"; }  // the program's folder
    QString ProgramPath() const { return Folder() + "kelvane"; }
    QString SettingsPath() const { return Windows.Main->SettingsPath(); }

    // The bytes on the wire since the last ClearSent, one entry per message or block.
    std::vector<std::vector<uint8_t>> Sent() const { return FService->Sent(); }
    void ClearSent() { FService->ClearCalls(); }
    // Closes the window as the user would (writes the settings).
    void CloseWindow();

    QStringList Messages;  // texts of the message boxes, in order
    QStringList Errors;    // texts of the default error report
    TKelvaneWindows Windows;

private:
    QTemporaryDir Dir;
    std::shared_ptr<TRecordingBackend> FService;
};

// "90 3C 64" → bytes, for readable expectations.
std::vector<uint8_t> Bytes(const char* hex);
std::vector<std::vector<uint8_t>> Wire(std::initializer_list<const char*> hex);
