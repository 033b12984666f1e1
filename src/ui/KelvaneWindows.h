#pragma once
// The program's windows as the entry makes them: the main window first, then the two dialogs.

#include <QStringList>

#include <memory>

class TFormMain;
class TFormProgramList;
class TFormDrumColor;

struct TKelvaneWindows {
    std::unique_ptr<TFormMain> Main;
    std::unique_ptr<TFormProgramList> ProgramList;
    std::unique_ptr<TFormDrumColor> DrumColor;

    TKelvaneWindows();
    ~TKelvaneWindows();
    TKelvaneWindows(TKelvaneWindows&&) noexcept;
    TKelvaneWindows& operator=(TKelvaneWindows&& other) noexcept;
};

// arguments: the command line after the program's name.
TKelvaneWindows CreateKelvaneWindows(const QStringList& arguments, const QString& programPath);
