#include "KelvaneWindows.h"

#include "UnitFormDrumColor.h"
#include "UnitFormMain.h"
#include "UnitFormProgramList.h"

TKelvaneWindows::TKelvaneWindows() = default;
TKelvaneWindows::~TKelvaneWindows()
{
    // The dialogs work on the main window: they go first.
    DrumColor.reset();
    ProgramList.reset();
    Main.reset();
}
TKelvaneWindows::TKelvaneWindows(TKelvaneWindows&&) noexcept = default;

TKelvaneWindows& TKelvaneWindows::operator=(TKelvaneWindows&& other) noexcept
{
    DrumColor.reset();
    ProgramList.reset();
    Main.reset();
    Main = std::move(other.Main);
    ProgramList = std::move(other.ProgramList);
    DrumColor = std::move(other.DrumColor);
    return *this;
}

TKelvaneWindows CreateKelvaneWindows(const QStringList& arguments, const QString& programPath)
{
    TKelvaneWindows windows;
    windows.Main = std::make_unique<TFormMain>(arguments, programPath);
    if (windows.Main->EndRequested())
        return windows;
    windows.ProgramList = std::make_unique<TFormProgramList>(*windows.Main, windows.Main.get());
    windows.DrumColor = std::make_unique<TFormDrumColor>(*windows.Main, windows.Main.get());
    windows.Main->AttachDialogs(windows.ProgramList.get(), windows.DrumColor.get());
    return windows;
}
