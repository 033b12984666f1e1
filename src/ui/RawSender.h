#pragma once
// The output side of the Binary page: hexadecimal text typed, or loaded and saved as .syx and
// .txt files, and sent in packets of the chosen size, one at each tick of the chosen interval. A
// message whose checksum is wrong is marked and can be fixed.

#include "Settings.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <cstdint>

class QAction;
class QLabel;
class QPoint;
class QPushButton;
class QTimer;
class QWidget;
class TChecksumMarks;
class TRawMemo;
class TSession;
class TSpinEdit;
struct TFileFolders;

class TRawSender final : public QObject {
    Q_OBJECT
public:
    // The controls of the Binary page the sender works.
    struct TControls {
        TRawMemo* Memo;
        QLabel* Label;
        QLabel* IntervalCaption;
        QLabel* PacketSizeCaption;
        TSpinEdit* Interval;
        TSpinEdit* PacketSize;
        QPushButton* Send;
        QPushButton* Clear;
        QPushButton* LoadBinary;
        QPushButton* SaveBinary;
        QPushButton* LoadText;
        QPushButton* SaveText;
    };

    TRawSender(TSession& session, const TControls& controls, TFileFolders& folders, QObject* parent);
    ~TRawSender() override;

    // Start-up: the packet interval and size.
    void Restore(const TMainSettings& settings);
    void Collect(TMainSettings& settings) const;
    // The window closes: the ports close with it, and a tick after that would only report the
    // closed port. What waits is dropped.
    void Stop();

    bool Sending() const;           // a run's ticks go on
    int TickInterval() const;       // milliseconds between two packets, as the timer has it
    int32_t SentByteCount() const { return FSentByteCount; }  // of the run going on
    const QList<QByteArray>& Waiting() const { return PacketQueue; }  // packets not yet sent

private:
    void MemoMidiOutChange();
    void ButtonOutClearClick();
    void ButtonSendClick();
    void TimerMidiOutTimer();
    void EndRun();
    void SpinEditIntervalChange();
    void ButtonOutLoadBinaryClick();
    void ButtonOutSaveBinaryClick();
    void ButtonOutLoadTextClick();
    void ButtonOutSaveTextClick();
    void ShowContextMenu(const QPoint& position);
    void SetLabelMidiOutAqua(bool aqua);  // the label's blink, one flip per packet
    void ShowChecksumStatus();
    void ShowStatusRow(QWidget* row, QPushButton* button, bool rowShown, bool buttonShown);
    void MakeStatusStrip();
    void MakeActions();

    TSession& Session;
    TControls Controls;
    TFileFolders& Folders;
    QTimer* TimerMidiOut = nullptr;
    QList<QByteArray> PacketQueue;
    int32_t FSentByteCount = 0;
    bool LabelMidiOutAqua = false;
    TChecksumMarks* Marks = nullptr;

    QWidget* Strip = nullptr;
    QWidget* ChecksumStatusRow = nullptr;
    QLabel* LabelChecksumStatus = nullptr;
    QPushButton* ButtonFixChecksums = nullptr;

    QAction* ActionFixChecksums = nullptr;
};
