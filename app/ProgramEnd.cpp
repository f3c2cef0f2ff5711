#include "app/ProgramEnd.h"

#include "app/Program.h"
#include "app/UnitCarte.h"

#include <QKeySequence>
#include <QShortcut>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

void EndProgram(Program& program) {
    if (program.ending) return;
    program.ending = true;
    if (TFormCarte* carte = program.forms.FormCarte) carte->SettingsWrite();
    program.app.FocusViewerOnActivate = false;
    program.platform.terminate();
}

void AddQuitShortcut(QWidget* window) {
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), window);
    quit->setObjectName(QStringLiteral("QuitShortcut"));
    QObject::connect(quit, &QShortcut::activated, window, [window] { window->close(); });
}

const int EndSignals::Caught[3] = {SIGTERM, SIGHUP, SIGINT};

namespace {

int SignalPipe[2] = {-1, -1};

// Only async-signal-safe work: one byte, the signal's number, into the pipe.
extern "C" void OnEndSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(SignalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

EndSignals::EndSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (SignalPipe[0] < 0 && ::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { Read(); });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : Caught)
        ::sigaction(s, &action, nullptr);
}

EndSignals::~EndSignals() {
    for (int s : Caught)
        std::signal(s, SIG_DFL);
}

void EndSignals::Read() {
    unsigned char bytes[16];
    ssize_t n = 0;
    while ((n = ::read(SignalPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            if (onSignal_) onSignal_(bytes[i]);
    }
}
