// Reading and writing the settings file: the form of the file is the model's; here the window
// hands over what it shows and takes back what it restores.
#include "UnitFormMain.h"

#include "IniFile.h"
#include "MidiFiles.h"
#include "SpinEdit.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

#include <QGuiApplication>
#include <QScreen>

#include <stdexcept>

TMainSettings TFormMain::ReadSettings(const TIniFile& file) const
{
    return ReadMainSettings(file, CurrentScreens(), FProgramFolder);
}

TMainSettings TFormMain::CollectSettings() const
{
    TMainSettings s;
    // The normal placement, also when the window is maximised.
    // Top and Left are the frame's corner, as move() takes them; normalGeometry() is the inner area.
    const QPoint frame = geometry().topLeft() - pos();
    const QRect normal = isMaximized() ? normalGeometry().translated(-frame) : QRect(pos(), size());
    s.Top = normal.top();
    s.Left = normal.left();
    s.Height = normal.height();
    s.Width = normal.width();

    for (QAction* item : OutDeviceItems) {
        if (item->isChecked()) {
            s.OutDeviceName = item->data().toString();
            s.HasOutDeviceName = true;
            break;
        }
    }
    s.InDeviceName = ui->ComboMidiInDevice->currentData().toString();
    s.Channel = Channel;

    s.OnVelocity = OnVelocity;
    s.OffVelocity = OffVelocity;
    s.Transpose = Transpose;
    s.ChannelPressure = ui->ScrollBarChannelPressure->value();
    s.PolyPressure = ui->ScrollBarPolyPressure->value();

    s.MinimumValue = ProgramRangeOffset();
    s.Program = ui->SpinEditProgram->Value() - ProgramRangeOffset();

    const TControlChange& c = *ControlChange;
    s.Modulation = c.Modulation;
    s.Breath = c.Breath;
    s.Foot = c.Foot;
    s.PortamentoTime = c.PortamentoTime;
    s.Volume = c.Volume;
    s.Panpot = c.Panpot;
    s.Expression = c.Expression;
    s.Effect1 = c.Effect1;
    s.Effect3 = c.Effect3;
    s.Effect4 = c.Effect4;
    s.Hold1 = c.Hold1;
    s.Portamento = c.Portamento;
    s.Sostenuto = c.Sostenuto;
    s.Soft = c.Soft;
    s.Mono = c.Mono;
    s.PitchBendRange = c.PitchBendRange;
    s.MasterFineTune = c.MasterFineTune;
    s.MasterCoarseTune = c.MasterCoarseTune;

    s.DrumListName = ui->ComboDrumList->currentText();
    s.DrumFont = SettingFromFont(DrumFont(), DrumFontCharacterSet);
    s.BinaryFont = SettingFromFont(ui->MemoMidiIn->font(), BinaryFontCharacterSet);

    s.Interval = ui->SpinEditInterval->Value();
    s.PacketSize = ui->SpinEditPacketSize->Value();
    s.ShowHint = ui->MenuFileHint->isChecked();
    s.BinaryFolder = BinaryFolder;
    s.TextFolder = TextFolder;
    s.DrumBackColor = int(DrumBackColor);
    s.DrumForeColor = int(DrumForeColor);
    s.DrumReverseForeColor = int(DrumReverseForeColor);
    s.DrumReverseBackColor = int(DrumReverseBackColor);
    s.ColorDialogEntries = FColorDialogEntries;
    return s;
}

void TFormMain::WriteSettings()
{
    // Everything is written into a copy and the file replaced at once: a failure leaves the
    // file as it was, never half written.
    TIniFile file = TIniFile::Load(FSettingsPath);
    WriteMainSettings(file, CollectSettings());
    QString error;
    if (!file.Save(&error))
        throw std::runtime_error(CannotWriteSettingsMessage(FSettingsPath, WriteFailureReason(FSettingsPath)).toStdString());
}
