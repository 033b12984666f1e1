// Kelvane: drive and watch a MIDI synthesizer by hand.
#include "Application.h"
#include "Dialogs.h"
#include "KelvaneWindows.h"
#include "Language.h"
#include "PortList.h"
#include "UnitFormMain.h"
#include "platform/DeviceList.h"

#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--list-ports") == 0) {
        ListPorts(std::cout);
        return 0;
    }
    // The MIDI services open while Qt starts and the window is built; the window waits for them
    // before it lists the input devices.
    StartDeviceList();
    TKelvaneApplication application(argc, argv);
    UseLanguage(LanguageFromEnvironment());
    // For the start-up benchmark: nobody is there to answer a box.
    const bool quitWhenShown = std::getenv("KELVANE_QUIT_WHEN_SHOWN") != nullptr;
    if (quitWhenShown)
        DialogHooks().Message = [](const QString& text, bool) { std::cerr << text.toStdString() << "\n"; };
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    TKelvaneWindows windows = CreateKelvaneWindows(arguments, QApplication::applicationFilePath());
    if (windows.Main->EndRequested())
        return 0;
    windows.Main->show();
    // For the start-up benchmark: end as soon as the shown window has had its first turn.
    if (quitWhenShown)
        QTimer::singleShot(0, &application, &QApplication::quit);
    return application.exec();
}
