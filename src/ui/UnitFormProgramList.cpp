#include "UnitFormProgramList.h"

#include "UnitFormMain.h"

TFormProgramList::TFormProgramList(TFormMain& main, QWidget* parent) : QDialog(parent), Main(main) {}
