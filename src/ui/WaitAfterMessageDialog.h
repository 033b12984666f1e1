#pragma once
// Asks for the wait after each message: how long the sender pauses after a packet that ends a
// system exclusive message before it sends the next, so that a synthesizer can write a bulk
// message to its memory first. 0 keeps the packet interval there too.

#include <QDialog>

class QSpinBox;

class TWaitAfterMessageDialog final : public QDialog {
    Q_OBJECT
public:
    TWaitAfterMessageDialog(int milliseconds, QWidget* parent);
    int Milliseconds() const;

private:
    QSpinBox* SpinEditWaitAfterMessage = nullptr;
};
