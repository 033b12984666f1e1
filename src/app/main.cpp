// Kelvane: drive and watch a MIDI synthesizer by hand.
#include "Application.h"
#include "KelvaneWindows.h"
#include "PortList.h"
#include "UnitFormMain.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--list-ports") == 0) {
        ListPorts(std::cout);
        return 0;
    }
    TKelvaneApplication application(argc, argv);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    TKelvaneWindows windows = CreateKelvaneWindows(arguments, QApplication::applicationFilePath());
    if (windows.Main->EndRequested())
        return 0;
    windows.Main->show();
    return application.exec();
}
