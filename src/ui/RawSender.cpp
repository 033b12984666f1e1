#include "RawSender.h"

#include "Dialogs.h"
#include "HexText.h"
#include "MidiFiles.h"
#include "Session.h"
#include "SpinEdit.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace {

const QColor Aqua(0, 255, 255);

// A loaded file is shown one message a line, a long one cut into lines of this many bytes: the
// memo lays out again only the line an edit touches, so even a dump of megabytes stays quick
// to edit. Sending, saving and the byte count do not see line breaks.
constexpr int LoadedBytesPerLine = 256;

QString LabelMidiOutText(qint64 bytes)
{
    return TRawSender::tr("MIDI出力（%1バイト）").arg(bytes);
}

}  // namespace

TRawSender::TRawSender(TSession& session, const TControls& controls, TFileFolders& folders, QObject* parent)
    : QObject(parent), Session(session), Controls(controls), Folders(folders)
{
    TimerMidiOut = new QTimer(this);
    TimerMidiOut->setObjectName(QStringLiteral("TimerMidiOut"));  // tests watch its ticks
    TimerMidiOut->setTimerType(Qt::PreciseTimer);
    TimerMidiOut->setInterval(100);

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
    connect(TimerMidiOut, &QTimer::timeout, this, [this] { RunReported([&] { TimerMidiOutTimer(); }); });
}

TRawSender::~TRawSender() = default;

void TRawSender::Restore(const TMainSettings& settings)
{
    Controls.Interval->SetValue(settings.Interval);
    Controls.PacketSize->SetValue(settings.PacketSize);
    SpinEditIntervalChange();  // also when the saved interval is the one the box starts with
}

void TRawSender::Collect(TMainSettings& settings) const
{
    settings.Interval = Controls.Interval->Value();
    settings.PacketSize = Controls.PacketSize->Value();
}

void TRawSender::Stop()
{
    PacketQueue.clear();
    EndRun();
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
    QPalette palette = Controls.Label->palette();
    palette.setColor(QPalette::Window, aqua ? Aqua : QApplication::palette().color(QPalette::Button));
    Controls.Label->setPalette(palette);
}

void TRawSender::MemoMidiOutChange()
{
    // Runs at every keystroke: one copy of the text and one pass over it. The raw text (blocks
    // parted by U+2029, no clean-up pass) holds the same digits as the plain text.
    const QTextDocument* document = Controls.Memo->document();
    const bool any = !document->isEmpty();
    Controls.Send->setEnabled(any);
    Controls.Clear->setEnabled(any);
    Controls.SaveBinary->setEnabled(any);
    Controls.SaveText->setEnabled(any);
    Controls.Label->setText(any ? LabelMidiOutText(CountHexDigits(document->toRawText()) / 2)
                                  : tr("MIDI出力"));
}

void TRawSender::ButtonOutClearClick()
{
    Controls.Memo->clear();
}

void TRawSender::ButtonSendClick()
{
    // A send during a run replaces what still waits; the run and its byte count go on.
    PacketQueue.clear();
    const TSendPlan plan = CutForSending(Controls.Memo->toPlainText(), Controls.PacketSize->Value());
    PacketQueue.append(plan.Packets);
    // Enabling a running timer must not restart it: the next packet keeps its turn.
    if (!PacketQueue.isEmpty() && !TimerMidiOut->isActive())
        TimerMidiOut->start();
    for (int i = 0; i < plan.OddSections; ++i)
        ShowMessage(Controls.Memo->window(), QCoreApplication::translate("HexText", OddHexDigitsMessage));
}

void TRawSender::TimerMidiOutTimer()
{
    if (PacketQueue.isEmpty()) {
        EndRun();
        return;
    }
    const QByteArray& packet = PacketQueue.first();
    try {
        Session.Send(QByteArrayView(packet));
    } catch (...) {
        // Trying the same packet again at every tick would open an error box every few
        // milliseconds: the first failure ends the run, and the report shows it once.
        PacketQueue.clear();
        EndRun();
        throw;
    }
    FSentByteCount += int32_t(packet.size());
    PacketQueue.removeFirst();
    Controls.Label->setText(LabelMidiOutText(FSentByteCount));
    SetLabelMidiOutAqua(!LabelMidiOutAqua);
}

void TRawSender::EndRun()
{
    TimerMidiOut->stop();
    SetLabelMidiOutAqua(false);
    FSentByteCount = 0;
}

void TRawSender::SpinEditIntervalChange()
{
    // Takes effect at once, also in the middle of a run.
    TimerMidiOut->setInterval(Controls.Interval->Value());
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
    const THexBytes hex = HexTextToBytes(Controls.Memo->toPlainText());
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
