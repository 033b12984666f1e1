#include "DrumColorDialog.h"

#include "Dialogs.h"
#include "Widgets.h"
#include "ui_DrumColorDialog.h"

#include <QColorDialog>
#include <QShowEvent>

#include <array>

namespace {

// The colour dialog has sixteen custom colour slots, kept as entries "ColorA".."ColorP" whose
// values are six hexadecimal digits of the colour number.
constexpr int CustomColorCount = 16;
const QString CustomColorPrefix = QStringLiteral("Color");

// The slot an entry names (names compare without case), or −1 for any other entry.
int CustomColorSlot(const QString& entry)
{
    const qsizetype equals = entry.indexOf(u'=');
    if (equals < 0)
        return -1;
    const QString name = entry.left(equals).trimmed();
    if (name.size() != CustomColorPrefix.size() + 1 || !name.startsWith(CustomColorPrefix, Qt::CaseInsensitive))
        return -1;
    const int slot = name.back().toUpper().unicode() - u'A';
    return slot >= 0 && slot < CustomColorCount ? slot : -1;
}

// Slots without a readable entry start white, as the dialog's own empty slots are.
void LoadCustomColors(const QStringList& entries)
{
    std::array<bool, CustomColorCount> loaded{};
    for (int slot = 0; slot < CustomColorCount; ++slot)
        QColorDialog::setCustomColor(slot, Qt::white);
    for (const QString& entry : entries) {
        const int slot = CustomColorSlot(entry);
        if (slot < 0 || loaded[size_t(slot)])
            continue;  // the first entry of a name counts, as in the settings file
        loaded[size_t(slot)] = true;
        bool ok = false;
        const uint number = entry.mid(entry.indexOf(u'=') + 1).trimmed().toUInt(&ok, 16);
        if (ok && number <= 0xFFFFFF)
            QColorDialog::setCustomColor(slot, ColorFromNumber(number));
    }
}

QString CustomColorEntry(int slot)
{
    const uint32_t number = NumberFromColor(QColorDialog::customColor(slot));
    return CustomColorPrefix + QChar(u'A' + slot) + u'=' + QStringLiteral("%1").arg(number, 6, 16, QLatin1Char('0')).toUpper();
}

// Every slot is written back in place of its old entry; entries that name no slot stay.
void SaveCustomColors(QStringList& entries)
{
    std::array<bool, CustomColorCount> written{};
    QStringList result;
    for (const QString& entry : entries) {
        const int slot = CustomColorSlot(entry);
        if (slot < 0) {
            result.append(entry);
        } else if (!written[size_t(slot)]) {
            written[size_t(slot)] = true;
            result.append(CustomColorEntry(slot));
        }
        // A later entry of the same slot is dropped: written after the first, it would undo it.
    }
    for (int slot = 0; slot < CustomColorCount; ++slot)
        if (!written[size_t(slot)])
            result.append(CustomColorEntry(slot));
    entries = result;
}

} // namespace

TDrumColorDialog::TDrumColorDialog(TDrumColorHost& host, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TDrumColorDialog>()), Host(host)
{
    ui->setupUi(this);
    FormCreate();
}

TDrumColorDialog::~TDrumColorDialog() = default;

void TDrumColorDialog::FormCreate()
{
    // Designer keeps fonts in points; the dialog's font is 12 px high whatever the screen.
    QFont dialogFont = font();
    dialogFont.setPixelSize(12);
    setFont(dialogFont);
    setFixedSize(321, 160);
    FitCaptionsToTheirPlaces(this, rect());

    // The preview sizes itself to its text instead of wrapping it.
    ui->StaticTextDrum->setWordWrap(false);

    connect(ui->StaticTextDrum, &TDrumPad::MouseDown, this, [this] { StaticTextDrumMouseDown(); });
    connect(ui->StaticTextDrum, &TDrumPad::MouseUp, this, [this] { StaticTextDrumMouseUp(); });
    connect(ui->ButtonFont, &QPushButton::clicked, this, [this] { ButtonFontClick(); });
    connect(ui->ButtonBackColor, &QPushButton::clicked, this, [this] { ButtonBackColorClick(); });
    connect(ui->ButtonForeColor, &QPushButton::clicked, this, [this] { ButtonForeColorClick(); });
    connect(ui->ButtonReverseBackColor, &QPushButton::clicked, this, [this] { ButtonReverseBackColorClick(); });
    connect(ui->ButtonReverseForeColor, &QPushButton::clicked, this, [this] { ButtonReverseForeColorClick(); });
    connect(ui->ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(ui->ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
}

void TDrumColorDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TDrumColorDialog::FormShow()
{
    SetHintsShown(Host.HintsShown());
    const TDrumColors colors = Host.DrumColors();
    BackColor = colors.Back;
    ForeColor = colors.Fore;
    ReverseBackColor = colors.ReverseBack;
    ReverseForeColor = colors.ReverseFore;
    move(Host.DrumColorDialogPlace());
    ui->StaticTextDrum->SetColors(BackColor, ForeColor);
    ui->StaticTextDrum->setFont(Host.DrumFont());
    ui->StaticTextDrum->adjustSize();
    ui->ButtonOK->setFocus();
}

void TDrumColorDialog::StaticTextDrumMouseDown()
{
    ui->StaticTextDrum->SetColors(ReverseBackColor, ReverseForeColor);
}

void TDrumColorDialog::StaticTextDrumMouseUp()
{
    ui->StaticTextDrum->SetColors(BackColor, ForeColor);
}

void TDrumColorDialog::ButtonFontClick()
{
    // The text colour lives in the preview's palette, so a new face or size leaves it alone.
    if (const auto chosen = ExecuteFontDialog(this, ui->StaticTextDrum->font())) {
        ui->StaticTextDrum->setFont(*chosen);
        ui->StaticTextDrum->adjustSize();
    }
}

void TDrumColorDialog::ButtonBackColorClick()
{
    if (const auto chosen = ExecuteColorDialogFor(ui->StaticTextDrum->BackColor())) {
        BackColor = *chosen;
        ui->StaticTextDrum->SetColors(BackColor, ui->StaticTextDrum->ForeColor());
    }
}

void TDrumColorDialog::ButtonForeColorClick()
{
    if (const auto chosen = ExecuteColorDialogFor(ui->StaticTextDrum->ForeColor())) {
        ForeColor = *chosen;
        ui->StaticTextDrum->SetColors(ui->StaticTextDrum->BackColor(), ForeColor);
    }
}

// The pressed colours show on the preview only while it is pressed.
void TDrumColorDialog::ButtonReverseBackColorClick()
{
    if (const auto chosen = ExecuteColorDialogFor(ReverseBackColor))
        ReverseBackColor = *chosen;
}

void TDrumColorDialog::ButtonReverseForeColorClick()
{
    if (const auto chosen = ExecuteColorDialogFor(ReverseForeColor))
        ReverseForeColor = *chosen;
}

void TDrumColorDialog::ButtonOKClick()
{
    Host.ApplyDrumAppearance(BackColor, ForeColor, ReverseBackColor, ReverseForeColor, ui->StaticTextDrum->font());
    accept();
}

void TDrumColorDialog::ButtonCancelClick()
{
    reject();
}

std::optional<uint32_t> TDrumColorDialog::ExecuteColorDialogFor(uint32_t color)
{
    // The custom colours are shared by the whole program and kept whether the user confirms or
    // not, as the colour dialog itself keeps them.
    LoadCustomColors(Host.ColorDialogEntries());
    const std::optional<QColor> chosen = ExecuteColorDialog(this, ColorFromNumber(color));
    SaveCustomColors(Host.ColorDialogEntries());
    if (!chosen || !chosen->isValid())
        return std::nullopt;
    return NumberFromColor(chosen->toRgb());
}
