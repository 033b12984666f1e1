#pragma once
// The input side of the Binary page: the choice of input device, and each message received
// shown as a line of hexadecimal bytes and kept in the session's record, to be saved as .syx or
// .txt. The memo shows at most the newest lines the settings allow; the saves write every line
// since the clear, from the record.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

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

    // The port was restarted on the device the list shows (or closed: no input).
    std::function<void()> OnInputRestarted;

    // At most this many lines stay in the memo; the oldest leave first, and a line at the top
    // says how many.
    void SetMemoLineLimit(int lines);
    int MemoLineLimit() const { return FMemoLineLimit; }

    // Every byte received since the last clear: short messages as three bytes each.
    QByteArray ReceivedBytes() const;
    qint64 ReceivedByteCount() const;

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
    void DropFirstMemoLines(qsizetype count);
    void ShowEarlierLines();

    TSession& Session;
    TControls Controls;
    TFileFolders& Folders;
    bool Listening = false;  // the input port reports to this monitor
    // Events are taken one per notification into the record; the memo and the count catch up
    // when the record tells its views, once per turn of the event loop.
    size_t MemoSeen = 0;  // entries of the record looked at for the memo
    int FMemoLineLimit = 1'000'000;
    qsizetype MemoLines = 0;     // message lines in the memo
    qsizetype EarlierLines = 0;  // lines since the clear that have left the memo
    bool EarlierLinesShown = false;  // the memo's first paragraph says how many
    uint64_t MemoGeneration = 0;     // the record's, when the memo was last emptied
    bool OverflowBoxOpen = false;
    int OverflowsWhileOpen = 0;
};
