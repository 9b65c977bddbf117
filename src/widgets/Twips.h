#pragma once

#include <QString>
#include <QWidget>
#include <cmath>

// Designed geometry is in twips; at 96 dots per inch 15 twips make one pixel.
inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, halves rounded away from zero.
inline int tw(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

// A child control with its object name, at its designed place in twips.
template <typename W> W* placeControl(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return widget;
}
