#pragma once
// The drum pad appearance dialog: font and four colours, with a preview pad.

#include <QDialog>

class TFormMain;

class TFormDrumColor : public QDialog {
    Q_OBJECT
public:
    explicit TFormDrumColor(TFormMain& main, QWidget* parent = nullptr);

private:
    TFormMain& Main;
};
