// Kelvane: drive and watch a MIDI synthesizer by hand.
#include "Application.h"
#include "CommandLine.h"
#include "Dialogs.h"
#include "KelvaneWindows.h"
#include "Language.h"
#include "MainWindow.h"
#include "platform/DeviceList.h"

#include <QTimer>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    const TCommandLine commandLine = ReadCommandLine(argc, argv);
    if (commandLine.Action != TCommandAction::OpenWindow)
        return AnswerCommandLine(commandLine);
    // The MIDI services open while Qt starts and the window is built; the window waits for them
    // before it lists the input devices.
    StartDeviceList();
    // Qt is given no arguments: its own options would take a settings file's name.
    int qtArgc = 1;
    TKelvaneApplication application(qtArgc, argv);
    UseLanguage(LanguageFromEnvironment());
    // For the start-up benchmark: nobody is there to answer a box.
    const bool quitWhenShown = std::getenv("KELVANE_QUIT_WHEN_SHOWN") != nullptr;
    if (quitWhenShown)
        DialogHooks().Message = [](const QString& text, bool) { std::cerr << text.toStdString() << "\n"; };
    TKelvaneWindows windows = CreateKelvaneWindows(WindowArguments(commandLine), QApplication::applicationFilePath());
    if (windows.Main->EndRequested())
        return 0;
    windows.Main->show();
    // For the start-up benchmark: end as soon as the shown window has had its first turn.
    if (quitWhenShown)
        QTimer::singleShot(0, &application, &QApplication::quit);
    return application.exec();
}
