#include "app/WindowPlace.h"

#include <algorithm>
#include <limits>

namespace {

bool TitleBarOn(const QRect& frame, const QRect& screen, int titleHeight, int minVisible) {
    const QRect bar(frame.left(), frame.top(), frame.width(), titleHeight);
    const QRect inside = bar & screen;
    return inside.height() == titleHeight && inside.width() >= std::min(minVisible, frame.width());
}

// Squared distance between the title bar's centre and the nearest point of the screen.
long long Distance(const QRect& frame, const QRect& screen, int titleHeight) {
    const long long cx = frame.left() + frame.width() / 2;
    const long long cy = frame.top() + titleHeight / 2;
    const long long nx = std::clamp<long long>(cx, screen.left(), screen.right());
    const long long ny = std::clamp<long long>(cy, screen.top(), screen.bottom());
    return (cx - nx) * (cx - nx) + (cy - ny) * (cy - ny);
}

} // namespace

QPoint KeepTitleBarOnScreens(const QRect& frame, const QList<QRect>& screens, int titleHeight,
                             int minVisible) {
    if (screens.isEmpty()) return frame.topLeft();
    for (const QRect& s : screens)
        if (TitleBarOn(frame, s, titleHeight, minVisible)) return frame.topLeft();
    const QRect* nearest = &screens.first();
    long long best = std::numeric_limits<long long>::max();
    for (const QRect& s : screens) {
        const long long d = Distance(frame, s, titleHeight);
        if (d < best) {
            best = d;
            nearest = &s;
        }
    }
    const QRect& s = *nearest;
    const int visible = std::min(minVisible, frame.width());
    // The left edge may stick out on either side as long as `visible` pixels stay.
    const long long lowX = static_cast<long long>(s.left()) - frame.width() + visible;
    const long long highX = static_cast<long long>(s.right()) + 1 - visible;
    const long long x = std::clamp<long long>(frame.left(), lowX, std::max(lowX, highX));
    const long long highY = std::max<long long>(s.top(), s.bottom() + 1 - titleHeight);
    const long long y = std::clamp<long long>(frame.top(), s.top(), highY);
    return {static_cast<int>(x), static_cast<int>(y)};
}
