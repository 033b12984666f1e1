#pragma once
// The MIDI monitor window: a table over the session's record (every message received and, when
// the user asks, every message sent), with filters, a pause that keeps recording, a clear shared
// with the Binary page's memo, and exports. Non-modal; the main window owns it and it lives as
// long as the main window, hidden while closed, so the table keeps up with the record.

#include "MonitorTableModel.h"

#include <QWidget>

#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class TSession;
struct TMonitorSettings;

class TMidiMonitorWindow : public QWidget {
    Q_OBJECT
public:
    TMidiMonitorWindow(TSession& session, QWidget* parent);
    ~TMidiMonitorWindow() override;

    void Restore(const TMonitorSettings& settings);
    // Everything but the memo's line limit (the Binary page's).
    void Collect(TMonitorSettings& settings) const;

    // Program names for program changes, and the number of the first program: 1 when the panel
    // counts programs from 1.
    void SetProgramNames(TProgramNameLookup lookup);
    void SetProgramNumberBase(int programBase);

    TMonitorTableModel& Model() { return *FModel; }
    QTableView& Table() { return *FTable; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void FilterChanged();
    void RecordChanged();
    void ShowWaiting();
    void ExportText();
    void ExportMidiFile();

    TSession& Session;
    std::unique_ptr<TMonitorTableModel> FModel;
    QTableView* FTable = nullptr;
    QCheckBox* GroupBoxes[MessageGroupCount] = {};
    QToolButton* ChannelButton = nullptr;
    QAction* ChannelActions[16] = {};
    QCheckBox* IncomingBox = nullptr;
    QCheckBox* OutgoingBox = nullptr;
    QLineEdit* TextFilter = nullptr;
    QPushButton* PauseButton = nullptr;
    QLabel* WaitingLabel = nullptr;
    QCheckBox* FollowBox = nullptr;
    QCheckBox* WallClockBox = nullptr;
    QCheckBox* RecordSentBox = nullptr;
    QString TextFolder;
    QString MidiFolder;
};
