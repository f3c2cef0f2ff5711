// Where a window read from the settings is put: as read, unless that would
// leave its title bar off every screen (a damaged file, a screen unplugged),
// in which case it is moved by the least amount that brings the title bar
// back onto the nearest screen.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

// The title bar is the top `titleHeight` pixels of `frame`; "on a screen"
// means that all of its height and at least `minVisible` pixels of its width
// (all of it for a narrower window) lie inside one of `screens`. With no
// screen the place is kept.
QPoint KeepTitleBarOnScreens(const QRect& frame, const QList<QRect>& screens, int titleHeight = 24,
                             int minVisible = 100);

// Moves and sizes a top-level window to `geometry` (left, top, width,
// height of the window) kept on the screens of the desktop.
void PlaceWindow(QWidget* window, const QRect& geometry);
