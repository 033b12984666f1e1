// The on-screen keyboard of 18 keys, the computer keyboard, and the right-button test note.
#include "UnitFormMain.h"

#include "Dialogs.h"
#include "Widgets.h"
#include "ui_UnitFormMain.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

constexpr int WhiteKeys[] = {60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77};
constexpr int BlackKeys[] = {61, 63, 66, 68, 70, 73, 75};

bool IsBlack(int key)
{
    return std::find(std::begin(BlackKeys), std::end(BlackKeys), key) != std::end(BlackKeys);
}

// Left edge of each key in PanelNote: white keys edge to edge, black keys 7 px before the
// white key above them.
int KeyLeft(int key)
{
    if (IsBlack(key))
        return KeyLeft(key + 1) - 7;
    const auto position = std::find(std::begin(WhiteKeys), std::end(WhiteKeys), key) - std::begin(WhiteKeys);
    return 23 * int(position);
}

// X11 key codes of the two keys right of L, whatever the layout prints on them.
constexpr quint32 ScanCodeRightOfL = 47;
constexpr quint32 ScanCodeRightOfThat = 48;

int KeyForEvent(const QKeyEvent* event)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (event->nativeScanCode() == ScanCodeRightOfL)
            return 76;
        if (event->nativeScanCode() == ScanCodeRightOfThat)
            return 77;
    }
    switch (event->key()) {
    case Qt::Key_A: return 60;
    case Qt::Key_W: return 61;
    case Qt::Key_S: return 62;
    case Qt::Key_E: return 63;
    case Qt::Key_D: return 64;
    case Qt::Key_F: return 65;
    case Qt::Key_T: return 66;
    case Qt::Key_G: return 67;
    case Qt::Key_Y: return 68;
    case Qt::Key_H: return 69;
    case Qt::Key_U: return 70;
    case Qt::Key_J: return 71;
    case Qt::Key_K: return 72;
    case Qt::Key_O: return 73;
    case Qt::Key_L: return 74;
    case Qt::Key_P: return 75;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 76;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 77;
    default: return 0;
    }
}

// "C4 (60)", "C#4 (61)": what a screen reader says for a key.
QString KeyAccessibleName(int key)
{
    static const char* const Names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return QStringLiteral("%1%2 (%3)").arg(QLatin1String(Names[key % 12])).arg(key / 12 - 1).arg(key);
}

} // namespace

void TFormMain::CreateKeyboard()
{
    for (int key : WhiteKeys)
        CreateWhiteKey(key);
    // Made after the white keys, the black keys lie above them and take the mouse there.
    for (int key : BlackKeys)
        CreateBlackKey(key);
    ui->PanelNote->setFixedSize(253, 86);
}

void TFormMain::CreateWhiteKey(int key)
{
    auto* shape = new TKeyShape(ui->PanelNote);
    shape->setObjectName(QStringLiteral("Shape%1").arg(key));
    shape->setAccessibleName(KeyAccessibleName(key));
    shape->setGeometry(KeyLeft(key), 0, 23, 86);
    shape->SetFill(Qt::white);
    connect(shape, &TKeyShape::MouseDown, this, [this, key] { RunReported([&] { KeyNoteOn(key); }); });
    connect(shape, &TKeyShape::MouseUp, this, [this, key] { RunReported([&] { KeyNoteOff(key); }); });
    KeyShapes[key - 60] = shape;
}

void TFormMain::CreateBlackKey(int key)
{
    auto* shape = new TKeyShape(ui->PanelNote);
    shape->setObjectName(QStringLiteral("Shape%1").arg(key));
    shape->setAccessibleName(KeyAccessibleName(key));
    shape->setGeometry(KeyLeft(key), 0, 15, 57);
    shape->SetFill(Qt::black);
    shape->raise();
    connect(shape, &TKeyShape::MouseDown, this, [this, key] { RunReported([&] { KeyNoteOn(key); }); });
    connect(shape, &TKeyShape::MouseUp, this, [this, key] { RunReported([&] { KeyNoteOff(key); }); });
    KeyShapes[key - 60] = shape;
}

void TFormMain::PaintKey(int key)
{
    const bool sounding = KeySounding[key - 60];
    if (IsBlack(key))
        KeyShapes[key - 60]->SetFill(sounding ? QColor(0, 0, 255) : QColor(Qt::black));
    else
        KeyShapes[key - 60]->SetFill(sounding ? QColor(0, 255, 255) : QColor(Qt::white));
}

void TFormMain::KeyNoteOn(int key)
{
    if (key < 60 || key > 77 || KeySounding[key - 60])
        return;
    Send(NoteOn(Channel, key + Transpose, OnVelocity));
    KeySounding[key - 60] = true;
    PaintKey(key);
}

void TFormMain::KeyNoteOff(int key)
{
    if (key < 60 || key > 77)
        return;
    Send(NoteOff(Channel, key + Transpose, OffVelocity));
    KeySounding[key - 60] = false;
    PaintKey(key);
    if (std::none_of(KeySounding.begin(), KeySounding.end(), [](bool sounding) { return sounding; }))
        ui->TrackBarPitchBend->setValue(0);  // sends the centre only when it was elsewhere
}

bool TFormMain::FormKeyDown(QKeyEvent* event)
{
    // A held key repeats; only the first press sounds. On X11 the server is asked to send
    // repeats as presses alone, which KeyNoteOn ignores while the key sounds.
    if (event->isAutoRepeat() || ui->PageMain->currentIndex() != 0)
        return false;
    const int key = KeyForEvent(event);
    if (!key)
        return false;
    ComputerKeyDown[key - 60] = true;
    ComputerKeyEnded[key - 60] = false;
    KeyNoteOn(key);
    return true;
}

bool TFormMain::FormKeyUp(QKeyEvent* event)
{
    if (event->isAutoRepeat() || ui->PageMain->currentIndex() != 0)
        return false;
    const int key = KeyForEvent(event);
    if (!key)
        return false;
    ComputerKeyDown[key - 60] = false;
    if (ComputerKeyEnded[key - 60]) {
        ComputerKeyEnded[key - 60] = false;  // its note-off went out when the focus or page left
        return true;
    }
    KeyNoteOff(key);
    return true;
}

void TFormMain::ReleaseComputerKeys()
{
    for (int key = 60; key <= 77; ++key) {
        if (!ComputerKeyDown[key - 60])
            continue;
        ComputerKeyDown[key - 60] = false;
        ComputerKeyEnded[key - 60] = true;
        // A key the all-notes-off button already rested has nothing left to end.
        if (KeySounding[key - 60])
            KeyNoteOff(key);
    }
}

void TFormMain::AttachTestNote()
{
    TestNoteTargets.insert(ui->TabMain);
    for (QLabel* label : ui->TabMain->findChildren<QLabel*>())
        TestNoteTargets.insert(label);
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui->CheckHold1, ui->CheckSostenuto, ui->CheckSoft, ui->CheckMono, ui->ButtonGmSystemOn,
             ui->ButtonGsReset, ui->ButtonAllNoteOff, ui->ButtonDefault, ui->ButtonSendAll})
        TestNoteTargets.insert(control);
    for (QObject* target : std::as_const(TestNoteTargets))
        target->installEventFilter(this);
}

bool TFormMain::TestNoteEvent(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return false;
    if (!TestNoteTargets.contains(watched))
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton)
        return false;
    if (watched == ui->TabMain) {
        // Qt hands a press that a control ignored on to the page; only the page's own
        // background plays the note.
        QWidget* child = ui->TabMain->childAt(mouse->position().toPoint());
        if (child && child != ui->TabMain)
            return false;
    }
    if (type == QEvent::MouseButtonRelease)
        KeyNoteOff(60);
    else
        KeyNoteOn(60);
    return true;  // handled here: the page behind must not play it a second time
}
