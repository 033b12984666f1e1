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

#include <algorithm>

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
const char* const EarlierLinesLine = QT_TRANSLATE_NOOP("TMonitor", "（これより前の%L1行は表示していません。保存すると全行を書き出します）");

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
    MemoGeneration = Session.Log().Record().Generation();
    connect(&Session.Log(), &TMessageLog::Changed, this, [this] { FlushMonitor(); });
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

// One event per notification, into the record. The memo and the byte count catch up once per
// turn of the event loop: a burst of thousands of messages costs one append, one layout and one
// paint, not thousands.
void TMonitor::TakeEvent()
{
    const std::unique_ptr<TMidiEvent> event = Session.Input().GetMidiEvent();
    if (!event)
        return;
    Controls.SaveBinary->setEnabled(true);
    Controls.Clear->setEnabled(true);
    Controls.SaveText->setEnabled(true);
    Session.Log().Received(*event);
}

// The memo catches up with the record: a line for each message received since the last look
// (what was sent is not the memo's), the oldest lines leaving once there are more than the limit.
void TMonitor::FlushMonitor()
{
    const TMessageRecord& record = Session.Log().Record();
    if (record.Generation() != MemoGeneration) {
        MemoGeneration = record.Generation();
        Controls.Memo->clear();
        Controls.Label->setText(tr("MIDI入力"));
        MemoSeen = 0;
        MemoLines = 0;
        EarlierLines = 0;
        EarlierLinesShown = false;
    }
    const size_t count = record.Count();
    if (MemoSeen >= count)
        return;
    qsizetype added = 0;
    record.ForEach(MemoSeen, count, [&](size_t, const TRecordEntry& entry) { added += entry.Direction == TDirection::In; });
    // Lines that would leave again at once are never written.
    const qsizetype skipped = std::max<qsizetype>(0, added - FMemoLineLimit);
    QString lines;
    qsizetype index = 0;
    record.ForEach(MemoSeen, count, [&](size_t, const TRecordEntry& entry) {
        if (entry.Direction != TDirection::In || index++ < skipped)
            return;
        if (entry.Form == TEntryForm::Short) {
            // Always three bytes, whatever the message: C0 05 is shown and kept as c0 05 00.
            lines += ShortMonitorLine(entry.Status, entry.Data1, entry.Data2);
        } else {
            const QByteArrayView bytes = record.PieceBytes(entry.Piece);
            lines += SysexMonitorLine(QByteArray::fromRawData(bytes.data(), bytes.size()));
        }
        lines += QLatin1Char('\n');
    });
    MemoSeen = count;
    if (added == 0)
        return;

    const qsizetype kept = added - skipped;
    const qsizetype leaving = std::max<qsizetype>(0, MemoLines + kept - FMemoLineLimit);
    if (leaving >= MemoLines && MemoLines > 0) {
        Controls.Memo->clear();
        EarlierLinesShown = false;
    } else if (leaving > 0) {
        DropFirstMemoLines(leaving);
    }
    MemoLines += kept - leaving;
    EarlierLines += skipped + leaving;
    AppendMonitorLines(Controls.Memo, lines);
    if (EarlierLines > 0)
        ShowEarlierLines();
    Controls.Label->setText(LabelMidiInText(record.ReceivedByteCount()));
}

// The oldest message lines, below the first paragraph when that says how many went before.
void TMonitor::DropFirstMemoLines(qsizetype count)
{
    QTextDocument* document = Controls.Memo->document();
    QTextBlock block = EarlierLinesShown ? document->firstBlock().next() : document->firstBlock();
    const int start = block.position();
    int end = start;
    for (qsizetype left = count; left > 0 && block.isValid(); block = block.next()) {
        const QString text = block.text();
        const qsizetype lines = text.count(QChar::LineSeparator) + 1;
        if (lines <= left) {
            left -= lines;
            end = block.position() + block.length();  // the paragraph's end with it
            continue;
        }
        qsizetype cut = -1;
        for (qsizetype n = 0; n < left; ++n)
            cut = text.indexOf(QChar::LineSeparator, cut + 1);
        end = block.position() + int(cut) + 1;
        break;
    }
    QTextCursor cursor(document);
    cursor.setPosition(start);
    cursor.setPosition(std::min(end, document->characterCount() - 1), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TMonitor::ShowEarlierLines()
{
    QTextCursor cursor(Controls.Memo->document());
    cursor.movePosition(QTextCursor::Start);
    const QString text = tr(EarlierLinesLine).arg(EarlierLines);
    if (EarlierLinesShown) {
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(text);
    } else {
        cursor.insertText(text + QChar::ParagraphSeparator);
        EarlierLinesShown = true;
    }
}

void TMonitor::SetMemoLineLimit(int lines)
{
    FMemoLineLimit = std::max(1, lines);
}

QByteArray TMonitor::ReceivedBytes() const
{
    return Session.Log().Record().ReceivedBytes();
}

qint64 TMonitor::ReceivedByteCount() const
{
    return Session.Log().Record().ReceivedByteCount();
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
    Session.Log().Clear();  // the memo and the label hear of it at once
    RestartChosenInput();
    if (OnInputRestarted)
        OnInputRestarted();
}

void TMonitor::ButtonInSaveBinaryClick()
{
    const QString path = ExecuteFileDialog(Controls.Memo->window(), SyxFileRequest(true, Folders.Binary));
    if (path.isEmpty())
        return;
    Folders.Binary = FolderOf(path);
    const TMessageRecord& record = Session.Log().Record();
    WriteWholeFile(path, [&](QIODevice& file) { return record.WriteReceivedBytes(file); });
}

// Every line since the clear, also those the memo no longer shows; CR LF after each.
void TMonitor::ButtonInSaveTextClick()
{
    const QString path = ExecuteFileDialog(Controls.Memo->window(), TextFileRequest(true, Folders.Text));
    if (path.isEmpty())
        return;
    Folders.Text = FolderOf(path);
    const TMessageRecord& record = Session.Log().Record();
    WriteWholeFile(path, [&](QIODevice& file) { return record.WriteReceivedText(file); });
}

void TMonitor::MemoMidiInChange()
{
    // isEmpty, not the text: the memo may hold a million lines.
    const bool any = !Controls.Memo->document()->isEmpty();
    Controls.Clear->setEnabled(any);
    Controls.SaveBinary->setEnabled(any);
    Controls.SaveText->setEnabled(any);
}
