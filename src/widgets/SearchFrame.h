#pragma once

#include <QGroupBox>

// A frame of the main window that holds a search: a bold caption over controls of normal weight, and a
// signal when the mouse crosses the frame's own surface (not one of the controls inside it).
class SearchFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit SearchFrame(QWidget* parent = nullptr);

Q_SIGNALS:
    void surfaceCrossed();

protected:
    // Gives the controls made so far the normal weight; the caption stays bold.
    void keepControlsPlain();
    void mouseMoveEvent(QMouseEvent* event) override;
};
