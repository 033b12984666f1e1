// The input device choice and the monitor of received MIDI.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "ui_UnitFormMain.h"

void TFormMain::FillInputDeviceList()
{
    ui->ComboMidiInDevice->addItem(QStringLiteral("MIDI入力なし"));
}

void TFormMain::RestoreInputDevice(const QString&) {}
void TFormMain::ComboMidiInDeviceChange() {}
void TFormMain::MidiInputMidiInput() {}
void TFormMain::MidiInputOverflow() {}
void TFormMain::ButtonInClearClick() {}
void TFormMain::ButtonInSaveBinaryClick() {}
void TFormMain::ButtonInSaveTextClick() {}
void TFormMain::MemoMidiInChange() {}
void TFormMain::FlushMonitor() {}
