// A file dialog accepts a double-clicked file on the second press, and hides
// while the button is still down. Under X11 the window below it then learns
// of the pointer's arrival while the button is held; Qt's X11 layer ignores
// that entry, and the window gets no mouse movement and loses its next click
// until the pointer leaves and comes back. Here a double-click on a file or
// folder of the dialog acts once the button is released.
#pragma once

class QFileDialog;

// Installs the rule on the dialog's file views (a native dialog has none:
// nothing changes then).
void FinishDoubleClicksOnRelease(QFileDialog* dialog);
