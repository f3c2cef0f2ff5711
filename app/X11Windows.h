// Finding a top-level window of any program by its title on an X11 desktop.
#pragma once

#include <QString>

// True when a top-level window titled exactly `title` is on the X11 desktop
// the program is connected to: the windows of the window manager's client
// list (_NET_CLIENT_LIST), each by its _NET_WM_NAME, else its WM_NAME; without
// such a list, the mapped children of the root window (and theirs, for window
// managers that frame their clients). False when the program does not run on
// X11 (Wayland, offscreen): there the windows of other programs are unknown.
bool X11TopLevelWindowExists(const QString& title);
