#include "Keyboard.h"

#include "Dialogs.h"
#include "MidiMessages.h"
#include "Session.h"
#include "Widgets.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

namespace {

constexpr int WhiteKeys[] = {60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77};
constexpr int BlackKeys[] = {61, 63, 66, 68, 70, 73, 75};

bool IsBlack(int key)
{
    return std::find(std::begin(BlackKeys), std::end(BlackKeys), key) != std::end(BlackKeys);
}

// Left edge of each key in the panel: white keys edge to edge, black keys 7 px before the white
// key above them.
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

TKeyboard::TKeyboard(TSession& session, QWidget& panel) : QObject(&panel), Session(session), Panel(panel)
{
    for (int key : WhiteKeys)
        CreateKey(key);
    // Made after the white keys, the black keys lie above them and take the mouse there.
    for (int key : BlackKeys)
        CreateKey(key);
    Panel.setFixedSize(253, 86);

    const QString hint = tr("マウスを押すとノート・オン，離すとノート・オフを送ります。\n"
                            "表示が乱れた場合は「音を消す」ボタンを押してください。\n"
                            "パソコンのキーボードでも音を鳴らすことができます。キーA＝ノートC4です");
    for (TKeyShape* shape : KeyShapes)
        shape->setToolTip(hint);
}

void TKeyboard::CreateKey(int key)
{
    auto* shape = new TKeyShape(&Panel);
    shape->setObjectName(QStringLiteral("Shape%1").arg(key));
    shape->setAccessibleName(KeyAccessibleName(key));
    if (IsBlack(key)) {
        shape->setGeometry(KeyLeft(key), 0, 15, 57);
        shape->SetFill(Qt::black);
        shape->raise();
    } else {
        shape->setGeometry(KeyLeft(key), 0, 23, 86);
        shape->SetFill(Qt::white);
    }
    connect(shape, &TKeyShape::MouseDown, this, [this, key] { RunReported([&] { NoteOn(key); }); });
    connect(shape, &TKeyShape::MouseUp, this, [this, key] { RunReported([&] { NoteOff(key); }); });
    KeyShapes[size_t(key - 60)] = shape;
}

void TKeyboard::PaintKey(int key)
{
    const bool sounding = KeySounding[size_t(key - 60)];
    if (IsBlack(key))
        KeyShapes[size_t(key - 60)]->SetFill(sounding ? QColor(0, 0, 255) : QColor(Qt::black));
    else
        KeyShapes[size_t(key - 60)]->SetFill(sounding ? QColor(0, 255, 255) : QColor(Qt::white));
}

void TKeyboard::NoteOn(int key)
{
    if (key < 60 || key > 77 || KeySounding[size_t(key - 60)])
        return;
    Session.Send(::NoteOn(Session.Channel(), key + Session.Transpose(), Session.OnVelocity()));
    KeySounding[size_t(key - 60)] = true;
    PaintKey(key);
}

void TKeyboard::NoteOff(int key)
{
    if (key < 60 || key > 77)
        return;
    Session.Send(::NoteOff(Session.Channel(), key + Session.Transpose(), Session.OffVelocity()));
    KeySounding[size_t(key - 60)] = false;
    PaintKey(key);
    if (std::none_of(KeySounding.begin(), KeySounding.end(), [](bool sounding) { return sounding; }) && OnAllReleased)
        OnAllReleased();
}

void TKeyboard::RestAll()
{
    KeySounding.fill(false);
    for (int key = 60; key <= 77; ++key)
        PaintKey(key);
}

void TKeyboard::DropNotes()
{
    for (size_t k = 0; k < ComputerKeyIsDown.size(); ++k) {
        if (ComputerKeyIsDown[k]) {
            ComputerKeyIsDown[k] = false;
            ComputerKeyEnded[k] = true;
        }
    }
    RestAll();
}

bool TKeyboard::ComputerKeyDown(QKeyEvent* event)
{
    // A held key repeats; only the first press sounds. On X11 the server is asked to send
    // repeats as presses alone, which NoteOn ignores while the key sounds.
    if (event->isAutoRepeat())
        return false;
    const int key = KeyForEvent(event);
    if (!key)
        return false;
    ComputerKeyIsDown[size_t(key - 60)] = true;
    ComputerKeyEnded[size_t(key - 60)] = false;
    NoteOn(key);
    return true;
}

bool TKeyboard::ComputerKeyUp(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return false;
    const int key = KeyForEvent(event);
    if (!key)
        return false;
    ComputerKeyIsDown[size_t(key - 60)] = false;
    if (ComputerKeyEnded[size_t(key - 60)]) {
        ComputerKeyEnded[size_t(key - 60)] = false;  // its note-off went out when the focus or page left
        return true;
    }
    NoteOff(key);
    return true;
}

void TKeyboard::ReleaseComputerKeys()
{
    for (int key = 60; key <= 77; ++key) {
        if (!ComputerKeyIsDown[size_t(key - 60)])
            continue;
        ComputerKeyIsDown[size_t(key - 60)] = false;
        ComputerKeyEnded[size_t(key - 60)] = true;
        // A key the all-notes-off button already rested has nothing left to end.
        if (KeySounding[size_t(key - 60)])
            NoteOff(key);
    }
}
