#pragma once

#include <cmath>

// Designed geometry is in twips; at 96 dots per inch 15 twips make one pixel.
inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, halves rounded away from zero.
inline int tw(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}
