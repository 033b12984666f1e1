#pragma once
// The program selection dialog: voices by name from program.ini, heard at a press.

#include <QDialog>

class TFormMain;

class TFormProgramList : public QDialog {
    Q_OBJECT
public:
    explicit TFormProgramList(TFormMain& main, QWidget* parent = nullptr);

private:
    TFormMain& Main;
};
