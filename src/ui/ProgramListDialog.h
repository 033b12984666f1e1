#pragma once
// The program selection dialog: voices by name from program.ini, heard at a press.

#include <QDialog>
#include <QSet>

#include <memory>

namespace Ui {
class TProgramListDialog;
}

// What the dialog needs of the window that opens it.
class TProgramListHost {
public:
    virtual ~TProgramListHost() = default;
    virtual const QString& SettingsPath() const = 0;
    virtual const QString& ProgramFolder() const = 0;  // with its trailing separator
    virtual bool HintsShown() const = 0;
    // The program 0..127 the window's program field shows, whatever its display range; and a
    // program put into that field in its display range.
    virtual int ShownProgram() const = 0;
    virtual void ShowProgram(int program) = 0;
    virtual void SendProgramChange() = 0;  // the field's program, as its Enter key sends it
    virtual void KeyNoteOn(int key) = 0;   // the test note, as the on-screen keyboard plays it
    virtual void KeyNoteOff(int key) = 0;
};

class TProgramListDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* ChooseVoiceMessage = QT_TR_NOOP("呼び出したい音色を選択してOKボタンを押してください");

    explicit TProgramListDialog(TProgramListHost& host, QWidget* parent = nullptr);
    ~TProgramListDialog() override;

    int Columns() const { return FColumns; }
    // The program names of the list shown, by program number (the text after "=" of each line).
    QStringList ProgramNames() const;

signals:
    void ProgramNamesChanged();  // another list was chosen, or the list was read afresh

public:

    // The program number 0..127 the main window's field gets when the dialog closes.
    int ResultProgram = 0;
    // The list index whose program change was sent last; −1 when the last press fell on no line.
    int LastSentProgram = -1;

public slots:
    // Every way of closing (OK, Cancel, Escape, the close box) ends here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void ComboProgramListChange();
    void SpinEditColumnChange();
    void ButtonFontSetClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    void ListMainMouseDown(Qt::MouseButton button);
    void ListMainMouseUp(Qt::MouseButton button);
    void ListMainDblClick();

    void AssignHints();
    void SetListFont(const QFont& font);
    void SetColumns(int columns);
    void UpdateColumnWidth();
    void FitColumnLabel();
    void LayOutButtonStrip();
    void ReleaseTestNotes();
    void WriteSettings(const QRect& placement);
    QString ProgramIniPath() const;

    TProgramListHost& Host;
    std::unique_ptr<Ui::TProgramListDialog> ui;
    int FColumns = 3;
    int FCharacterSet = 128;  // no meaning to Qt; kept and written back
    int ColumnLabelShift = 0;  // how far the column box and the list-name box moved right
    bool FClosing = false;
    bool FForwardingPress = false;
    QSet<int> FPressedNotes;   // test notes whose mouse button is down
    QSet<int> FSoundingNotes;  // test notes this dialog has turned on and not yet off
};
