// The raw output editor: hexadecimal text, .syx and .txt files, and the timed sender.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "HexText.h"
#include "MidiFiles.h"
#include "SpinEdit.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

#include <QApplication>
#include <QEvent>
#include <QTextDocument>
#include <QTimer>

#include <functional>
#include <optional>
#include <stdexcept>

namespace {

const QColor Aqua(0, 255, 255);

// A loaded file is shown one message a line, a long one cut into lines of this many bytes: the
// memo lays out again only the line an edit touches, so even a dump of megabytes stays quick
// to edit. Sending, saving and the byte count do not see line breaks.
constexpr int LoadedBytesPerLine = 256;

QString LabelMidiOutText(qint64 bytes)
{
    return TFormMain::tr("MIDI出力（%1バイト）").arg(bytes);
}

// Stops a run when the window closes: the ports close then, and a tick after that would only
// report the closed port.
class TCloseWatcher final : public QObject {
public:
    TCloseWatcher(QObject* parent, std::function<void()> onClose) : QObject(parent), OnClose(std::move(onClose)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            OnClose();
        return false;
    }

private:
    std::function<void()> OnClose;
};

}  // namespace

void TFormMain::SetUpBinary(const TMainSettings& settings)
{
    QFont labelFont = ui->LabelMidiOut->font();
    labelFont.setPixelSize(16);
    ui->LabelMidiOut->setFont(labelFont);
    ui->LabelMidiOut->setAutoFillBackground(true);
    SetLabelMidiOutAqua(false);
    // Always there: a bar that appears when a big file arrives would narrow the memo and make it
    // lay the whole text out a second time.
    ui->MemoMidiOut->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui->MemoMidiOut->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The two-line captions of the number boxes: small enough that "（ミリ秒）" fits its line.
    for (QLabel* caption : {ui->LabelInterval, ui->LabelPacketSize}) {
        QFont small = caption->font();
        small.setPixelSize(11);
        caption->setFont(small);
    }

    BinaryFontCharacterSet = settings.BinaryFont.CharacterSet;
    SetBinaryFont(FontFromSetting(settings.BinaryFont));

    ui->SpinEditInterval->SetTypingEnabled(false);
    ui->SpinEditPacketSize->SetTypingEnabled(false);
    // Arrows only, so the value always is the text; a step is reported by valueChanged.
    connect(ui->SpinEditInterval, &QSpinBox::valueChanged, this, [this] { SpinEditIntervalChange(); });
    connect(ui->SpinEditPacketSize, &QSpinBox::valueChanged, this, [this] { SpinEditIntervalChange(); });
    ui->SpinEditInterval->SetValue(settings.Interval);
    ui->SpinEditPacketSize->SetValue(settings.PacketSize);
    SpinEditIntervalChange();  // also when the saved interval is the one the box starts with
    BinaryFolder = settings.BinaryFolder;
    TextFolder = settings.TextFolder;

    connect(ui->MemoMidiOut, &QPlainTextEdit::textChanged, this, [this] { MemoMidiOutChange(); });
    MemoMidiOutChange();

    const auto bind = [this](QPushButton* button, void (TFormMain::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { RunReported([&] { (this->*handler)(); }); });
    };
    bind(ui->ButtonSend, &TFormMain::ButtonSendClick);
    bind(ui->ButtonOutClear, &TFormMain::ButtonOutClearClick);
    bind(ui->ButtonOutLoadBinary, &TFormMain::ButtonOutLoadBinaryClick);
    bind(ui->ButtonOutSaveBinary, &TFormMain::ButtonOutSaveBinaryClick);
    bind(ui->ButtonOutLoadText, &TFormMain::ButtonOutLoadTextClick);
    bind(ui->ButtonOutSaveText, &TFormMain::ButtonOutSaveTextClick);
    bind(ui->ButtonBinaryFontSet, &TFormMain::ButtonBinaryFontSetClick);
    connect(TimerMidiOut, &QTimer::timeout, this, [this] { RunReported([&] { TimerMidiOutTimer(); }); });
    installEventFilter(new TCloseWatcher(this, [this] {
        PacketQueue.clear();
        EndRun();
    }));
}

void TFormMain::LayOutBinaryPage()
{
    const int width = (ui->PanelBinary->width() - 30) / 2;
    const int top = ui->LabelMidiIn->height() + 10;
    const int height = ui->PanelBinary->height() - top - 5;
    ui->MemoMidiIn->setGeometry(10, top, width, height);
    ui->LabelMidiIn->move(10, ui->LabelMidiIn->y());
    ui->MemoMidiOut->setGeometry(width + 19, top, width, height);
    // As wide as its memo: the longest byte count fits, and the blink spans the column.
    ui->LabelMidiOut->setGeometry(ui->MemoMidiOut->x(), ui->LabelMidiOut->y(), width, ui->LabelMidiOut->height());
}

void TFormMain::SetLabelMidiOutAqua(bool aqua)
{
    LabelMidiOutAqua = aqua;
    QPalette palette = ui->LabelMidiOut->palette();
    palette.setColor(QPalette::Window, aqua ? Aqua : QApplication::palette().color(QPalette::Button));
    ui->LabelMidiOut->setPalette(palette);
}

void TFormMain::MemoMidiOutChange()
{
    // Runs at every keystroke: one copy of the text and one pass over it. The raw text (blocks
    // parted by U+2029, no clean-up pass) holds the same digits as the plain text.
    const QTextDocument* document = ui->MemoMidiOut->document();
    const bool any = !document->isEmpty();
    ui->ButtonSend->setEnabled(any);
    ui->ButtonOutClear->setEnabled(any);
    ui->ButtonOutSaveBinary->setEnabled(any);
    ui->ButtonOutSaveText->setEnabled(any);
    ui->LabelMidiOut->setText(any ? LabelMidiOutText(CountHexDigits(document->toRawText()) / 2)
                                  : tr("MIDI出力"));
}

void TFormMain::ButtonOutClearClick()
{
    ui->MemoMidiOut->clear();
}

void TFormMain::ButtonSendClick()
{
    // A send during a run replaces what still waits; the run and its byte count go on.
    PacketQueue.clear();
    const TSendPlan plan = CutForSending(ui->MemoMidiOut->toPlainText(), ui->SpinEditPacketSize->Value());
    PacketQueue.append(plan.Packets);
    // Enabling a running timer must not restart it: the next packet keeps its turn.
    if (!PacketQueue.isEmpty() && !TimerMidiOut->isActive())
        TimerMidiOut->start();
    for (int i = 0; i < plan.OddSections; ++i)
        ShowMessage(this, QCoreApplication::translate("HexText", OddHexDigitsMessage));
}

void TFormMain::TimerMidiOutTimer()
{
    if (PacketQueue.isEmpty()) {
        EndRun();
        return;
    }
    const QByteArray& packet = PacketQueue.first();
    try {
        MidiOutput->PutLong(reinterpret_cast<const uint8_t*>(packet.constData()), uint32_t(packet.size()));
    } catch (...) {
        // Trying the same packet again at every tick would open an error box every few
        // milliseconds: the first failure ends the run, and the report shows it once.
        PacketQueue.clear();
        EndRun();
        throw;
    }
    SentByteCount += int32_t(packet.size());
    PacketQueue.removeFirst();
    ui->LabelMidiOut->setText(LabelMidiOutText(SentByteCount));
    SetLabelMidiOutAqua(!LabelMidiOutAqua);
}

void TFormMain::EndRun()
{
    TimerMidiOut->stop();
    SetLabelMidiOutAqua(false);
    SentByteCount = 0;
}

void TFormMain::SpinEditIntervalChange()
{
    // Takes effect at once, also in the middle of a run.
    TimerMidiOut->setInterval(ui->SpinEditInterval->Value());
}

void TFormMain::ButtonOutLoadBinaryClick()
{
    const QString path = ExecuteFileDialog(this, SyxFileRequest(false, BinaryFolder));
    if (path.isEmpty())
        return;
    BinaryFolder = FolderOf(path);
    const QByteArray bytes = ReadWholeFile(path, MaxSyxFileBytes);
    ui->MemoMidiOut->setPlainText(BytesToHexLines(bytes, LoadedBytesPerLine));
}

void TFormMain::ButtonOutSaveBinaryClick()
{
    const QString path = ExecuteFileDialog(this, SyxFileRequest(true, BinaryFolder));
    if (path.isEmpty())
        return;
    BinaryFolder = FolderOf(path);
    const THexBytes hex = HexTextToBytes(ui->MemoMidiOut->toPlainText());
    if (hex.OddDigitCount)
        ShowMessage(this, QCoreApplication::translate("HexText", OddHexDigitsMessage));
    WriteWholeFile(path, hex.Bytes);  // after the message the file is still made, empty
}

void TFormMain::ButtonOutLoadTextClick()
{
    const QString path = ExecuteFileDialog(this, TextFileRequest(false, TextFolder));
    if (path.isEmpty())
        return;
    TextFolder = FolderOf(path);
    QByteArray bytes = NormalizeLineBreaks(ReadWholeFile(path, MaxTextFileBytes));
    // A byte-order mark is no part of what the memo shows; saving writes none.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    ui->MemoMidiOut->setPlainText(QString::fromUtf8(bytes));
}

void TFormMain::ButtonOutSaveTextClick()
{
    const QString path = ExecuteFileDialog(this, TextFileRequest(true, TextFolder));
    if (path.isEmpty())
        return;
    TextFolder = FolderOf(path);
    // The memo keeps its lines apart with LF; the file has CR LF, as it is shown.
    QString text = ui->MemoMidiOut->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    WriteWholeFile(path, text.toUtf8());
}

void TFormMain::ButtonBinaryFontSetClick()
{
    if (const std::optional<QFont> font = ExecuteFontDialog(this, ui->MemoMidiIn->font()))
        SetBinaryFont(*font);
}

void TFormMain::SetBinaryFont(const QFont& font)
{
    // The character set is no part of a QFont: BinaryFontCharacterSet stays as read.
    // Hexadecimal text needs no shaping; skipping it makes a loaded file of 1 MiB (one line of
    // three million characters) lay out in a third less time.
    QFont memoFont = font;
    memoFont.setStyleStrategy(QFont::PreferNoShaping);
    ui->MemoMidiIn->setFont(memoFont);
    ui->MemoMidiOut->setFont(memoFont);
}
