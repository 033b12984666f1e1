#include "UnitFormDrumColor.h"

#include "UnitFormMain.h"

TFormDrumColor::TFormDrumColor(TFormMain& main, QWidget* parent) : QDialog(parent), Main(main) {}
