#pragma once
// The output side of the Binary page: hexadecimal text typed, or loaded and saved as .syx and
// .txt files, and sent in packets of the chosen size, one at each tick of the chosen interval,
// with a longer wait after each message when one is set. A run shows how far it has come and
// can be stopped; a message whose checksum is wrong is marked and can be fixed; a selection can
// be sent alone.

#include "HexText.h"
#include "SendRun.h"
#include "Settings.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <string>

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
        QWidget* Page;  // Escape stops a run while it shows
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

    // Start-up: the packet interval and size and the wait after each message.
    void Restore(const TMainSettings& settings);
    void Collect(TMainSettings& settings) const;
    // The window closes: the ports close with it, and a tick after that would only report the
    // closed port. What waits is dropped, and nothing is said.
    void Stop();

    bool Sending() const;           // a run's ticks go on
    int TickInterval() const;       // milliseconds until the next tick, as the timer has it
    int32_t SentByteCount() const { return int32_t(Run.SentBytes()); }  // of the run going on
    QList<QByteArray> Waiting() const { return Run.Waiting(); }  // packets not yet sent

private:
    void MemoMidiOutChange();
    void ButtonOutClearClick();
    void ButtonSendClick();
    void SendSelectionClick();
    void StartSending(const TSendPlan& plan);
    void StopSendingClick();
    void TimerMidiOutTimer();
    bool PortChanged() const;
    void EndRunOnPortChange();
    void EndRun();
    void SpinEditIntervalChange();
    void SetWaitAfterMessage(int milliseconds);
    void WaitAfterMessageClick();
    void ButtonOutLoadBinaryClick();
    void ButtonOutSaveBinaryClick();
    void ButtonOutLoadTextClick();
    void ButtonOutSaveTextClick();
    void ShowContextMenu(const QPoint& position);
    void SetLabelMidiOutAqua(bool aqua);  // the label's blink, one flip per packet
    void ShowProgress();
    void ShowSendStatus(const QString& text);  // "" hides it
    void ShowStatusRow(QWidget* row, QPushButton* button, bool rowShown, bool buttonShown);
    void ShowChecksumStatus();
    void MakeStatusStrip();
    void MakeActions();

    TSession& Session;
    TControls Controls;
    TFileFolders& Folders;
    QTimer* TimerMidiOut = nullptr;
    QTimer* ProgressTimer = nullptr;  // the time left counts down during long waits too
    TSendRun Run;
    int FWaitAfterMessage = 0;
    bool LabelMidiOutAqua = false;
    // The port a run sends to: when it closes or another is chosen, the run ends there.
    bool RunPortOpen = false;
    int RunPortDevice = 0;
    std::string RunPortName;
    TChecksumMarks* Marks = nullptr;

    QWidget* Strip = nullptr;
    QWidget* SendStatusRow = nullptr;
    QLabel* LabelSendStatus = nullptr;
    QPushButton* ButtonStopSending = nullptr;
    QWidget* ChecksumStatusRow = nullptr;
    QLabel* LabelChecksumStatus = nullptr;
    QPushButton* ButtonFixChecksums = nullptr;

    QAction* ActionSendSelection = nullptr;
    QAction* ActionStopSending = nullptr;
    QAction* ActionFixChecksums = nullptr;
    QAction* ActionWaitAfterMessage = nullptr;
};
