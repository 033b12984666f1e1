#include "Application.h"

#include "Dialogs.h"

#include <QIcon>

TKelvaneApplication::TKelvaneApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Kelvane"));
    setApplicationDisplayName(QStringLiteral("Kelvane"));
    setWindowIcon(QIcon(QStringLiteral(":/kelvane.png")));
}

bool TKelvaneApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    RunReported([&] { result = QApplication::notify(receiver, event); });
    return result;
}
