// The program selection dialog. A press on a line sends that program at once and sounds a test
// note through the main keyboard; OK keeps the program sent last, Cancel goes back to the one the
// dialog opened with. Both are put into the main window's program field and sent at the close.
#include "ProgramListDialog.h"

#include "Dialogs.h"
#include "IniFile.h"
#include "Language.h"
#include "MidiFiles.h"
#include "NameLists.h"
#include "Settings.h"
#include "SpinEdit.h"
#include "Widgets.h"
#include "ui_ProgramListDialog.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>

#include <algorithm>

namespace {

const char* const HintListMain = QT_TRANSLATE_NOOP("TProgramListDialog", "プログラムを選択します。クリックするとその音色が鳴ります。\n"
                                                                     "マウスの左右ボタンで音程が1オクターブ異なります");
const char* const HintButtonFontSet = QT_TRANSLATE_NOOP("TProgramListDialog", "一覧表示のフォントを選択します");
const char* const HintSpinEditColumn = QT_TRANSLATE_NOOP("TProgramListDialog", "一覧表示で一度に何列表示するかを指定します");
const char* const HintComboProgramList = QT_TRANSLATE_NOOP(
    "TProgramListDialog", "一覧表示に使うプログラムの名前セットを選択します。program.iniから読み込んでいます");
const char* const HintButtonCancel = QT_TRANSLATE_NOOP("TProgramListDialog", "音色選択を中止し，元の画面に戻ります");
const char* const HintButtonOK = QT_TRANSLATE_NOOP("TProgramListDialog", "音色を選択して元の画面に戻ります");

const QString DialogFontName = QStringLiteral("ＭＳ Ｐゴシック");

// The left button plays C4, the others an octave higher.
constexpr int LeftNote = 60;
constexpr int OtherNote = 72;

// PanelButton's width as designed: the combo box grows with the strip and the two buttons on
// its right keep their distance from the strip's right edge.
constexpr int DesignedStripWidth = 592;
constexpr int DesignedStripHeight = 40;
constexpr int DesignedComboWidth = 244;
constexpr int DesignedComboLeft = 168;
constexpr int DesignedSpinLeft = 120;
constexpr int DesignedCancelLeft = 416;
constexpr int DesignedOkLeft = 504;

bool IsTestNoteButton(Qt::MouseButton button)
{
    return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

int NoteFor(Qt::MouseButton button)
{
    return button == Qt::LeftButton ? LeftNote : OtherNote;
}

int SelectedLine(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

} // namespace

TProgramListDialog::TProgramListDialog(TProgramListHost& host, QWidget* parent)
    : QDialog(parent), Host(host), ui(std::make_unique<Ui::TProgramListDialog>())
{
    ui->setupUi(this);
    FormCreate();
}

TProgramListDialog::~TProgramListDialog() = default;

void TProgramListDialog::FormCreate()
{
    // Sizeable, with a maximise box and no minimise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    QFont dialogFont(DialogFontName);
    dialogFont.setPixelSize(12);
    setFont(dialogFont);
    QFont fieldFont(DialogFontName);
    fieldFont.setPixelSize(15);
    ui->SpinEditColumn->setFont(fieldFont);
    ui->ComboProgramList->setFont(fieldFont);
    ui->SpinEditColumn->SetTypingEnabled(false);
    FitColumnLabel();
    FitCaptionsToTheirPlaces(ui->PanelButton, QRect(0, 0, DesignedStripWidth, DesignedStripHeight));

    // The form's layout keeps PanelButton at the bottom and lets ListMain fill the rest.
    ui->ListMain->viewport()->installEventFilter(this);
    ui->PanelButton->installEventFilter(this);

    // The settings, and the name sets of program.ini.
    const TIniFile settingsFile = TIniFile::Load(Host.SettingsPath());
    const TIniFile programIni = TIniFile::Load(ProgramIniPath());
    const TProgramListSettings settings = ReadProgramListSettings(settingsFile, CurrentScreens());

    // The name sets, and the one chosen last time (else the first).
    {
        const QSignalBlocker blocker(ui->ComboProgramList);
        const QStringList sections = programIni.Sections();
        ui->ComboProgramList->addItems(sections);
        int chosen = DefaultListIndex(sections);
        for (int i = 0; i < sections.size(); ++i) {
            if (sections[i].compare(settings.ListName, Qt::CaseInsensitive) == 0) {
                chosen = i;
                break;
            }
        }
        ui->ComboProgramList->setCurrentIndex(sections.isEmpty() ? -1 : chosen);
    }

    // Placement, already checked against the primary screen.
    move(settings.Left, settings.Top);
    resize(settings.Width, settings.Height);

    // The list's font.
    FCharacterSet = settings.Font.CharacterSet;
    SetListFont(FontFromSetting(settings.Font));

    // The number of columns, in the list and in its box.
    SetColumns(settings.Columns);
    ui->SpinEditColumn->SetValue(settings.Columns);

    // The names of the chosen set.
    ComboProgramListChange();

    AssignHints();

    connect(ui->ComboProgramList, &QComboBox::currentIndexChanged, this, [this] { ComboProgramListChange(); });
    // Its arrows step the value without a text report: follow the value.
    connect(ui->SpinEditColumn, &QSpinBox::valueChanged, this, [this] { SpinEditColumnChange(); });
    connect(ui->ButtonFontSet, &QPushButton::clicked, this, [this] { ButtonFontSetClick(); });
    // Both close the dialog; the close reports its own send failures and closes regardless.
    connect(ui->ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(ui->ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });
}

QStringList TProgramListDialog::ProgramNames() const
{
    QStringList names;
    for (int row = 0; row < ui->ListMain->count(); ++row)
        names.append(ui->ListMain->item(row)->text().section(QLatin1Char('='), 1));
    return names;
}

void TProgramListDialog::AssignHints()
{
    // The pointer rests on the list's viewport and on the spin field's text box, not on the
    // controls themselves: they carry the hint too.
    ui->ListMain->setToolTip(tr(HintListMain));
    ui->ListMain->viewport()->setToolTip(tr(HintListMain));
    for (QLineEdit* text : ui->SpinEditColumn->findChildren<QLineEdit*>())
        text->setToolTip(tr(HintSpinEditColumn));
    ui->ButtonFontSet->setToolTip(tr(HintButtonFontSet));
    ui->SpinEditColumn->setToolTip(tr(HintSpinEditColumn));
    ui->ComboProgramList->setToolTip(tr(HintComboProgramList));
    ui->ButtonCancel->setToolTip(tr(HintButtonCancel));
    ui->ButtonOK->setToolTip(tr(HintButtonOK));
}

QString TProgramListDialog::ProgramIniPath() const
{
    return FindDataFile(Host.ProgramFolder(), QStringLiteral("program.ini"));
}

void TProgramListDialog::ComboProgramListChange()
{
    ui->ListMain->clear();
    if (ui->ComboProgramList->currentIndex() < 0) {
        emit ProgramNamesChanged();
        return;
    }
    // Read afresh: the file may have been edited while the program runs.
    const TIniFile programIni = TIniFile::Load(ProgramIniPath());
    ui->ListMain->addItems(ProgramListLines(programIni, ui->ComboProgramList->currentText()));
    UpdateColumnWidth();
    emit ProgramNamesChanged();
}

void TProgramListDialog::SpinEditColumnChange()
{
    SetColumns(ui->SpinEditColumn->Value());
}

void TProgramListDialog::SetColumns(int columns)
{
    FColumns = std::clamp(columns, 1, 5);
    UpdateColumnWidth();
}

void TProgramListDialog::SetListFont(const QFont& font)
{
    ui->ListMain->setFont(font);
    UpdateColumnWidth();
}

void TProgramListDialog::UpdateColumnWidth()
{
    // Lines run down a column and wrap into the next one; each column takes an equal share of
    // the visible width, further columns are reached by scrolling sideways.
    QListWidget* list = ui->ListMain;
    const int width = std::max(1, list->viewport()->width() / FColumns);
    int height = list->fontMetrics().height() + 2;
    if (list->count() > 0)
        height = std::max(height, list->sizeHintForRow(0));
    if (list->gridSize() != QSize(width, height))
        list->setGridSize(QSize(width, height));
}

void TProgramListDialog::FitColumnLabel()
{
    // Drawn for a one-character caption: a longer one (the English) takes the room it needs
    // from the list-name box, which stretches with the strip anyway.
    QLabel* label = ui->LabelColumn;
    const QFontMetrics metrics(label->font());
    const int width = std::max(label->width(), metrics.horizontalAdvance(label->text()) + 1);
    label->resize(width, label->height());
    ColumnLabelShift = std::max(0, label->x() + width + 4 - DesignedSpinLeft);
    ui->SpinEditColumn->move(DesignedSpinLeft + ColumnLabelShift, ui->SpinEditColumn->y());
    LayOutButtonStrip();
}

void TProgramListDialog::LayOutButtonStrip()
{
    const int grow = ui->PanelButton->width() - DesignedStripWidth;
    QComboBox* combo = ui->ComboProgramList;
    combo->setGeometry(DesignedComboLeft + ColumnLabelShift, combo->y(),
                       std::max(40, DesignedComboWidth + grow - ColumnLabelShift), combo->height());
    ui->ButtonCancel->move(DesignedCancelLeft + grow, ui->ButtonCancel->y());
    ui->ButtonOK->move(DesignedOkLeft + grow, ui->ButtonOK->y());
}

void TProgramListDialog::ButtonFontSetClick()
{
    if (const auto chosen = ExecuteFontDialog(this, ui->ListMain->font()))
        SetListFont(*chosen);
}

void TProgramListDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunReported([&] { FormShow(); });
}

void TProgramListDialog::FormShow()
{
    FPressedNotes.clear();
    FSoundingNotes.clear();
    const int program = Host.ShownProgram();
    ResultProgram = program;
    if (program >= 0 && program < ui->ListMain->count()) {
        ui->ListMain->setCurrentRow(program);
        ui->ListMain->scrollToItem(ui->ListMain->item(program));
    } else {
        ui->ListMain->setCurrentRow(-1);
        ui->ListMain->clearSelection();
    }
    Host.SendProgramChange();
    LastSentProgram = program;
    SetHintsShown(Host.HintsShown());
}

bool TProgramListDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->PanelButton && event->type() == QEvent::Resize)
        LayOutButtonStrip();
    if (watched != ui->ListMain->viewport())
        return QDialog::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::Resize:
        UpdateColumnWidth();
        return false;
    case QEvent::MouseButtonPress: {
        if (FForwardingPress)
            return false;
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::LeftButton) {
            // The list moves the selection to the line under the pointer first.
            FForwardingPress = true;
            QCoreApplication::sendEvent(watched, event);
            FForwardingPress = false;
        }
        // Other buttons never reach the list: they must leave the selection where it is.
        if (IsTestNoteButton(button))
            RunReported([&] { ListMainMouseDown(button); });
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        // Qt delivers the second press of a double-click before this event.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return true;
        ListMainDblClick();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (IsTestNoteButton(button))
            RunReported([&] { ListMainMouseUp(button); });
        return button != Qt::LeftButton;
    }
    default:
        return false;
    }
}

void TProgramListDialog::ListMainMouseDown(Qt::MouseButton button)
{
    const int note = NoteFor(button);
    FPressedNotes.insert(note);
    const int line = SelectedLine(ui->ListMain);
    Host.ShowProgram(line);
    if (line != LastSentProgram) {
        Host.SendProgramChange();
        LastSentProgram = line;
    }
    // A message box raised by the send runs its own loop: when the button came up meanwhile,
    // a note started now would never be released.
    if (FPressedNotes.contains(note) && isVisible()) {
        Host.KeyNoteOn(note);
        FSoundingNotes.insert(note);
    }
}

void TProgramListDialog::ListMainMouseUp(Qt::MouseButton button)
{
    const int note = NoteFor(button);
    FPressedNotes.remove(note);
    if (FSoundingNotes.remove(note))
        Host.KeyNoteOff(note);
}

void TProgramListDialog::ListMainDblClick()
{
    // A double-click is two presses: each has sent and sounded already.
}

void TProgramListDialog::ReleaseTestNotes()
{
    FPressedNotes.clear();
    for (const int note : {LeftNote, OtherNote}) {
        if (FSoundingNotes.remove(note))
            Host.KeyNoteOff(note);
    }
}

void TProgramListDialog::ButtonOKClick()
{
    // A line whose press was refused (index 128 or more) has no program to keep.
    if (SelectedLine(ui->ListMain) < 0 || LastSentProgram < 0 || LastSentProgram > 127) {
        ShowMessage(this, tr(ChooseVoiceMessage));
        return;
    }
    ResultProgram = LastSentProgram;
    accept();
}

void TProgramListDialog::ButtonCancelClick()
{
    reject();
}

void TProgramListDialog::done(int result)
{
    // The close box and Escape come here through reject(), the buttons through accept() and
    // reject(); the guard keeps a close from running twice.
    if (isVisible() && !FClosing) {
        FClosing = true;
        FormClose();
        FClosing = false;
    }
    QDialog::done(result);
}

void TProgramListDialog::FormClose()
{
    // A failed send ends the sends of this close, not the close itself: the placement is
    // still saved and the dialog still closes.
    RunReported([&] {
        // The dialog will not see the releases of buttons still held.
        ReleaseTestNotes();
        Host.ShowProgram(ResultProgram);
        Host.SendProgramChange();
    });

    // The normal placement is the one saved. Top and Left are the frame's corner, as when
    // they are applied; the normal geometry is the client area's.
    const bool maximized = windowState() & Qt::WindowMaximized;
    QRect placement(pos(), size());
    if (maximized) {
        const QPoint frame = geometry().topLeft() - pos();
        placement = QRect(normalGeometry().topLeft() - frame, normalGeometry().size());
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }

    // Saved even when a send above failed.
    WriteSettings(placement);
}

void TProgramListDialog::WriteSettings(const QRect& placement)
{
    TProgramListSettings settings;
    settings.Top = placement.top();
    settings.Left = placement.left();
    settings.Height = placement.height();
    settings.Width = placement.width();
    settings.ListName = ui->ComboProgramList->currentText();
    settings.Font = SettingFromFont(ui->ListMain->font(), FCharacterSet);
    settings.Columns = FColumns;

    // The rest of the file is the main window's: load it as it is now and change only this section.
    const QString path = Host.SettingsPath();
    TIniFile file = TIniFile::Load(path);
    WriteProgramListSettings(file, settings);
    QString error;
    if (!file.Save(&error))
        ShowErrorReport(CannotWriteSettingsMessage(path, WriteFailureReason(path)));
}
