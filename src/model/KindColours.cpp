#include "KindColours.h"

#include <algorithm>
#include <cmath>

namespace {

struct THue {
    double Degrees;
    double Saturation;
};

// Apart from each other around the colour wheel; real-time messages (clock, start, stop), the
// most numerous and least telling, in grey.
THue HueOf(TMessageGroup group)
{
    switch (group) {
    case TMessageGroup::Notes: return {215, 0.80};
    case TMessageGroup::Controllers: return {125, 0.70};
    case TMessageGroup::Program: return {30, 0.90};
    case TMessageGroup::Pressures: return {275, 0.65};
    case TMessageGroup::PitchBend: return {180, 0.80};
    case TMessageGroup::SystemExclusive: return {350, 0.75};
    case TMessageGroup::SystemCommon: return {55, 0.85};
    case TMessageGroup::RealTime: return {0, 0.0};
    case TMessageGroup::Other: return {310, 0.60};
    }
    return {0, 0.0};
}

TRgb FromHsl(THue hue, double lightness)
{
    const double c = (1 - std::abs(2 * lightness - 1)) * hue.Saturation;
    const double h = hue.Degrees / 60;
    const double x = c * (1 - std::abs(std::fmod(h, 2) - 1));
    double r = 0, g = 0, b = 0;
    switch (int(h) % 6) {
    case 0: r = c, g = x; break;
    case 1: r = x, g = c; break;
    case 2: g = c, b = x; break;
    case 3: g = x, b = c; break;
    case 4: r = x, b = c; break;
    default: r = c, b = x; break;
    }
    const double m = lightness - c / 2;
    const auto channel = [m](double v) { return uint8_t(std::lround(std::clamp(v + m, 0.0, 1.0) * 255)); };
    return {channel(r), channel(g), channel(b)};
}

double Linear(uint8_t channel)
{
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(TRgb colour)
{
    return 0.2126 * Linear(colour.Red) + 0.7152 * Linear(colour.Green) + 0.0722 * Linear(colour.Blue);
}

} // namespace

double ContrastRatio(TRgb a, TRgb b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TRgb KindColour(TMessageGroup group, TRgb background)
{
    // Dark text on a background that black stands out on better than white, light text otherwise;
    // from a lightness that keeps the hue clear, towards black or white until the text reads.
    const bool darkText = ContrastRatio(background, TRgb{0, 0, 0}) >= ContrastRatio(background, TRgb{255, 255, 255});
    const THue hue = HueOf(group);
    double lightness = darkText ? 0.42 : 0.68;
    const double step = darkText ? -0.01 : 0.01;
    TRgb colour = FromHsl(hue, lightness);
    while (ContrastRatio(colour, background) < MinimumTextContrast && lightness > 0 && lightness < 1) {
        lightness = std::clamp(lightness + step, 0.0, 1.0);
        colour = FromHsl(hue, lightness);
    }
    return colour;
}

TKindPalette KindPalette(TRgb background)
{
    TKindPalette palette;
    for (int group = 0; group < MessageGroupCount; ++group)
        palette.Colours[group] = KindColour(TMessageGroup(group), background);
    return palette;
}
