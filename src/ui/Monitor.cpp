#include "Monitor.h"

#include "Dialogs.h"
#include "HexText.h"
#include "MidiFiles.h"
#include "Session.h"
#include "Widgets.h"

#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
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

const char* const NoInputEntry = QT_TRANSLATE_NOOP("TMonitor", "MIDI入力なし");
const char* const OverflowMessage = QT_TRANSLATE_NOOP("TMonitor", "MIDIイン・オーバーフロー");
// The entry of a device in use that is not there now.
const char* const AbsentEntry = QT_TRANSLATE_NOOP("TMonitor", "%1（見つかりません）");
const char* const OverflowCountLine = QT_TRANSLATE_NOOP("TMonitor", "（前回の表示中に、さらに%1件の入力が失われました）");

QString LabelMidiInText(qint64 bytes)
{
    return TMonitor::tr("MIDI入力（%1バイト）").arg(bytes);
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

TMonitor::TMonitor(TSession& session, const TControls& controls, TFileFolders& folders, QObject* parent)
    : QObject(parent), Session(session), Controls(controls), Folders(folders)
{
    QFont labelFont = Controls.Label->font();
    labelFont.setPixelSize(16);
    Controls.Label->setFont(labelFont);
    Controls.Memo->setReadOnly(true);
    Controls.Memo->setUndoRedoEnabled(false);  // nobody edits it; an undo record per line would only cost memory
    Controls.Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Controls.Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Controls.Clear->setEnabled(false);
    Controls.SaveBinary->setEnabled(false);
    Controls.SaveText->setEnabled(false);
    Controls.Devices->setEditable(false);

    // Read afresh at each opening, keeping the device in use selected by its name.
    connect(Controls.Devices, &TPortComboBox::AboutToShowPopup, this, [this] {
        RunReported([&] {
            const QComboBox* combo = Controls.Devices;
            FillDeviceItems(combo->currentIndex() > 0 ? combo->currentData().toString() : QString());
        });
    });
    // Only the user's choice: the start-up restore runs the handler itself, also when the saved
    // entry is the one already selected. A choice clears the monitor, which starts the device
    // the list shows.
    connect(Controls.Devices, &QComboBox::activated, this, [this] { RunReported([&] { ClearAndRestart(); }); });
    connect(Controls.Clear, &QPushButton::clicked, this, [this] { RunReported([&] { ClearAndRestart(); }); });
    connect(Controls.SaveBinary, &QPushButton::clicked, this,
            [this] { RunReported([&] { ButtonInSaveBinaryClick(); }); });
    connect(Controls.SaveText, &QPushButton::clicked, this,
            [this] { RunReported([&] { ButtonInSaveTextClick(); }); });
    connect(Controls.Memo, &QPlainTextEdit::textChanged, this, [this] { MemoMidiInChange(); });
}

TMonitor::~TMonitor()
{
    if (Listening) {
        Session.Input().OnMidiInput = nullptr;
        Session.Input().OnOverflow = nullptr;
    }
}

void TMonitor::ListDevices()
{
    FillDeviceItems(QString());
    // The list used to be read by choosing each device in turn; the port is left on the last.
    if (Session.Input().DeviceCount() > 0) {
        try {
            Session.Input().SetDeviceID(uint16_t(Session.Input().DeviceCount() - 1));
        } catch (const EMidiInputError&) {
            // That device could not be described; its entry says so already.
        }
    }
    Session.Input().OnMidiInput = [this](QObject*) { RunReported([&] { TakeEvent(); }); };
    Session.Input().OnOverflow = [this](QObject*) { RunReported([&] { ShowOverflow(); }); };
    Listening = true;
}

QString TMonitor::ChosenDevice() const
{
    return Controls.Devices->currentData().toString();
}

void TMonitor::FillDeviceItems(const QString& inUse)
{
    QComboBox* combo = Controls.Devices;
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItem(tr(NoInputEntry), QString::fromUtf8(NoInputEntry));
    combo->setItemData(0, -1, InputDeviceRole);
    const std::vector<std::string> names = Session.Input().ReadDeviceNames();
    int selected = 0;
    for (size_t device = 0; device < names.size(); ++device) {
        const QString name = QString::fromStdString(names[device]);
        combo->addItem(name, name);
        combo->setItemData(combo->count() - 1, int(device), InputDeviceRole);
        if (!inUse.isEmpty() && name == inUse && selected == 0)
            selected = combo->count() - 1;
    }
    // The device in use has gone: it stays selected, marked, until another is chosen or a device
    // of its name comes back (the port then takes it by itself).
    if (!inUse.isEmpty() && selected == 0) {
        combo->addItem(tr(AbsentEntry).arg(inUse), inUse);
        combo->setItemData(combo->count() - 1, VanishedInput, InputDeviceRole);
        selected = combo->count() - 1;
    }
    combo->setCurrentIndex(selected);
}

// Every entry is compared, not only the first match: when two devices share the saved name each
// is opened in turn and the last one stays.
void TMonitor::RestoreDevice(const QString& savedName)
{
    QComboBox* combo = Controls.Devices;
    bool found = false;
    for (int index = 0; index < combo->count(); ++index) {
        if (combo->itemData(index).toString() != savedName)
            continue;
        found = true;
        combo->setCurrentIndex(index);
        RunReported([&] { ClearAndRestart(); });
    }
    // A device not there at start-up is listened to as soon as it comes.
    if (!found && !savedName.isEmpty()) {
        FillDeviceItems(savedName);
        RunReported([&] { ClearAndRestart(); });
    }
}

void TMonitor::MarkDeviceInUse(bool absent)
{
    QComboBox* combo = Controls.Devices;
    const int index = combo->currentIndex();
    if (index <= 0)
        return;
    const QString name = combo->itemData(index).toString();
    combo->setItemText(index, absent ? tr(AbsentEntry).arg(name) : name);
}

// The port restarts on the device the list shows, not on the number it was opened by: devices
// come and go, and that number may now name another device, or none. The entry's number is
// tried first (two devices may share a name), then the name.
void TMonitor::RestartChosenInput()
{
    Session.Input().Close();
    const QComboBox* combo = Controls.Devices;
    const int index = combo->currentIndex();
    const int device = combo->itemData(index, InputDeviceRole).toInt();
    if (index <= 0)
        return;  // no input chosen
    const std::string name = combo->itemData(index).toString().toStdString();
    bool numberNamesIt = false;
    try {
        if (device != VanishedInput) {
            Session.Input().SetDeviceID(uint16_t(device));
            numberNamesIt = Session.Input().ProductName() == name;
        }
    } catch (const EMidiInputError&) {
        // Fewer devices now: look for the name.
    }
    try {
        if (!numberNamesIt)
            Session.Input().SetProductName(name);  // a device that had gone may be back
    } catch (const EMidiInputError&) {
        // Gone: the port takes it as soon as it comes back.
        Session.Input().OpenWhenPresent(name);
        Session.Input().Start();
        return;
    }
    Session.Input().Open();  // a device that fails to open simply shows nothing
    Session.Input().Start();
}

// One event per notification. The memo and the byte count catch up once per turn of the event
// loop: a burst of thousands of messages costs one append, one layout and one paint, not
// thousands.
void TMonitor::TakeEvent()
{
    const std::unique_ptr<TMidiEvent> event = Session.Input().GetMidiEvent();
    if (!event)
        return;
    Controls.SaveBinary->setEnabled(true);
    Controls.Clear->setEnabled(true);
    Controls.SaveText->setEnabled(true);
    if (event->StatusByte == 0xF0) {
        const QByteArray bytes(reinterpret_cast<const char*>(event->SysexData.get()), qsizetype(event->SysexSize));
        FReceivedBytes.append(bytes);
        MonitorPending += SysexMonitorLine(bytes);
    } else {
        // Always three bytes, whatever the message: C0 05 is shown and kept as c0 05 00.
        FReceivedBytes.append(char(event->StatusByte));
        FReceivedBytes.append(char(event->DataByte1));
        FReceivedBytes.append(char(event->DataByte2));
        MonitorPending += ShortMonitorLine(event->StatusByte, event->DataByte1, event->DataByte2);
    }
    MonitorPending += QLatin1Char('\n');
    if (!MonitorFlushQueued) {
        MonitorFlushQueued = true;
        QMetaObject::invokeMethod(this, [this] { FlushMonitor(); }, Qt::QueuedConnection);
    }
}

void TMonitor::FlushMonitor()
{
    MonitorFlushQueued = false;
    if (MonitorPending.isEmpty())
        return;
    AppendMonitorLines(Controls.Memo, MonitorPending);
    MonitorPending.clear();
    Controls.Label->setText(LabelMidiInText(FReceivedBytes.size()));
}

// A burst of lost events must not stack one modal box on another (each box's own loop would
// take the next overflow and open the next box, without end): while a box is open the losses
// are only counted, and the next box says how many there were.
void TMonitor::ShowOverflow()
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
    ShowMessage(Controls.Memo->window(), text);
    OverflowBoxOpen = false;
}

// Clearing restarts the port on the device the list shows, which after a choice is the one
// chosen; with "no input" shown it only closes the port.
void TMonitor::ClearAndRestart()
{
    Controls.Memo->clear();
    MonitorPending.clear();
    FReceivedBytes.clear();
    Controls.Label->setText(tr("MIDI入力"));
    RestartChosenInput();
}

void TMonitor::ButtonInSaveBinaryClick()
{
    FlushMonitor();
    const QString path = ExecuteFileDialog(Controls.Memo->window(), SyxFileRequest(true, Folders.Binary));
    if (path.isEmpty())
        return;
    Folders.Binary = FolderOf(path);
    WriteWholeFile(path, FReceivedBytes);
}

void TMonitor::ButtonInSaveTextClick()
{
    FlushMonitor();
    const QString path = ExecuteFileDialog(Controls.Memo->window(), TextFileRequest(true, Folders.Text));
    if (path.isEmpty())
        return;
    Folders.Text = FolderOf(path);
    // The memo keeps its lines apart with LF; the file ends every line with CR LF.
    QByteArray text = Controls.Memo->toPlainText().toUtf8();
    if (!text.isEmpty()) {
        text.replace('\n', "\r\n");
        text.append("\r\n");
    }
    WriteWholeFile(path, text);
}

void TMonitor::MemoMidiInChange()
{
    // isEmpty, not the text: the memo may hold a million lines.
    const bool any = !Controls.Memo->document()->isEmpty();
    Controls.Clear->setEnabled(any);
    Controls.SaveBinary->setEnabled(any);
    Controls.SaveText->setEnabled(any);
}
