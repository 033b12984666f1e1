#pragma once
// The status line at the bottom of the main window: the ports in use, and a port whose device
// went, came back, or was not there when a note was played, said once each, without a box that
// would take the keyboard in the middle of playing. What was said gives way to the ports again
// after a while; they then still show a device that is not there.

#include <QObject>
#include <QString>

#include <functional>

class QStatusBar;
class TElidedLabel;
class TSession;

class TPortStatus final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* OutputGoneText = QT_TR_NOOP("出力ポート %1 が見つかりません — 戻ると自動で再接続します");
    static constexpr const char* OutputReturnedText = QT_TR_NOOP("出力ポート %1 に再接続しました");
    static constexpr const char* OutputArrivedText = QT_TR_NOOP("出力ポート %1 が見つかったので開きました");
    static constexpr const char* NotSentText = QT_TR_NOOP("出力ポート %1 がないため，送信できませんでした");
    static constexpr const char* InputGoneText = QT_TR_NOOP("入力ポート %1 が見つかりません — 戻ると自動で再接続します");
    static constexpr const char* InputReturnedText = QT_TR_NOOP("入力ポート %1 に再接続しました");
    static constexpr const char* InputArrivedText = QT_TR_NOOP("入力ポート %1 が見つかったので開きました");
    static constexpr const char* PortsText = QT_TR_NOOP("出力：%1　　入力：%2");
    static constexpr const char* NoPortText = QT_TR_NOOP("なし");
    static constexpr int SaidForMs = 20000;

    // Takes over the ports' OnGone and OnReturned and the session's OnSendWhileAbsent; the
    // ports must be made.
    TPortStatus(TSession& session, QStatusBar& bar, QObject* parent);

    QString Text() const;       // what was said last, while it shows
    QString PortsShown() const;  // the ports in use, as the line shows them beneath what is said

    // After the user chose another port or input device.
    void Refresh();

    // The window's share: its keys go to rest when the output's device goes, and a device that
    // opened by itself may hold other values than the panel shows.
    std::function<void()> OnOutputGone;
    std::function<void()> OnOutputReturned;
    std::function<void(bool absent)> OnInputChanged;

private:
    void Say(const char* text, const std::string& portName);

    TSession& Session;
    QStatusBar& Bar;
    TElidedLabel* Ports = nullptr;
    bool OutputWent = false;   // the device went while open (else it was awaited from the start)
    bool InputWent = false;
    bool NotSentSaid = false;  // once per absence
};
