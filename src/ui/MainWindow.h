#pragma once
// The main window: the menus, the three pages and the order the program starts and ends in. The
// pages do their own work; what they share lives in the session.

#include <QMainWindow>
#include <QStringList>

#include <memory>

namespace Ui {
class TMainWindow;
}
class QDialog;
class TBinaryPage;
class TControllerPage;
class TDrumPage;
class TMidiMonitorWindow;
class TOutputPortMenu;
class TPortStatus;
class TProgramListDialog;
class TSession;
struct TMainSettings;

class TMainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* NoOutputDeviceMessage = QT_TR_NOOP("MIDI出力ポートを発見できません。プログラムを終了します");
    static constexpr const char* ChoosePortMessage = QT_TR_NOOP("「出力ポート」メニューから，MIDI出力ポートを選択してください");

    // arguments: the command line after the program's name. programPath: the program file.
    TMainWindow(const QStringList& arguments, const QString& programPath, QWidget* parent = nullptr);
    ~TMainWindow() override;

    // True when start-up found no output device: the program ends without showing the window.
    bool EndRequested() const { return FEndRequested; }

    TSession& Session() { return *FSession; }
    TControllerPage& ControllerPage() { return *FControllerPage; }
    TDrumPage& DrumPage() { return *FDrumPage; }
    TBinaryPage& BinaryPage() { return *FBinaryPage; }
    TMidiMonitorWindow& MonitorWindow() { return *FMonitorWindow; }
    TPortStatus& PortStatus() { return *Status; }

    // The dialogs made after the window, as its children (it owns them); they work on the pages
    // through their host interfaces.
    void AttachDialogs(TProgramListDialog* programList, QDialog* drumColor);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate(const QStringList& arguments);
    void FormClose();
    void FormResize();
    void PageMainChange();
    void KeepPageAccessKeys();
    void MenuFileHintClick();
    void MenuFileVersionClick();
    void MenuFileExitClick();
    void MenuFileMonitorClick();
    bool PreviewKey(QObject* watched, QEvent* event);
    TMainSettings CollectSettings() const;

    std::unique_ptr<Ui::TMainWindow> ui;
    std::unique_ptr<TSession> FSession;
    TControllerPage* FControllerPage = nullptr;
    TDrumPage* FDrumPage = nullptr;
    TBinaryPage* FBinaryPage = nullptr;
    TMidiMonitorWindow* FMonitorWindow = nullptr;
    TOutputPortMenu* PortMenu = nullptr;
    TPortStatus* Status = nullptr;
    QObject* KeyPreview = nullptr;
    bool FEndRequested = false;
};
