#pragma once
// A Kelvane window against the recording backend, in a program folder of its own, with
// every message box answered and recorded instead of shown.

#include "Dialogs.h"
#include "KelvaneWindows.h"
#include "RecordingBackend.h"
#include "BinaryPage.h"
#include "ControllerPage.h"
#include "DrumPage.h"
#include "Keyboard.h"
#include "MainWindow.h"
#include "Monitor.h"
#include "RawSender.h"
#include "Session.h"
#include "SpinEdit.h"
#include "Widgets.h"

// The kinds of control the forms are made of, for Find.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <set>
#include <stdexcept>
#include <vector>

// The one control named `name` under `owner` (a window, a page, a dialog), by the name its form
// gives it. Raises when there is none or more than one: the test fails with the name.
template <class T>
T* Find(const QObject& owner, const QString& name)
{
    const QList<T*> found = owner.findChildren<T*>(name);
    if (found.size() != 1)
        throw std::runtime_error((found.isEmpty() ? "no control named " : "more than one control named ")
                                 + name.toStdString() + " under " + owner.objectName().toStdString());
    return found.first();
}

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
    TMainWindow& Main() { return *Windows.Main; }
    // What the pages share, and the pages with the parts tests watch.
    TSession& Session() { return Windows.Main->Session(); }
    TControllerPage& Controller() { return Windows.Main->ControllerPage(); }
    TKeyboard& Keyboard() { return Controller().Keyboard(); }
    TDrumPage& Drums() { return Windows.Main->DrumPage(); }
    TBinaryPage& Binary() { return Windows.Main->BinaryPage(); }
    TMonitor& Monitor() { return Binary().Monitor(); }
    TRawSender& Sender() { return Binary().Sender(); }
    // A control of the main window (its pages and menus) by its name.
    template <class T>
    T* Find(const QString& name) const
    {
        return ::Find<T>(*Windows.Main, name);
    }
    QString Folder() const { return Dir.path() + "/"; }  // the program's folder
    QString ProgramPath() const { return Folder() + "kelvane"; }
    QString SettingsPath() const { return Windows.Main->Session().SettingsPath(); }

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
