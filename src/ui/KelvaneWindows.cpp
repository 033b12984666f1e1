#include "KelvaneWindows.h"

#include "ControllerPage.h"
#include "DrumColorDialog.h"
#include "DrumPage.h"
#include "MainWindow.h"
#include "ProgramListDialog.h"

TKelvaneWindows::TKelvaneWindows() = default;
TKelvaneWindows::~TKelvaneWindows() = default;
TKelvaneWindows::TKelvaneWindows(TKelvaneWindows&&) noexcept = default;
TKelvaneWindows& TKelvaneWindows::operator=(TKelvaneWindows&& other) noexcept = default;

TKelvaneWindows CreateKelvaneWindows(const QStringList& arguments, const QString& programPath)
{
    TKelvaneWindows windows;
    windows.Main = std::make_unique<TMainWindow>(arguments, programPath);
    if (windows.Main->EndRequested())
        return windows;
    windows.ProgramList = new TProgramListDialog(windows.Main->ControllerPage(), windows.Main.get());
    windows.DrumColor = new TDrumColorDialog(windows.Main->DrumPage(), windows.Main.get());
    windows.Main->AttachDialogs(windows.ProgramList, windows.DrumColor);
    return windows;
}
