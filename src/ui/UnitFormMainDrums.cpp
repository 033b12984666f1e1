// Drum pads: 128 pads named from note.ini, played with any mouse button.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "IniFile.h"
#include "Language.h"
#include "NameLists.h"
#include "UnitFormDrumColor.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

#include <QTextDocument>

namespace {

constexpr int DrumPadCount = 128;
constexpr int DrumColumns = 7;
constexpr int DrumRows = 20;  // notes run down the columns

const QString DrumPadPrefix = QStringLiteral("DrumKey");

// A hint is shown as rich text when it looks like markup; a name from note.ini is only text.
QString HintForName(const QString& name)
{
    return Qt::mightBeRichText(name) ? Qt::convertFromPlainText(name, Qt::WhiteSpaceNormal) : name;
}

} // namespace

void TFormMain::SetUpDrums(const TMainSettings& settings)
{
    // The drum lists: the sections of note.ini, in file order.
    const TIniFile noteIni = TIniFile::Load(FindDataFile(FProgramFolder, QStringLiteral("note.ini")));
    QFont comboFont(QStringLiteral("ＭＳ Ｐゴシック"));
    comboFont.setPixelSize(15);
    ui->ComboDrumList->setFont(comboFont);
    ui->ComboDrumList->addItems(noteIni.Sections());
    int selected = DefaultListIndex(noteIni.Sections());
    for (int i = 0; i < ui->ComboDrumList->count(); ++i) {
        if (ui->ComboDrumList->itemText(i).compare(settings.DrumListName, Qt::CaseInsensitive) == 0) {
            selected = i;
            break;
        }
    }
    ui->ComboDrumList->setCurrentIndex(selected);

    // Font, colours and the colour dialog's custom colours.
    const QFont drumFont = FontFromSetting(settings.DrumFont);
    DrumFontCharacterSet = settings.DrumFont.CharacterSet;
    DrumBackColor = uint32_t(settings.DrumBackColor);
    DrumForeColor = uint32_t(settings.DrumForeColor);
    DrumReverseBackColor = uint32_t(settings.DrumReverseBackColor);
    DrumReverseForeColor = uint32_t(settings.DrumReverseForeColor);
    FColorDialogEntries = settings.ColorDialogEntries;

    // The pads.
    for (int n = 0; n < DrumPadCount; ++n) {
        auto* pad = new TDrumPad(ui->PanelDrum);
        pad->setObjectName(DrumPadPrefix + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
        // Names come from a data file: shown as they are, never as markup.
        pad->setTextFormat(Qt::PlainText);
        pad->setFont(drumFont);
        pad->SetColors(DrumBackColor, DrumForeColor);
        connect(pad, &TDrumPad::MouseDown, this, [this, pad, n] { RunReported([&] { DrumPadMouseDown(pad, n); }); });
        connect(pad, &TDrumPad::MouseUp, this, [this, pad, n] { RunReported([&] { DrumPadMouseUp(pad, n); }); });
        DrumPads[size_t(n)] = pad;
    }

    // The page's layout docks the strip and fills the rest; name the pads.
    ComboDrumListChange();
    connect(ui->ComboDrumList, &QComboBox::currentIndexChanged, this, [this] { ComboDrumListChange(); });
    connect(ui->ButtonDrumFontSet, &QPushButton::clicked, this, [this] { ButtonDrumFontSetClick(); });
}

void TFormMain::ComboDrumListChange()
{
    QStringList names;
    if (ui->ComboDrumList->currentIndex() >= 0) {
        const TIniFile noteIni = TIniFile::Load(FindDataFile(FProgramFolder, QStringLiteral("note.ini")));
        names = DrumPadNames(noteIni, ui->ComboDrumList->currentText());
    }
    for (int n = 0; n < DrumPadCount; ++n) {
        const QString name = n < names.size() ? names[n] : QString::number(n);
        DrumPads[size_t(n)]->setText(name);
        DrumPads[size_t(n)]->setToolTip(HintForName(name));
        DrumPads[size_t(n)]->setAccessibleName(QStringLiteral("%1 (%2)").arg(name).arg(n));
    }
}

void TFormMain::DrumPadMouseDown(TDrumPad* pad, int note)
{
    // The pad's own number: transposition is for the keyboard only.
    Send(NoteOn(Channel, note, OnVelocity));
    pad->SetColors(DrumReverseBackColor, DrumReverseForeColor);
}

void TFormMain::DrumPadMouseUp(TDrumPad* pad, int note)
{
    Send(NoteOff(Channel, note, OffVelocity));
    pad->SetColors(DrumBackColor, DrumForeColor);
}

void TFormMain::LayOutDrumPads()
{
    if (!DrumPads[0])
        return;
    QWidget* panel = ui->PanelDrum;
    const int w = panel->width() / DrumColumns;
    const int h = panel->height() / DrumRows;
    // Updates are held rather than the panel hidden: hiding it would take the mouse from a pad
    // held down (its release, and so its note-off, would be lost) and make the page's layout
    // give the space away and back, resizing the panel while it is laid out.
    // Only our own hold is lifted afterwards: while the page control switches pages it holds
    // the updates of the whole page, and taking that state for ours would keep the panel from
    // ever painting again.
    const bool heldAlready = panel->testAttribute(Qt::WA_ForceUpdatesDisabled);
    panel->setUpdatesEnabled(false);
    for (int i = 0; i < DrumPadCount; ++i)
        DrumPads[size_t(i)]->setGeometry((i / DrumRows) * w, (i % DrumRows) * h, w, h);
    if (!heldAlready)
        panel->setUpdatesEnabled(true);
}

void TFormMain::ButtonDrumFontSetClick()
{
    if (FormDrumColor)
        RunModal(*FormDrumColor);
}

void TFormMain::ApplyDrumAppearance(uint32_t back, uint32_t fore, uint32_t reverseBack, uint32_t reverseFore,
                                    const QFont& font)
{
    DrumBackColor = back;
    DrumForeColor = fore;
    DrumReverseBackColor = reverseBack;
    DrumReverseForeColor = reverseFore;
    QWidget* panel = ui->PanelDrum;
    const bool heldAlready = panel->testAttribute(Qt::WA_ForceUpdatesDisabled);
    panel->setUpdatesEnabled(false);
    for (TDrumPad* pad : DrumPads) {
        pad->SetColors(back, fore);
        pad->setFont(font);
    }
    if (!heldAlready)
        panel->setUpdatesEnabled(true);
}

TDrumColors TFormMain::DrumColors() const
{
    return {DrumBackColor, DrumForeColor, DrumReverseBackColor, DrumReverseForeColor};
}

QFont TFormMain::DrumFont() const
{
    return DrumPads[0] ? DrumPads[0]->font() : font();
}
