#pragma once
// The main page: the channel, the note parameters, the controller sliders and switches, the
// program field and the panel commands, and the keyboard.

#include "ControlChange.h"
#include "ProgramListDialog.h"
#include "Settings.h"

#include <QHash>
#include <QSet>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class TControllerPage;
}
class QButtonGroup;
class TKeyboard;
class TSession;

class TControllerPage final : public QWidget, public TProgramListHost {
    Q_OBJECT
public:
    TControllerPage(TSession& session, QWidget* parent);
    ~TControllerPage() override;

    // The box a refused controller value shows.
    static QString RejectionText(TControlParameter parameter);

    // Start-up: the values restored while the output port is still closed, so nothing is sent;
    // the channel comes after the port (it paints every parameter as possibly stale).
    void Restore(const TMainSettings& settings);
    void RestoreChannel(int channel);
    void Collect(TMainSettings& settings) const;

    // The synthesizer behind the port may hold other values than the panel shows.
    void MarkParametersStale();
    int ProgramRangeOffset() const;  // 0 for "0～127", 1 for "1～128"
    TKeyboard& Keyboard() { return *FKeyboard; }
    const TKeyboard& Keyboard() const { return *FKeyboard; }
    // The dialog a click on the program label opens (made after the main window).
    void AttachProgramList(QDialog* programList) { ProgramList = programList; }

    // TProgramListHost
    const QString& SettingsPath() const override;
    const QString& ProgramFolder() const override;
    bool HintsShown() const override;
    int ShownProgram() const override;
    void ShowProgram(int program) override;
    void SendProgramChange() override;
    void KeyNoteOn(int key) override;
    void KeyNoteOff(int key) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpPanel();
    void SetPanelTabOrder();
    void AttachTestNote();
    bool TestNoteEvent(QObject* watched, QEvent* event);
    bool PanelEvent(QObject* watched, QEvent* event);  // double-clicks and presses the panel wants
    void ShowBox(const QString& text);

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

    std::unique_ptr<Ui::TControllerPage> ui;
    TSession& Session;
    TKeyboard* FKeyboard = nullptr;
    QButtonGroup* RadioChannelGroup = nullptr;
    QButtonGroup* RadioProgramRangeGroup = nullptr;
    QDialog* ProgramList = nullptr;
    uint8_t PolyPressureNote = 0;
    QHash<QObject*, std::function<void()>> DoubleClickActions;  // labels and fields
    QSet<QObject*> TestNoteTargets;  // the controls a right press on plays C4
};
