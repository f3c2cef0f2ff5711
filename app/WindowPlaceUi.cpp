#include "app/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void PlaceWindow(QWidget* window, const QRect& geometry) {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    window->resize(geometry.size());
    window->move(KeepTitleBarOnScreens(geometry, screens));
}
