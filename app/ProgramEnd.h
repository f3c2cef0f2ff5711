// The one way the program ends, whichever window or signal asks for it: the
// settings are written once, then the event loop stops.
#pragma once

#include <QObject>

#include <functional>

class QWidget;
struct Program;

// Writes the settings and ends the program. A second call (a close request
// or a signal arriving while the program is already ending) does nothing.
void EndProgram(Program& program);

// Ctrl+Q on a main window makes the window's close request (the menus keep
// their captions).
void AddQuitShortcut(QWidget* window);

// Catches the signals with which a desktop logout, `kill` or Ctrl+C in a
// terminal end a program (SIGTERM, SIGHUP, SIGINT). The handler itself only
// writes one byte to a pipe; the event loop reads it and runs `onSignal`
// (for the program: EndProgram, without any question). The default handlers
// come back when the object goes.
class EndSignals : public QObject {
  public:
    explicit EndSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    static const int Caught[3];

  private:
    void Read();
    std::function<void(int)> onSignal_;
};
