// The input device choice and the monitor of received MIDI.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "HexText.h"
#include "MidiFiles.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

#include <QMetaObject>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>


namespace {

// The entry that stops the monitor; the settings file stores it by its Japanese name in any language.
// Each entry of the input list knows its device number; the device in use that has gone has none.
constexpr int InputDeviceRole = Qt::UserRole + 1;
constexpr int VanishedInput = -2;

const char* const NoInputEntry = QT_TRANSLATE_NOOP("TFormMain", "MIDI入力なし");
const char* const OverflowMessage = QT_TRANSLATE_NOOP("TFormMain", "MIDIイン・オーバーフロー");
const char* const OverflowCountLine = QT_TRANSLATE_NOOP("TFormMain", "（前回の表示中に、さらに%1件の入力が失われました）");

QString LabelMidiInText(qint64 bytes)
{
    return TFormMain::tr("MIDI入力（%1バイト）").arg(bytes);
}

// One paragraph of the memo holds up to this many lines, apart by line separators (U+2028), which
// the memo shows and gives back as line breaks like any other. A paragraph per line would cost
// some 250 bytes a line (block records and the layout every shown block keeps), a million lines
// a quarter of a gigabyte; and the last paragraph, laid out again at each append, stays small.
constexpr int LinesPerParagraph = 32;
constexpr int CharactersPerParagraph = 4096;  // a long system exclusive line gets one of its own

// Appends lines, each ended by '\n', at the end of the memo, and keeps the view on the last line
// when it was there.
void AppendMonitorLines(QPlainTextEdit* memo, const QString& lines)
{
    QTextDocument* document = memo->document();
    QScrollBar* bar = memo->verticalScrollBar();
    const bool follow = !memo->isVisible() || bar->value() >= bar->maximum();
    const QTextBlock last = document->lastBlock();
    bool anyBefore = !document->isEmpty();
    qsizetype inParagraph = anyBefore ? last.text().count(QChar::LineSeparator) + 1 : 0;
    qsizetype charactersInParagraph = anyBefore ? last.length() - 1 : 0;
    QString text;
    text.reserve(lines.size() + 1);
    for (qsizetype start = 0; start < lines.size();) {
        qsizetype end = lines.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = lines.size();
        const qsizetype length = end - start;
        if (anyBefore) {
            if (inParagraph >= LinesPerParagraph || charactersInParagraph + length > CharactersPerParagraph) {
                text += QChar::ParagraphSeparator;
                inParagraph = 0;
                charactersInParagraph = 0;
            } else {
                text += QChar::LineSeparator;
            }
        }
        text += QStringView(lines).mid(start, length);
        anyBefore = true;
        ++inParagraph;
        charactersInParagraph += length + 1;
        start = end + 1;
    }
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (follow)
        bar->setValue(bar->maximum());
}

}  // namespace

// Start-up step 11: the device list, and the monitor's controls wired to their handlers.
void TFormMain::FillInputDeviceList()
{
    QFont labelFont = ui->LabelMidiIn->font();
    labelFont.setPixelSize(16);
    ui->LabelMidiIn->setFont(labelFont);
    ui->MemoMidiIn->setReadOnly(true);
    ui->MemoMidiIn->setUndoRedoEnabled(false);  // nobody edits it; an undo record per line would only cost memory
    ui->MemoMidiIn->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui->MemoMidiIn->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ui->ButtonInClear->setEnabled(false);
    ui->ButtonInSaveBinary->setEnabled(false);
    ui->ButtonInSaveText->setEnabled(false);

    QComboBox* combo = ui->ComboMidiInDevice;
    combo->setEditable(false);
    FillInputDeviceItems(QString());
    // The list used to be read by choosing each device in turn; the port is left on the last.
    if (MidiInput->DeviceCount() > 0) {
        try {
            MidiInput->SetDeviceID(uint16_t(MidiInput->DeviceCount() - 1));
        } catch (const EMidiInputError&) {
            // That device could not be described; its entry says so already.
        }
    }
    // Read afresh at each opening, keeping the device in use selected by its name.
    connect(ui->ComboMidiInDevice, &TPortComboBox::AboutToShowPopup, this, [this] {
        RunReported([&] {
            const QComboBox* combo = ui->ComboMidiInDevice;
            FillInputDeviceItems(combo->currentIndex() > 0 ? combo->currentData().toString() : QString());
        });
    });

    MidiInput->OnMidiInput = [this](QObject*) { RunReported([&] { MidiInputMidiInput(); }); };
    MidiInput->OnOverflow = [this](QObject*) { RunReported([&] { MidiInputOverflow(); }); };
    // Only the user's choice: the start-up restore runs the handler itself, also when the saved
    // entry is the one already selected.
    connect(combo, &QComboBox::activated, this, [this] { RunReported([&] { ComboMidiInDeviceChange(); }); });
    connect(ui->ButtonInClear, &QPushButton::clicked, this, [this] { RunReported([&] { ButtonInClearClick(); }); });
    connect(ui->ButtonInSaveBinary, &QPushButton::clicked, this,
            [this] { RunReported([&] { ButtonInSaveBinaryClick(); }); });
    connect(ui->ButtonInSaveText, &QPushButton::clicked, this,
            [this] { RunReported([&] { ButtonInSaveTextClick(); }); });
    connect(ui->MemoMidiIn, &QPlainTextEdit::textChanged, this, [this] { MemoMidiInChange(); });
}

void TFormMain::FillInputDeviceItems(const QString& inUse)
{
    QComboBox* combo = ui->ComboMidiInDevice;
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItem(tr(NoInputEntry), QString::fromUtf8(NoInputEntry));
    combo->setItemData(0, -1, InputDeviceRole);
    const std::vector<std::string> names = MidiInput->ReadDeviceNames();
    int selected = 0;
    for (size_t device = 0; device < names.size(); ++device) {
        const QString name = QString::fromStdString(names[device]);
        combo->addItem(name, name);
        combo->setItemData(combo->count() - 1, int(device), InputDeviceRole);
        if (!inUse.isEmpty() && name == inUse && selected == 0)
            selected = combo->count() - 1;
    }
    // The device in use has gone: it stays selected until another is chosen.
    if (!inUse.isEmpty() && selected == 0) {
        combo->addItem(inUse, inUse);
        combo->setItemData(combo->count() - 1, VanishedInput, InputDeviceRole);
        selected = combo->count() - 1;
    }
    combo->setCurrentIndex(selected);
}

// Start-up step 20. Every entry is compared, not only the first match: when two devices share the
// saved name each is opened in turn and the last one stays.
void TFormMain::RestoreInputDevice(const QString& savedName)
{
    QComboBox* combo = ui->ComboMidiInDevice;
    for (int index = 0; index < combo->count(); ++index) {
        if (combo->itemData(index).toString() != savedName)
            continue;
        combo->setCurrentIndex(index);
        RunReported([&] { ComboMidiInDeviceChange(); });
    }
}

// Clearing restarts the port on the device the list shows, which is now the one chosen; with
// "no input" chosen it only closes the port.
void TFormMain::ComboMidiInDeviceChange()
{
    ButtonInClearClick();
}

// The port restarts on the device the list shows, not on the number it was opened by: devices
// come and go, and that number may now name another device, or none. The entry's number is
// tried first (two devices may share a name), then the name.
void TFormMain::RestartChosenInput()
{
    MidiInput->Close();
    const QComboBox* combo = ui->ComboMidiInDevice;
    const int index = combo->currentIndex();
    const int device = combo->itemData(index, InputDeviceRole).toInt();
    if (index <= 0)
        return;  // no input chosen
    const std::string name = combo->itemData(index).toString().toStdString();
    bool numberNamesIt = false;
    try {
        if (device != VanishedInput) {
            MidiInput->SetDeviceID(uint16_t(device));
            numberNamesIt = MidiInput->ProductName() == name;
        }
    } catch (const EMidiInputError&) {
        // Fewer devices now: look for the name.
    }
    try {
        if (!numberNamesIt)
            MidiInput->SetProductName(name);  // a device that had gone may be back
    } catch (const EMidiInputError&) {
        return;  // gone: nothing to monitor
    }
    MidiInput->Open();  // a device that fails to open simply shows nothing
    MidiInput->Start();
}

// One event per notification. The memo and the byte count catch up once per turn of the event
// loop: a burst of thousands of messages costs one append, one layout and one paint, not
// thousands.
void TFormMain::MidiInputMidiInput()
{
    const std::unique_ptr<TMidiEvent> event = MidiInput->GetMidiEvent();
    if (!event)
        return;
    ui->ButtonInSaveBinary->setEnabled(true);
    ui->ButtonInClear->setEnabled(true);
    ui->ButtonInSaveText->setEnabled(true);
    if (event->StatusByte == 0xF0) {
        const QByteArray bytes(reinterpret_cast<const char*>(event->SysexData.get()), qsizetype(event->SysexSize));
        ReceivedBytes.append(bytes);
        MonitorPending += SysexMonitorLine(bytes);
    } else {
        // Always three bytes, whatever the message: C0 05 is shown and kept as c0 05 00.
        ReceivedBytes.append(char(event->StatusByte));
        ReceivedBytes.append(char(event->DataByte1));
        ReceivedBytes.append(char(event->DataByte2));
        MonitorPending += ShortMonitorLine(event->StatusByte, event->DataByte1, event->DataByte2);
    }
    MonitorPending += QLatin1Char('\n');
    if (!MonitorFlushQueued) {
        MonitorFlushQueued = true;
        QMetaObject::invokeMethod(this, [this] { FlushMonitor(); }, Qt::QueuedConnection);
    }
}

void TFormMain::FlushMonitor()
{
    MonitorFlushQueued = false;
    if (MonitorPending.isEmpty())
        return;
    AppendMonitorLines(ui->MemoMidiIn, MonitorPending);
    MonitorPending.clear();
    ui->LabelMidiIn->setText(LabelMidiInText(ReceivedBytes.size()));
}

// A burst of lost events must not stack one modal box on another (each box's own loop would
// take the next overflow and open the next box, without end): while a box is open the losses
// are only counted, and the next box says how many there were.
void TFormMain::MidiInputOverflow()
{
    if (OverflowBoxOpen) {
        ++OverflowsWhileOpen;
        return;
    }
    QString text = tr(OverflowMessage);
    if (OverflowsWhileOpen > 0)
        text += QLatin1Char('\n') + tr(OverflowCountLine).arg(OverflowsWhileOpen);
    OverflowsWhileOpen = 0;
    OverflowBoxOpen = true;
    ShowMessage(this, text);
    OverflowBoxOpen = false;
}

void TFormMain::ButtonInClearClick()
{
    ui->MemoMidiIn->clear();
    MonitorPending.clear();
    ReceivedBytes.clear();
    ui->LabelMidiIn->setText(tr("MIDI入力"));
    RestartChosenInput();
}

void TFormMain::ButtonInSaveBinaryClick()
{
    FlushMonitor();
    const QString path = ExecuteFileDialog(this, SyxFileRequest(true, BinaryFolder));
    if (path.isEmpty())
        return;
    BinaryFolder = FolderOf(path);
    WriteWholeFile(path, ReceivedBytes);
}

void TFormMain::ButtonInSaveTextClick()
{
    FlushMonitor();
    const QString path = ExecuteFileDialog(this, TextFileRequest(true, TextFolder));
    if (path.isEmpty())
        return;
    TextFolder = FolderOf(path);
    // The memo keeps its lines apart with LF; the file ends every line with CR LF.
    QByteArray text = ui->MemoMidiIn->toPlainText().toUtf8();
    if (!text.isEmpty()) {
        text.replace('\n', "\r\n");
        text.append("\r\n");
    }
    WriteWholeFile(path, text);
}

void TFormMain::MemoMidiInChange()
{
    // isEmpty, not the text: the memo may hold a million lines.
    const bool any = !ui->MemoMidiIn->document()->isEmpty();
    ui->ButtonInClear->setEnabled(any);
    ui->ButtonInSaveBinary->setEnabled(any);
    ui->ButtonInSaveText->setEnabled(any);
}
