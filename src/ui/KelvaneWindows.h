#pragma once
// The program's windows as the entry makes them: the main window first, then the two dialogs.

#include <QPointer>
#include <QStringList>

#include <memory>

class TMainWindow;
class TProgramListDialog;
class TDrumColorDialog;

// The main window owns the dialogs as their Qt parent; these pointers only reach them, and
// become null when the main window goes.
struct TKelvaneWindows {
    std::unique_ptr<TMainWindow> Main;
    QPointer<TProgramListDialog> ProgramList;
    QPointer<TDrumColorDialog> DrumColor;

    TKelvaneWindows();
    ~TKelvaneWindows();
    TKelvaneWindows(TKelvaneWindows&&) noexcept;
    TKelvaneWindows& operator=(TKelvaneWindows&& other) noexcept;
};

// arguments: the command line after the program's name.
TKelvaneWindows CreateKelvaneWindows(const QStringList& arguments, const QString& programPath);
