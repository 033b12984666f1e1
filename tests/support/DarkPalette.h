#pragma once
// A dark desktop, as a user with a dark theme has it: Qt's Fusion style with a dark palette, set
// for the whole application before the windows are made.

#include <QPalette>

QPalette DarkPalette();
// Fusion and the dark palette; the light palette Fusion gives by default when `dark` is false.
void UseDesktopPalette(bool dark);
