#pragma once
// The main window. Declared once here and implemented by concern:
//   UnitFormMain.cpp          start-up, output-port menu, function menu, resize, closing
//   UnitFormMainSettings.cpp  reading and writing the settings file
//   UnitFormMainPanel.cpp     controller panel, program field and panel commands
//   UnitFormMainKeyboard.cpp  on-screen and computer keyboard, the test note
//   UnitFormMainDrums.cpp     drum pads
//   UnitFormMainBinary.cpp    raw output editor and timed sender
//   UnitFormMainMonitor.cpp   input device choice and input monitor

#include "MidiInput.h"
#include "MidiMessages.h"
#include "MidiOutput.h"
#include "platform/PortBackend.h"
#include "Settings.h"
#include "UnitClassControlChange.h"
#include "UnitFormDrumColor.h"
#include "UnitFormProgramList.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

namespace Ui {
class TFormMain;
}
class QAction;
class QButtonGroup;
class QLabel;
class QScrollBar;
class QCheckBox;
class QTimer;
class TKeyShape;
class TDrumPad;
class TIniFile;

class TFormMain : public QMainWindow, public TProgramListHost, public TDrumColorHost, private TControlChangeHost {
    Q_OBJECT
public:
    static constexpr const char* NoOutputDeviceMessage = QT_TR_NOOP("MIDI出力ポートを発見できません。プログラムを終了します");
    static constexpr const char* ChoosePortMessage = QT_TR_NOOP("「出力ポート」メニューから，MIDI出力ポートを選択してください");
    static constexpr const char* PortFailedMessage = QT_TR_NOOP("指定された出力ポートを開けませんでした");

    // arguments: the command line after the program's name. programPath: the program file.
    TFormMain(const QStringList& arguments, const QString& programPath, QWidget* parent = nullptr);
    ~TFormMain() override;

    // True when start-up found no output device: the program ends without showing the window.
    bool EndRequested() const { return FEndRequested; }
    QString ApplicationTitle() const { return FApplicationTitle; }
    Ui::TFormMain* Form() const { return ui.get(); }
    int ProgramRangeOffset() const;  // 0 for "0～127", 1 for "1～128"

    // The dialogs made after the window, as its children (it owns them); they work on this
    // window's state through their host interfaces below.
    void AttachDialogs(TFormProgramList* programList, TFormDrumColor* drumColor);

    // TProgramListHost and TDrumColorHost
    const QString& SettingsPath() const override { return FSettingsPath; }
    const QString& ProgramFolder() const override { return FProgramFolder; }
    bool HintsShown() const override;
    int ShownProgram() const override;
    void ShowProgram(int program) override;
    void SendProgramChange() override;
    void KeyNoteOn(int key) override;
    void KeyNoteOff(int key) override;
    TDrumColors DrumColors() const override;
    QFont DrumFont() const override;  // the first pad's
    QPoint DrumColorDialogPlace() const override { return pos() + QPoint(50, 200); }

    // The box a refused controller value shows.
    static QString RejectionText(TControlParameter parameter);
    void ApplyDrumAppearance(uint32_t back, uint32_t fore, uint32_t reverseBack, uint32_t reverseFore,
                             const QFont& font) override;
    QStringList& ColorDialogEntries() override { return FColorDialogEntries; }

    TMidiOutput* MidiOutput = nullptr;
    TMidiInput* MidiInput = nullptr;
    std::unique_ptr<TControlChange> ControlChange;

    // Note state, read at each send; set from the settings at start-up.
    uint8_t Channel = 0;
    uint8_t OnVelocity = 0;
    uint8_t OffVelocity = 0;
    int8_t Transpose = 0;
    uint8_t PolyPressureNote = 0;
    std::array<TKeyShape*, 18> KeyShapes{};   // index = key − 60
    std::array<bool, 18> KeySounding{};

    // Drum pads; the colours are set from the settings at start-up.
    std::array<TDrumPad*, 128> DrumPads{};
    uint32_t DrumBackColor = 0;
    uint32_t DrumForeColor = 0;
    uint32_t DrumReverseBackColor = 0;
    uint32_t DrumReverseForeColor = 0;

    // Raw output editor and input monitor.
    QList<QByteArray> PacketQueue;
    int32_t SentByteCount = 0;
    QString BinaryFolder;
    QString TextFolder;
    QByteArray ReceivedBytes;
    QTimer* TimerMidiOut = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // --- start-up, menus, closing (UnitFormMain.cpp)
    void FormCreate(const QStringList& arguments, const QString& programPath);
    void FormClose();
    void FormResize();
    void PageMainChange();
    void BuildOutDeviceMenu(const QString& savedName);
    void RefreshOutDeviceMenu();
    void FillOutDeviceMenu(const QString& inUse);
    QString OutputFailureText(const QString& portName, TMidiFailure failure) const;
    void MenuOutDeviceItemClick(QAction* item);
    void MenuFileHintClick();
    void MenuFileVersionClick();
    void MenuFileExitClick();
    void AssignHints();
    void ShowBox(const QString& text);
    // Puts a message built in the model on the output port.
    void Send(const TShortMessage& message);
    void Send(const std::vector<uint8_t>& block);
    bool PreviewKey(QObject* watched, QEvent* event);

    // --- settings file (UnitFormMainSettings.cpp)
    TMainSettings ReadSettings(const TIniFile& file) const;
    void WriteSettings();
    TMainSettings CollectSettings() const;

    // --- controller panel, program field, commands (UnitFormMainPanel.cpp)
    void SetUpPanel();
    void SetPanelTabOrder();
    void RestorePanel(const TMainSettings& settings);
    void RestoreChannel(int channel);
    void MarkParametersStale();
    void RadioChannelClick(int index);
    void TrackBarPitchBendChange(int position);
    void ContinuousChange(int row, int position);
    void ContinuousValueDblClick(int row);
    void ContinuousNameDblClick(int row);
    void SwitchChange(int row, bool on);
    void ButtonChannelPressureDown();
    void ButtonChannelPressureUp();
    void ButtonPolyPressureDown();
    void ButtonPolyPressureUp();
    void RadioProgramRangeClick(int index);
    void SpinEditProgramChange();
    void LabelProgramClick();
    void ButtonGmSystemOnClick();
    void ButtonGsResetClick();
    void ButtonAllNoteOffClick();
    void ButtonDefaultClick();
    void ButtonSendAllClick();
    bool PanelEvent(QObject* watched, QEvent* event);  // double-clicks and presses the panel wants

    // --- keyboard (UnitFormMainKeyboard.cpp)
    void CreateKeyboard();
    void CreateWhiteKey(int key);
    void CreateBlackKey(int key);
    void PaintKey(int key);
    bool FormKeyDown(QKeyEvent* event);
    bool FormKeyUp(QKeyEvent* event);
    void ReleaseComputerKeys();
    void AttachTestNote();
    bool TestNoteEvent(QObject* watched, QEvent* event);

    // --- drum pads (UnitFormMainDrums.cpp)
    void SetUpDrums(const TMainSettings& settings);
    void ComboDrumListChange();
    void DrumPadMouseDown(TDrumPad* pad, int note);
    void DrumPadMouseUp(TDrumPad* pad, int note);
    void LayOutDrumPads();
    void ButtonDrumFontSetClick();

    // --- raw output editor (UnitFormMainBinary.cpp)
    void SetUpBinary(const TMainSettings& settings);
    void LayOutBinaryPage();
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
    void ButtonBinaryFontSetClick();
    void SetBinaryFont(const QFont& font);
    void SetLabelMidiOutAqua(bool aqua);  // the label's blink, one flip per packet

    // --- input monitor (UnitFormMainMonitor.cpp)
    void FillInputDeviceList();
    void FillInputDeviceItems(const QString& inUse);
    void RestoreInputDevice(const QString& savedName);
    void ComboMidiInDeviceChange();
    void MidiInputMidiInput();
    void MidiInputOverflow();
    void ButtonInClearClick();
    void RestartChosenInput();
    void ButtonInSaveBinaryClick();
    void ButtonInSaveTextClick();
    void MemoMidiInChange();
    void FlushMonitor();

    // TControlChangeHost
    bool OutputPortOpen() const override;
    uint8_t CurrentChannel() const override;
    void PutShort(uint8_t status, uint8_t data1, uint8_t data2) override;
    void ShowRejection(TControlParameter parameter) override;

    std::unique_ptr<Ui::TFormMain> ui;
    QString FSettingsPath;
    QString FProgramFolder;
    QString FApplicationTitle = QStringLiteral("Kelvane");
    bool FEndRequested = false;
    QObject* KeyPreview = nullptr;
    QList<QAction*> OutDeviceItems;
    QButtonGroup* RadioChannelGroup = nullptr;
    QButtonGroup* RadioProgramRangeGroup = nullptr;
    QStringList FColorDialogEntries;
    TFormProgramList* FormProgramList = nullptr;
    TFormDrumColor* FormDrumColor = nullptr;
    bool LabelMidiOutAqua = false;
    int DrumFontCharacterSet = 128;    // no meaning to Qt; kept and written back
    int BinaryFontCharacterSet = 128;
    QHash<QObject*, std::function<void()>> DoubleClickActions;  // labels and fields
    QSet<QObject*> TestNoteTargets;  // the controls a right press on plays C4
    // Computer keys down on the main page, by key number − 60. A key's release goes elsewhere
    // when the window loses the focus or the page changes; its note is ended then, and the
    // release that may still come later sends nothing.
    std::array<bool, 18> ComputerKeyDown{};
    std::array<bool, 18> ComputerKeyEnded{};

    // Monitor: events are taken one per notification; the memo and the count catch up once
    // per turn of the event loop.
    QString MonitorPending;
    bool MonitorFlushQueued = false;
    bool OverflowBoxOpen = false;
    int OverflowsWhileOpen = 0;
};
