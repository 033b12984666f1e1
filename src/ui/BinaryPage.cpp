#include "BinaryPage.h"

#include "Dialogs.h"
#include "Monitor.h"
#include "RawSender.h"
#include "Widgets.h"
#include "ui_BinaryPage.h"

#include <QEvent>

#include <optional>

TBinaryPage::TBinaryPage(TSession& session, QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TBinaryPage>())
{
    ui->setupUi(this);
    FMonitor = std::make_unique<TMonitor>(
        session,
        TMonitor::TControls{ui->ComboMidiInDevice, ui->MemoMidiIn, ui->LabelMidiIn, ui->ButtonInClear,
                            ui->ButtonInSaveBinary, ui->ButtonInSaveText},
        FFolders, nullptr);
    FSender = std::make_unique<TRawSender>(
        session,
        TRawSender::TControls{this, ui->MemoMidiOut, ui->LabelMidiOut, ui->LabelInterval, ui->LabelPacketSize,
                              ui->SpinEditInterval, ui->SpinEditPacketSize, ui->ButtonSend, ui->ButtonOutClear,
                              ui->ButtonOutLoadBinary, ui->ButtonOutSaveBinary, ui->ButtonOutLoadText,
                              ui->ButtonOutSaveText},
        FFolders, nullptr);
    connect(ui->ButtonBinaryFontSet, &QPushButton::clicked, this, [this] { RunReported([&] { ButtonBinaryFontSetClick(); }); });
    // The page's layout docks the strip at the bottom and lets the panel fill the rest.
    ui->PanelBinary->installEventFilter(this);
}

TBinaryPage::~TBinaryPage() = default;

void TBinaryPage::ListInputDevices()
{
    FMonitor->ListDevices();
}

void TBinaryPage::Restore(const TMainSettings& settings)
{
    BinaryFontCharacterSet = settings.BinaryFont.CharacterSet;
    SetBinaryFont(FontFromSetting(settings.BinaryFont));
    FSender->Restore(settings);
    FFolders = {settings.BinaryFolder, settings.TextFolder};
    FMonitor->SetMemoLineLimit(settings.Monitor.MemoLines);
}

void TBinaryPage::RestoreInputDevice(const QString& savedName)
{
    FMonitor->RestoreDevice(savedName);
}

void TBinaryPage::Collect(TMainSettings& settings) const
{
    settings.InDeviceName = FMonitor->ChosenDevice();
    settings.Monitor.MemoLines = FMonitor->MemoLineLimit();
    settings.BinaryFont = SettingFromFont(ui->MemoMidiIn->font(), BinaryFontCharacterSet);
    FSender->Collect(settings);
    settings.BinaryFolder = FFolders.Binary;
    settings.TextFolder = FFolders.Text;
}

bool TBinaryPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->PanelBinary && event->type() == QEvent::Resize)
        LayOut();
    return false;
}

void TBinaryPage::LayOut()
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

void TBinaryPage::ButtonBinaryFontSetClick()
{
    if (const std::optional<QFont> font = ExecuteFontDialog(window(), ui->MemoMidiIn->font()))
        SetBinaryFont(*font);
}

void TBinaryPage::SetBinaryFont(const QFont& font)
{
    // The character set is no part of a QFont: BinaryFontCharacterSet stays as read.
    // Hexadecimal text needs no shaping; skipping it makes a loaded file of 1 MiB (one line of
    // three million characters) lay out in a third less time.
    QFont memoFont = font;
    memoFont.setStyleStrategy(QFont::PreferNoShaping);
    ui->MemoMidiIn->setFont(memoFont);
    ui->MemoMidiOut->setFont(memoFont);
}
