#include "DrumPage.h"

#include "Dialogs.h"
#include "IniFile.h"
#include "Language.h"
#include "MidiMessages.h"
#include "NameLists.h"
#include "Session.h"
#include "ShortNames.h"
#include "Widgets.h"
#include "ui_DrumPage.h"

#include <QDialog>
#include <QEvent>
#include <QTextDocument>
#include <QTextLayout>

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

// A name wrapped at its line breaks into lines of `width` pixels, or none when it takes more than
// `maxLines` lines or has a word wider than a line.
QStringList WrappedLines(const QString& name, const QFont& font, int width, int maxLines)
{
    QTextLayout layout(name, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    bool fits = true;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        fits = fits && line.naturalTextWidth() <= width && lines.size() < maxLines;
        lines << name.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return fits ? lines : QStringList();
}

} // namespace

TDrumPage::TDrumPage(TSession& session, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TDrumPage>()), Session(session)
{
    ui->setupUi(this);
    QFont comboFont(QStringLiteral("ＭＳ Ｐゴシック"));
    comboFont.setPixelSize(15);
    ui->ComboDrumList->setFont(comboFont);
    for (int n = 0; n < DrumPadCount; ++n) {
        auto* pad = new TDrumPad(ui->PanelDrum);
        pad->setObjectName(DrumPadPrefix + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
        // Names come from a data file: shown as they are, never as markup.
        pad->setTextFormat(Qt::PlainText);
        connect(pad, &TDrumPad::MouseDown, this, [this, pad, n] { RunReported([&] { DrumPadMouseDown(pad, n); }); });
        connect(pad, &TDrumPad::MouseUp, this, [this, pad, n] { RunReported([&] { DrumPadMouseUp(pad, n); }); });
        DrumPads[size_t(n)] = pad;
    }
    // The page's layout docks the strip at the bottom and lets the panel fill the rest.
    ui->PanelDrum->installEventFilter(this);
    connect(ui->ButtonDrumFontSet, &QPushButton::clicked, this, [this] { ButtonDrumFontSetClick(); });
}

TDrumPage::~TDrumPage() = default;

QString TDrumPage::NoteIniPath() const
{
    return FindDataFile(Session.ProgramFolder(), QStringLiteral("note.ini"));
}

void TDrumPage::Restore(const TMainSettings& settings)
{
    // The drum lists: the sections of note.ini, in file order.
    const TIniFile noteIni = TIniFile::Load(NoteIniPath());
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
    Colors = {uint32_t(settings.DrumBackColor), uint32_t(settings.DrumForeColor), uint32_t(settings.DrumReverseBackColor),
              uint32_t(settings.DrumReverseForeColor)};
    FColorDialogEntries = settings.ColorDialogEntries;
    for (TDrumPad* pad : DrumPads) {
        pad->setFont(drumFont);
        pad->SetColors(Colors.Back, Colors.Fore);
    }

    // Name the pads, and follow the list from now on.
    ComboDrumListChange();
    connect(ui->ComboDrumList, &QComboBox::currentIndexChanged, this, [this] { ComboDrumListChange(); });
}

void TDrumPage::Collect(TMainSettings& s) const
{
    s.DrumListName = ui->ComboDrumList->currentText();
    s.DrumFont = SettingFromFont(DrumFont(), DrumFontCharacterSet);
    s.DrumBackColor = int(Colors.Back);
    s.DrumForeColor = int(Colors.Fore);
    s.DrumReverseForeColor = int(Colors.ReverseFore);
    s.DrumReverseBackColor = int(Colors.ReverseBack);
    s.ColorDialogEntries = FColorDialogEntries;
}

bool TDrumPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->PanelDrum && event->type() == QEvent::Resize)
        LayOut();
    return false;
}

void TDrumPage::ComboDrumListChange()
{
    QStringList names;
    if (ui->ComboDrumList->currentIndex() >= 0) {
        const TIniFile noteIni = TIniFile::Load(NoteIniPath());
        names = DrumPadNames(noteIni, ui->ComboDrumList->currentText());
    }
    for (int n = 0; n < DrumPadCount; ++n) {
        const QString name = n < names.size() ? names[n] : QString::number(n);
        DrumPads[size_t(n)]->setText(name);
        DrumPads[size_t(n)]->setToolTip(HintForName(name));
        DrumPads[size_t(n)]->setAccessibleName(QStringLiteral("%1 (%2)").arg(name).arg(n));
    }
    MeasurePadInk();
    ShownForSize = {};
    ShowPadNames();
}

void TDrumPage::MeasurePadInk()
{
    // The highest and deepest ink of all the names and of the ellipsis, so that every pad
    // centres the same band and the names stand on one line.
    const QFontMetrics metrics(DrumPads[0]->font());
    int above = 0;
    int below = 0;
    for (const TDrumPad* pad : DrumPads) {
        for (const QString& text : {pad->text(), QStringLiteral("\u2026")}) {
            const QRect ink = metrics.tightBoundingRect(text);
            above = std::max(above, -ink.top());
            below = std::max(below, ink.bottom() + 1);
        }
    }
    for (TDrumPad* pad : DrumPads)
        pad->SetInkExtent(above, below);
}

void TDrumPage::ShowPadNames()
{
    const TDrumPad* first = DrumPads[0];
    if (first->size() == ShownForSize || first->width() <= 0)
        return;
    ShownForSize = first->size();
    const QFont font = first->font();
    const QFontMetrics metrics(font);
    const int room = first->TextArea().width();
    QStringList names;
    for (const TDrumPad* pad : DrumPads)
        names << pad->text();
    const QStringList shortNames =
        DistinctShortNames(names, room, [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    // A pad tall enough for more lines shows a long name wrapped, whole, where it fits.
    const QRect probe = metrics.tightBoundingRect(QStringLiteral("Ag\u2026"));
    const int lines = std::max(1, 1 + (first->TextArea().height() - probe.height()) / std::max(1, metrics.lineSpacing()));
    for (int n = 0; n < DrumPadCount; ++n) {
        QString shown = shortNames[n];
        if (shown != names[n] && lines > 1) {
            const QStringList wrapped = WrappedLines(names[n], font, room, lines);
            if (!wrapped.isEmpty())
                shown = wrapped.join(QLatin1Char('\n'));
        }
        DrumPads[size_t(n)]->SetShownText(shown == names[n] ? QString() : shown);
    }
}

void TDrumPage::DrumPadMouseDown(TDrumPad* pad, int note)
{
    // The pad's own number: transposition is for the keyboard only.
    Session.Send(NoteOn(Session.Channel(), note, Session.OnVelocity()));
    pad->SetColors(Colors.ReverseBack, Colors.ReverseFore);
}

void TDrumPage::DrumPadMouseUp(TDrumPad* pad, int note)
{
    Session.Send(NoteOff(Session.Channel(), note, Session.OffVelocity()));
    pad->SetColors(Colors.Back, Colors.Fore);
}

void TDrumPage::LayOut()
{
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
    ShowPadNames();
    if (!heldAlready)
        panel->setUpdatesEnabled(true);
}

void TDrumPage::ButtonDrumFontSetClick()
{
    if (DrumColor)
        RunModal(*DrumColor);
}

void TDrumPage::ApplyDrumAppearance(uint32_t back, uint32_t fore, uint32_t reverseBack, uint32_t reverseFore,
                                    const QFont& font)
{
    Colors = {back, fore, reverseBack, reverseFore};
    QWidget* panel = ui->PanelDrum;
    const bool heldAlready = panel->testAttribute(Qt::WA_ForceUpdatesDisabled);
    panel->setUpdatesEnabled(false);
    for (TDrumPad* pad : DrumPads) {
        pad->SetColors(back, fore);
        pad->setFont(font);
    }
    MeasurePadInk();
    ShownForSize = {};
    ShowPadNames();
    if (!heldAlready)
        panel->setUpdatesEnabled(true);
}

TDrumColors TDrumPage::DrumColors() const
{
    return Colors;
}

QFont TDrumPage::DrumFont() const
{
    return DrumPads[0]->font();
}

QPoint TDrumPage::DrumColorDialogPlace() const
{
    return window()->pos() + QPoint(50, 200);
}

bool TDrumPage::HintsShown() const
{
    // The application-wide switch the function menu's check mark sets.
    return ::HintsShown();
}
