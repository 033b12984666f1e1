#include "RawSender.h"

#include "ChecksumMarks.h"
#include "Dialogs.h"
#include "HexText.h"
#include "MidiFiles.h"
#include "RawMemo.h"
#include "Session.h"
#include "SpinEdit.h"
#include "WaitAfterMessageDialog.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

const QColor Aqua(0, 255, 255);

// A loaded file is shown one message a line, a long one cut into lines of this many bytes: the
// memo lays out again only the line an edit touches, so even a dump of megabytes stays quick
// to edit. Sending, saving and the byte count do not see line breaks.
constexpr int LoadedBytesPerLine = 256;

// How often the time left of a run is shown afresh between its ticks (a wait after a message may
// last seconds), and the port it sends to is looked at.
constexpr int ProgressRefreshMs = 500;

QString LabelMidiOutText(qint64 bytes)
{
    return TRawSender::tr("MIDI出力（%1バイト）").arg(bytes);
}

// Where a stopped run stood: the bytes sent of all, and whether a system exclusive message was
// left cut short.
QString StoppedText(const TSendRun& run, bool portChanged)
{
    const char* text = nullptr;
    if (portChanged)
        text = run.InsideMessage()
            ? QT_TRANSLATE_NOOP("TRawSender", "出力ポートが変わったため送信を停止しました（%1 / %2バイト送信済み，システム・エクスクルーシブ・メッセージの途中）")
            : QT_TRANSLATE_NOOP("TRawSender", "出力ポートが変わったため送信を停止しました（%1 / %2バイト送信済み）");
    else
        text = run.InsideMessage()
            ? QT_TRANSLATE_NOOP("TRawSender", "送信を停止しました（%1 / %2バイト送信済み，システム・エクスクルーシブ・メッセージの途中）")
            : QT_TRANSLATE_NOOP("TRawSender", "送信を停止しました（%1 / %2バイト送信済み）");
    return TRawSender::tr(text).arg(run.SentBytes()).arg(run.TotalBytes());
}

}  // namespace

TRawSender::TRawSender(TSession& session, const TControls& controls, TFileFolders& folders, QObject* parent)
    : QObject(parent), Session(session), Controls(controls), Folders(folders)
{
    TimerMidiOut = new QTimer(this);
    TimerMidiOut->setObjectName(QStringLiteral("TimerMidiOut"));  // tests watch its ticks
    TimerMidiOut->setTimerType(Qt::PreciseTimer);
    TimerMidiOut->setInterval(100);
    ProgressTimer = new QTimer(this);
    ProgressTimer->setInterval(ProgressRefreshMs);

    QFont labelFont = Controls.Label->font();
    labelFont.setPixelSize(16);
    Controls.Label->setFont(labelFont);
    Controls.Label->setAutoFillBackground(true);
    SetLabelMidiOutAqua(false);
    // Always there: a bar that appears when a big file arrives would narrow the memo and make it
    // lay the whole text out a second time.
    Controls.Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Controls.Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The two-line captions of the number boxes: small enough that "（ミリ秒）" fits its line.
    for (QLabel* caption : {Controls.IntervalCaption, Controls.PacketSizeCaption}) {
        QFont small = caption->font();
        small.setPixelSize(11);
        caption->setFont(small);
    }

    Controls.Interval->SetTypingEnabled(false);
    Controls.PacketSize->SetTypingEnabled(false);
    // Arrows only, so the value always is the text; a step is reported by valueChanged.
    connect(Controls.Interval, &QSpinBox::valueChanged, this, [this] { SpinEditIntervalChange(); });
    connect(Controls.PacketSize, &QSpinBox::valueChanged, this, [this] { SpinEditIntervalChange(); });

    Marks = new TChecksumMarks(Controls.Memo);
    MakeStatusStrip();
    MakeActions();
    connect(Controls.Memo, &QPlainTextEdit::textChanged, this, [this] { MemoMidiOutChange(); });
    MemoMidiOutChange();

    const auto bind = [this](QPushButton* button, void (TRawSender::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunReported([&] { (this->*handler)(); }); });
    };
    bind(Controls.Send, &TRawSender::ButtonSendClick);
    bind(Controls.Clear, &TRawSender::ButtonOutClearClick);
    bind(Controls.LoadBinary, &TRawSender::ButtonOutLoadBinaryClick);
    bind(Controls.SaveBinary, &TRawSender::ButtonOutSaveBinaryClick);
    bind(Controls.LoadText, &TRawSender::ButtonOutLoadTextClick);
    bind(Controls.SaveText, &TRawSender::ButtonOutSaveTextClick);
    connect(ButtonStopSending, &QPushButton::clicked, ActionStopSending, &QAction::trigger);
    connect(ButtonFixChecksums, &QPushButton::clicked, ActionFixChecksums, &QAction::trigger);
    connect(TimerMidiOut, &QTimer::timeout, this, [this] { RunReported([&] { TimerMidiOutTimer(); }); });
    connect(ProgressTimer, &QTimer::timeout, this, [this] {
        if (PortChanged())
            EndRunOnPortChange();
        else
            ShowProgress();
    });
}

TRawSender::~TRawSender() = default;

void TRawSender::MakeStatusStrip()
{
    // Along the memo's bottom edge, in the page's font (not the memo's), shown only while it has
    // something to say: a run's progress with its stop button, or the wrong checksums with the
    // button that fixes them.
    Strip = new QWidget;
    Strip->setObjectName(QStringLiteral("PanelMemoMidiOutStatus"));
    QFont pageFont = Controls.Send->font();
    pageFont.setResolveMask(QFont::AllPropertiesResolved);  // the memo's own font stays out
    Strip->setFont(pageFont);
    Strip->setAutoFillBackground(true);
    auto* rows = new QVBoxLayout(Strip);
    rows->setContentsMargins(4, 2, 2, 2);
    rows->setSpacing(2);

    const auto row = [&](QWidget*& rowWidget, QLabel*& label, const char* labelName, QPushButton*& button,
                         const char* buttonName, const QString& caption, const QString& accessibleName,
                         const QString& hint) {
        rowWidget = new QWidget(Strip);
        auto* layout = new QHBoxLayout(rowWidget);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(4);
        label = new QLabel(rowWidget);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        button = new QPushButton(caption, rowWidget);
        button->setObjectName(QString::fromLatin1(buttonName));
        button->setAccessibleName(accessibleName);
        button->setToolTip(hint);
        // As wide as its caption: the status beside it wants the room.
        button->setFixedWidth(std::max(button->fontMetrics().horizontalAdvance(caption) + 24, 48));
        layout->addWidget(label, 1);
        layout->addWidget(button, 0, Qt::AlignTop);
        rows->addWidget(rowWidget);
        rowWidget->hide();
    };
    row(SendStatusRow, LabelSendStatus, "LabelSendStatus", ButtonStopSending, "ButtonStopSending", tr("停止"),
        tr("送信を停止"), tr("送信中のデータの残りを送らずに止めます（Esc）"));
    row(ChecksumStatusRow, LabelChecksumStatus, "LabelChecksumStatus", ButtonFixChecksums, "ButtonFixChecksums",
        tr("修正"), tr("チェックサムをすべて修正"), tr("チェックサムが違うメッセージのチェックサムをすべて計算し直します"));
    Strip->hide();
    Controls.Memo->SetStrip(Strip);
    // Tab reaches them right after the memo they belong to.
    QWidget::setTabOrder(Controls.Memo, ButtonStopSending);
    QWidget::setTabOrder(ButtonStopSending, ButtonFixChecksums);
}

void TRawSender::MakeActions()
{
    const auto action = [this](const char* name, const QString& text) {
        auto* item = new QAction(text, Controls.Page);
        item->setObjectName(QString::fromLatin1(name));
        return item;
    };
    ActionSendSelection = action("ActionSendSelection", tr("選択範囲を送信(&E)"));
    connect(ActionSendSelection, &QAction::triggered, this, [this] { RunReported([&] { SendSelectionClick(); }); });

    // Escape stops a run wherever the focus is on the Binary page; free for others otherwise.
    ActionStopSending = action("ActionStopSending", tr("送信を停止(&S)"));
    ActionStopSending->setShortcut(QKeySequence(Qt::Key_Escape));
    ActionStopSending->setShortcutContext(Qt::WindowShortcut);
    ActionStopSending->setEnabled(false);
    Controls.Page->addAction(ActionStopSending);
    connect(ActionStopSending, &QAction::triggered, this, [this] { RunReported([&] { StopSendingClick(); }); });

    ActionFixChecksums = action("ActionFixChecksums", tr("チェックサムをすべて修正(&K)"));
    connect(ActionFixChecksums, &QAction::triggered, this, [this] { RunReported([&] { Marks->FixAll(); }); });

    ActionWaitAfterMessage = action("ActionWaitAfterMessage", QString());
    connect(ActionWaitAfterMessage, &QAction::triggered, this, [this] { RunReported([&] { WaitAfterMessageClick(); }); });
    SetWaitAfterMessage(0);

    // The memo's own menu (undo, copy, paste...) with the sender's actions below it.
    Controls.Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Controls.Memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowContextMenu(position); });
}

void TRawSender::ShowContextMenu(const QPoint& position)
{
    const std::unique_ptr<QMenu> menu(Controls.Memo->createStandardContextMenu());
    menu->setObjectName(QStringLiteral("MenuMemoMidiOut"));
    menu->addSeparator();
    // Sending a selection is offered only where there is one.
    if (Controls.Memo->textCursor().hasSelection())
        menu->addAction(ActionSendSelection);
    menu->addAction(ActionStopSending);
    menu->addAction(ActionFixChecksums);
    menu->addSeparator();
    menu->addAction(ActionWaitAfterMessage);
    menu->exec(Controls.Memo->viewport()->mapToGlobal(position));
}

void TRawSender::Restore(const TMainSettings& settings)
{
    Controls.Interval->SetValue(settings.Interval);
    Controls.PacketSize->SetValue(settings.PacketSize);
    SetWaitAfterMessage(settings.WaitAfterMessage);
    SpinEditIntervalChange();  // also when the saved interval is the one the box starts with
}

void TRawSender::Collect(TMainSettings& settings) const
{
    settings.Interval = Controls.Interval->Value();
    settings.PacketSize = Controls.PacketSize->Value();
    settings.WaitAfterMessage = FWaitAfterMessage;
}

void TRawSender::Stop()
{
    Run.Clear();
    EndRun();
    ShowSendStatus(QString());
}

bool TRawSender::Sending() const
{
    return TimerMidiOut->isActive();
}

int TRawSender::TickInterval() const
{
    return TimerMidiOut->interval();
}

void TRawSender::SetLabelMidiOutAqua(bool aqua)
{
    LabelMidiOutAqua = aqua;
    const QColor back = aqua ? Aqua : QApplication::palette().color(QPalette::Button);
    QPalette palette = Controls.Label->palette();
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::WindowText, ReadableTextOn(back));
    Controls.Label->setPalette(palette);
}

void TRawSender::MemoMidiOutChange()
{
    // Runs at every keystroke; the checksum marks have read the change already and keep the
    // count of digits, so the memo's text is not copied here.
    const bool any = !Controls.Memo->document()->isEmpty();
    Controls.Send->setEnabled(any);
    Controls.Clear->setEnabled(any);
    Controls.SaveBinary->setEnabled(any);
    Controls.SaveText->setEnabled(any);
    Controls.Label->setText(any ? LabelMidiOutText(Marks->DigitCount() / 2) : tr("MIDI出力"));
    ShowChecksumStatus();
}

void TRawSender::ShowChecksumStatus()
{
    const qsizetype wrong = Marks->WrongCount();
    ActionFixChecksums->setEnabled(wrong > 0);
    if (wrong > 0)
        LabelChecksumStatus->setText(tr("チェックサムが違うメッセージ: %1").arg(wrong));
    ShowStatusRow(ChecksumStatusRow, ButtonFixChecksums, wrong > 0, wrong > 0);
}

void TRawSender::ShowSendStatus(const QString& text)
{
    LabelSendStatus->setText(text);
    ShowStatusRow(SendStatusRow, ButtonStopSending, !text.isEmpty(), Sending());
}

void TRawSender::ShowStatusRow(QWidget* row, QPushButton* button, bool rowShown, bool buttonShown)
{
    // A button that goes away with the focus gives it back to the memo, not to the next control
    // along the page.
    if (button->hasFocus() && !(rowShown && buttonShown))
        Controls.Memo->setFocus();
    button->setVisible(buttonShown);
    row->setVisible(rowShown);
    Strip->setVisible(!SendStatusRow->isHidden() || !ChecksumStatusRow->isHidden());
}

void TRawSender::ShowProgress()
{
    const qint64 left = Run.TimeLeft(Controls.Interval->Value(), FWaitAfterMessage, TimerMidiOut->remainingTime());
    ShowSendStatus(tr("送信中：%1 / %2バイト　残り %3").arg(Run.SentBytes()).arg(Run.TotalBytes()).arg(DurationText(left)));
}

void TRawSender::ButtonOutClearClick()
{
    Controls.Memo->clear();
}

void TRawSender::ButtonSendClick()
{
    StartSending(CutForSending(Marks->Text(), Controls.PacketSize->Value()));
}

void TRawSender::SendSelectionClick()
{
    const QTextCursor cursor = Controls.Memo->textCursor();
    if (!cursor.hasSelection())
        return;
    StartSending(CutSelectionForSending(Marks->Text(), cursor.anchor(), cursor.position(), Controls.PacketSize->Value()));
}

void TRawSender::StartSending(const TSendPlan& plan)
{
    // A send during a run replaces what still waits; the run and its byte count go on.
    Run.Replace(plan.Packets);
    // Enabling a running timer must not restart it: the next packet keeps its turn.
    if (!Run.IsEmpty() && !TimerMidiOut->isActive()) {
        RunPortOpen = Session.Output().IsOpen();
        RunPortDevice = Session.Output().DeviceID();
        RunPortName = Session.Output().ProductName();
        TimerMidiOut->setInterval(Run.DelayBeforeNext(Controls.Interval->Value(), FWaitAfterMessage));
        TimerMidiOut->start();
        ProgressTimer->start();
        ActionStopSending->setEnabled(true);
    }
    if (Sending())
        ShowProgress();
    for (int i = 0; i < plan.OddSections; ++i)
        ShowMessage(Controls.Memo->window(), QCoreApplication::translate("HexText", OddHexDigitsMessage));
}

void TRawSender::StopSendingClick()
{
    // At once: no further packet. A message cut short stays as it is; the status says where the
    // run stood.
    if (!Sending())
        return;
    const QString status = StoppedText(Run, false);
    EndRun();
    ShowSendStatus(status);
}

bool TRawSender::PortChanged() const
{
    // Closing the port (choosing another closes it first) or opening another ends the run: what
    // waits was meant for the port it started on. A run started with no port open fails at its
    // first tick instead, as any send to a closed port does. So does a run whose device went
    // away under the same port: its next send fails and the box says why.
    const TMidiOutput& output = Session.Output();
    return RunPortOpen && !output.Absent()
        && (!output.IsOpen() || output.DeviceID() != RunPortDevice || output.ProductName() != RunPortName);
}

void TRawSender::EndRunOnPortChange()
{
    const QString status = StoppedText(Run, true);
    EndRun();
    ShowSendStatus(status);
}

void TRawSender::TimerMidiOutTimer()
{
    if (Run.IsEmpty()) {
        EndRun();
        ShowSendStatus(QString());
        return;
    }
    if (PortChanged()) {
        EndRunOnPortChange();
        return;
    }
    const QByteArray& packet = Run.Next();
    try {
        Session.Send(QByteArrayView(packet));
    } catch (...) {
        // Trying the same packet again at every tick would open an error box every few
        // milliseconds: the first failure ends the run, and the report shows it once.
        EndRun();
        ShowSendStatus(QString());
        throw;
    }
    Run.NextSent();
    Controls.Label->setText(LabelMidiOutText(Run.SentBytes()));
    SetLabelMidiOutAqua(!LabelMidiOutAqua);
    // A new interval restarts the timer from now: only when it changes, so that an unchanged
    // pacing keeps the timer's own even beat.
    const int delay = Run.DelayBeforeNext(Controls.Interval->Value(), FWaitAfterMessage);
    if (delay != TimerMidiOut->interval())
        TimerMidiOut->setInterval(delay);
    ShowProgress();
}

void TRawSender::EndRun()
{
    TimerMidiOut->stop();
    ProgressTimer->stop();
    Run.Clear();
    TimerMidiOut->setInterval(Controls.Interval->Value());
    ActionStopSending->setEnabled(false);
    RunPortOpen = false;
    RunPortName.clear();
    SetLabelMidiOutAqua(false);
}

void TRawSender::SpinEditIntervalChange()
{
    // Takes effect at once, also in the middle of a run (after a message, its wait stays).
    const int delay = Run.DelayBeforeNext(Controls.Interval->Value(), FWaitAfterMessage);
    if (delay != TimerMidiOut->interval())
        TimerMidiOut->setInterval(delay);
    if (Sending())
        ShowProgress();
}

void TRawSender::SetWaitAfterMessage(int milliseconds)
{
    FWaitAfterMessage = std::clamp(milliseconds, 0, TMainSettings::LongestWaitAfterMessage);
    ActionWaitAfterMessage->setText(tr("メッセージ後の待ち時間（%1ミリ秒）(&W)...").arg(FWaitAfterMessage));
    SpinEditIntervalChange();
}

void TRawSender::WaitAfterMessageClick()
{
    TWaitAfterMessageDialog dialog(FWaitAfterMessage, Controls.Memo->window());
    if (RunModal(dialog) == QDialog::Accepted)
        SetWaitAfterMessage(dialog.Milliseconds());
}

void TRawSender::ButtonOutLoadBinaryClick()
{
    const QString path = ExecuteFileDialog(Controls.Memo->window(), SyxFileRequest(false, Folders.Binary));
    if (path.isEmpty())
        return;
    Folders.Binary = FolderOf(path);
    const QByteArray bytes = ReadWholeFile(path, MaxSyxFileBytes);
    Controls.Memo->setPlainText(BytesToHexLines(bytes, LoadedBytesPerLine));
}

void TRawSender::ButtonOutSaveBinaryClick()
{
    const QString path = ExecuteFileDialog(Controls.Memo->window(), SyxFileRequest(true, Folders.Binary));
    if (path.isEmpty())
        return;
    Folders.Binary = FolderOf(path);
    const THexBytes hex = HexTextToBytes(Marks->Text());
    if (hex.OddDigitCount)
        ShowMessage(Controls.Memo->window(), QCoreApplication::translate("HexText", OddHexDigitsMessage));
    WriteWholeFile(path, hex.Bytes);  // after the message the file is still made, empty
}

void TRawSender::ButtonOutLoadTextClick()
{
    const QString path = ExecuteFileDialog(Controls.Memo->window(), TextFileRequest(false, Folders.Text));
    if (path.isEmpty())
        return;
    Folders.Text = FolderOf(path);
    QByteArray bytes = NormalizeLineBreaks(ReadWholeFile(path, MaxTextFileBytes));
    // A byte-order mark is no part of what the memo shows; saving writes none.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    Controls.Memo->setPlainText(QString::fromUtf8(bytes));
}

void TRawSender::ButtonOutSaveTextClick()
{
    const QString path = ExecuteFileDialog(Controls.Memo->window(), TextFileRequest(true, Folders.Text));
    if (path.isEmpty())
        return;
    Folders.Text = FolderOf(path);
    // The memo keeps its lines apart with LF; the file has CR LF, as it is shown.
    QString text = Controls.Memo->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    WriteWholeFile(path, text.toUtf8());
}
