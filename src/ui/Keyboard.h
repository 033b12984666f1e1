#pragma once
// The on-screen keyboard of 18 keys, C4 (60) to F5 (77), and the computer keys that play it.
// Each note carries the session's channel, transposition and velocities.

#include <QObject>

#include <array>
#include <functional>

class QKeyEvent;
class QWidget;
class TKeyShape;
class TSession;

class TKeyboard final : public QObject {
    Q_OBJECT
public:
    // Makes the keys in `panel`, which takes their size.
    TKeyboard(TSession& session, QWidget& panel);

    // A key's note, as a click plays it: a key already sounding is not started again.
    void NoteOn(int key);
    void NoteOff(int key);
    bool Sounding(int key) const { return key >= 60 && key <= 77 && KeySounding[size_t(key - 60)]; }
    // Every key shown at rest, their notes taken as ended (by the all-notes-off button).
    void RestAll();
    // The same, sending nothing, and computer keys still held end there (their release sends
    // nothing): the device the notes sounded on has gone.
    void DropNotes();

    // The computer keys, seen before the focused control. True when the key plays the keyboard.
    bool ComputerKeyDown(QKeyEvent* event);
    bool ComputerKeyUp(QKeyEvent* event);
    // Ends the note of every computer key still held: its release will go elsewhere (the window
    // lost the focus, or the page changed).
    void ReleaseComputerKeys();

    // The last sounding key was released.
    std::function<void()> OnAllReleased;

private:
    void CreateKey(int key);
    void PaintKey(int key);

    TSession& Session;
    QWidget& Panel;
    std::array<TKeyShape*, 18> KeyShapes{};  // index = key − 60
    std::array<bool, 18> KeySounding{};
    // Computer keys down, by key number − 60. A key's release goes elsewhere when the window loses
    // the focus or the page changes; its note is ended then, and the release that may still come
    // later sends nothing.
    std::array<bool, 18> ComputerKeyIsDown{};
    std::array<bool, 18> ComputerKeyEnded{};
};
