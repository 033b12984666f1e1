#include "Keyboard.h"

#include "Dialogs.h"
#include "MidiMessages.h"
#include "MidiNames.h"
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

// The eighteen computer keys, found by where they sit on the keyboard, so that every layout
// (AZERTY, QWERTZ, JIS, Dvorak) plays the same piano shape: two rows, the white keys on the home
// row from the key left of S to the second key right of L, the black keys above them. KeyCode
// is the X11 key code (the Linux evdev code + 8), which Qt gives as the native scan code on X11
// and Wayland; Letter and Shifted are what a US layout prints on the key, used where there is no
// key code (the tests' offscreen platform, events made by a program).
struct TComputerKey {
    int Key;
    quint32 KeyCode;
    Qt::Key Letter;
    Qt::Key Shifted;
};

constexpr TComputerKey ComputerKeys[] = {
    {60, 38, Qt::Key_A, Qt::Key_A},          {61, 25, Qt::Key_W, Qt::Key_W},
    {62, 39, Qt::Key_S, Qt::Key_S},          {63, 26, Qt::Key_E, Qt::Key_E},
    {64, 40, Qt::Key_D, Qt::Key_D},          {65, 41, Qt::Key_F, Qt::Key_F},
    {66, 28, Qt::Key_T, Qt::Key_T},          {67, 42, Qt::Key_G, Qt::Key_G},
    {68, 29, Qt::Key_Y, Qt::Key_Y},          {69, 43, Qt::Key_H, Qt::Key_H},
    {70, 30, Qt::Key_U, Qt::Key_U},          {71, 44, Qt::Key_J, Qt::Key_J},
    {72, 45, Qt::Key_K, Qt::Key_K},          {73, 32, Qt::Key_O, Qt::Key_O},
    {74, 46, Qt::Key_L, Qt::Key_L},          {75, 33, Qt::Key_P, Qt::Key_P},
    {76, 47, Qt::Key_Semicolon, Qt::Key_Colon}, {77, 48, Qt::Key_Apostrophe, Qt::Key_QuoteDbl},
};

// Platforms whose native scan code is the XKB key code of the key.
bool ScanCodesAreKeyCodes()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

// The keyboard key a computer key plays, or 0. By the key's place where the platform tells it;
// a key with no place of its own (made by a program, or the offscreen platform) by its letter.
int KeyForEvent(const QKeyEvent* event)
{
    const bool byPlace = event->nativeScanCode() != 0 && ScanCodesAreKeyCodes();
    for (const TComputerKey& key : ComputerKeys) {
        if (byPlace ? event->nativeScanCode() == key.KeyCode
                    : event->key() == key.Letter || event->key() == key.Shifted)
            return key.Key;
    }
    return 0;
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
    shape->setAccessibleName(NoteName(key));  // "C4 (60)", as the monitor names notes
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
