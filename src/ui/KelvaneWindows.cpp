#include "KelvaneWindows.h"

#include "UnitFormDrumColor.h"
#include "UnitFormMain.h"
#include "UnitFormProgramList.h"

TKelvaneWindows::TKelvaneWindows() = default;
TKelvaneWindows::~TKelvaneWindows() = default;
TKelvaneWindows::TKelvaneWindows(TKelvaneWindows&&) noexcept = default;
TKelvaneWindows& TKelvaneWindows::operator=(TKelvaneWindows&& other) noexcept = default;

TKelvaneWindows CreateKelvaneWindows(const QStringList& arguments, const QString& programPath)
{
    TKelvaneWindows windows;
    windows.Main = std::make_unique<TFormMain>(arguments, programPath);
    if (windows.Main->EndRequested())
        return windows;
    windows.ProgramList = new TFormProgramList(*windows.Main, windows.Main.get());
    windows.DrumColor = new TFormDrumColor(*windows.Main, windows.Main.get());
    windows.Main->AttachDialogs(windows.ProgramList, windows.DrumColor);
    return windows;
}
