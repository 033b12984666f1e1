#pragma once
// The monitor's colours by kind of message. Each kind has a hue of its own; its lightness is
// chosen against the background the table is drawn on, so the text stays readable (a contrast of
// at least 4.5:1, what accessibility guidelines ask of body text) in light and dark desktop
// themes alike. The view passes its palette's base colour.

#include "MessageMeaning.h"

#include <cstdint>

struct TRgb {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;

    friend bool operator==(const TRgb&, const TRgb&) = default;
};

TRgb KindColour(TMessageGroup group, TRgb background);

// All of them at once, by group, for a view to keep until its palette changes (working one out
// takes some arithmetic; a repaint asks for hundreds).
struct TKindPalette {
    TRgb Colours[MessageGroupCount];
    const TRgb& operator[](TMessageGroup group) const { return Colours[int(group)]; }
};
TKindPalette KindPalette(TRgb background);

// The contrast ratio of two colours, 1 (none) to 21 (black on white), as accessibility
// guidelines define it.
double ContrastRatio(TRgb a, TRgb b);

constexpr double MinimumTextContrast = 4.5;
