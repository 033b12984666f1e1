#pragma once
// The input side of the Binary page: the choice of input device, and each message received
// shown as a line of hexadecimal bytes and kept, to be saved as .syx or .txt.

#include <QByteArray>
#include <QObject>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class TPortComboBox;
class TSession;
struct TFileFolders;

class TMonitor final : public QObject {
    Q_OBJECT
public:
    // The controls of the Binary page the monitor works.
    struct TControls {
        TPortComboBox* Devices;
        QPlainTextEdit* Memo;
        QLabel* Label;
        QPushButton* Clear;
        QPushButton* SaveBinary;
        QPushButton* SaveText;
    };

    TMonitor(TSession& session, const TControls& controls, TFileFolders& folders, QObject* parent);
    ~TMonitor() override;

    // Start-up: the device list, once the ports are made; at the end, the device used last time.
    void ListDevices();
    void RestoreDevice(const QString& savedName);
    // The device the list shows, as the settings file stores it (the no-input entry by its
    // Japanese name in any language).
    QString ChosenDevice() const;
    // The entry of the device in use says whether that device is there (the port follows it).
    void MarkDeviceInUse(bool absent);

    // Every byte received since the last clear: short messages as three bytes each.
    const QByteArray& ReceivedBytes() const { return FReceivedBytes; }

private:
    void FillDeviceItems(const QString& inUse);
    void ClearAndRestart();
    void RestartChosenInput();
    void TakeEvent();
    void ShowOverflow();
    void ButtonInSaveBinaryClick();
    void ButtonInSaveTextClick();
    void MemoMidiInChange();
    void FlushMonitor();

    TSession& Session;
    TControls Controls;
    TFileFolders& Folders;
    QByteArray FReceivedBytes;
    bool Listening = false;  // the input port reports to this monitor
    // Events are taken one per notification; the memo and the count catch up once per turn of
    // the event loop.
    QString MonitorPending;
    bool MonitorFlushQueued = false;
    bool OverflowBoxOpen = false;
    int OverflowsWhileOpen = 0;
};
