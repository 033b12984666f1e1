// The raw output editor: hexadecimal text, .syx and .txt files, and the timed sender.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "SpinEdit.h"
#include "ui_UnitFormMain.h"

#include <QTimer>

void TFormMain::SetUpBinary(const TMainSettings& settings)
{
    ui->SpinEditInterval->SetValue(settings.Interval);
    ui->SpinEditPacketSize->SetValue(settings.PacketSize);
    BinaryFolder = settings.BinaryFolder;
    TextFolder = settings.TextFolder;
}

void TFormMain::LayOutBinaryPage()
{
    const int width = (ui->PanelBinary->width() - 30) / 2;
    const int top = ui->LabelMidiIn->height() + 10;
    const int height = ui->PanelBinary->height() - top - 5;
    ui->MemoMidiIn->setGeometry(10, top, width, height);
    ui->LabelMidiIn->move(10, ui->LabelMidiIn->y());
    ui->MemoMidiOut->setGeometry(width + 19, top, width, height);
    ui->LabelMidiOut->move(ui->MemoMidiOut->x(), ui->LabelMidiOut->y());
}

void TFormMain::MemoMidiOutChange() {}
void TFormMain::ButtonOutClearClick() {}
void TFormMain::ButtonSendClick() {}
void TFormMain::TimerMidiOutTimer() {}
void TFormMain::EndRun() {}
void TFormMain::SpinEditIntervalChange() {}
void TFormMain::ButtonOutLoadBinaryClick() {}
void TFormMain::ButtonOutSaveBinaryClick() {}
void TFormMain::ButtonOutLoadTextClick() {}
void TFormMain::ButtonOutSaveTextClick() {}
void TFormMain::ButtonBinaryFontSetClick() {}
void TFormMain::SetBinaryFont(const QFont&) {}
