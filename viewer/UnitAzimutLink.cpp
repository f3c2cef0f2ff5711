// The viewer's side of the azimuth server and the rotator: the conversation
// count behind DdeClientConnected, the Options items of the rotator, the
// right click that turns the rotator to the long path, and its notices.
#include "viewer/UnitAzimut.h"

#include "app/Program.h"
#include "link/LinkProtocol.h"
#include "link/LinkTexts.h"
#include "viewer/Readout.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace {

// Reports right-button releases over a picture, in its pixel coordinates.
class RightClickFilter : public QObject {
  public:
    RightClickFilter(QObject* parent, std::function<void(int, int)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* e = static_cast<QMouseEvent*>(event);
            auto* w = qobject_cast<QWidget*>(watched);
            const QPoint p = e->position().toPoint();
            if (e->button() == Qt::RightButton && w && w->rect().contains(p))
                handler_(p.x(), p.y());
        }
        return false;
    }

  private:
    std::function<void(int, int)> handler_;
};

const azlink::RotatorTexts& Texts(const QString& languageCode) {
    const azlink::RotatorTexts* t = azlink::RotatorTextsFor(languageCode);
    return t ? *t : *azlink::RotatorTextsFor(QStringLiteral("E"));
}

} // namespace

void TFormAzimut::BuildRotatorMenus() {
    const azlink::RotatorTexts& t = Texts(program_.app.LanguageCode);
    // One separator between the original items and the added ones, whoever adds first.
    if (!MenuOptions->findChild<QAction*>(QStringLiteral("MenuOptionsAdded"))) {
        QAction* separator = MenuOptions->addSeparator();
        separator->setObjectName(QStringLiteral("MenuOptionsAdded"));
    }
    MenuRotator = new QAction(t.MenuRotator, this);
    MenuRotator->setObjectName(QStringLiteral("MenuRotator"));
    MenuRotator->setCheckable(true);
    MenuRotator->setChecked(program_.app.extra.RotatorOn);
    MenuOptions->addAction(MenuRotator);
    MenuRotatorAddress = new QAction(t.MenuRotatorAddress, this);
    MenuRotatorAddress->setObjectName(QStringLiteral("MenuRotatorAddress"));
    MenuOptions->addAction(MenuRotatorAddress);
    connect(MenuRotator, &QAction::toggled, this, [this] { MenuRotatorClick(); });
    connect(MenuRotatorAddress, &QAction::triggered, this, [this] { MenuRotatorAddressClick(); });
}

void TFormAzimut::StartLink() {
    ImageAzimut->installEventFilter(
        new RightClickFilter(this, [this](int x, int y) { ImageAzimutRightClick(x, y); }));

    LabelRotatorNotice = new QLabel(ClientArea);
    LabelRotatorNotice->setObjectName(QStringLiteral("LabelRotatorNotice"));
    LabelRotatorNotice->setGeometry(8, 576, 400, 19);
    LabelRotatorNotice->setFrameStyle(QFrame::Box | QFrame::Plain);
    LabelRotatorNotice->setAutoFillBackground(true);
    QPalette p = LabelRotatorNotice->palette();
    p.setColor(QPalette::Window, palette().color(QPalette::ToolTipBase));
    p.setColor(QPalette::WindowText, palette().color(QPalette::ToolTipText));
    LabelRotatorNotice->setPalette(p);
    LabelRotatorNotice->hide();
    TimerRotatorNotice = new QTimer(this);
    TimerRotatorNotice->setObjectName(QStringLiteral("TimerRotatorNotice"));
    TimerRotatorNotice->setSingleShot(true);
    TimerRotatorNotice->setInterval(8000);
    connect(TimerRotatorNotice, &QTimer::timeout, LabelRotatorNotice, &QLabel::hide);

    // The rotator's end of the designations: what is published, and the
    // long-path click.
    connect(&hub(), &viewer::ViewerHub::designated, this, [this](const azlink::Designation& d) {
        if (azlink::Publishes(d.reason) || d.reason == azlink::DesignationReason::LongPathClick)
            TurnRotator(QString::fromStdString(d.bearing));
    });

    // The server and the rotator outlive the windows: they reach the viewer
    // only while it exists.
    const QPointer<TFormAzimut> self(this);
    if (BearingServer* server = program_.platform.bearingServer()) {
        server->opened = [self] {
            if (self) self->DataOpen();
        };
        server->closed = [self] {
            if (self) self->DataClose();
        };
    }
    if (RotatorPort* rotator = program_.platform.rotator()) {
        rotator->failed = [self](RotatorPort::Problem problem, const QString& detail) {
            if (!self) return;
            const azlink::RotatorTexts& t = Texts(self->program_.app.LanguageCode);
            const QString address = self->program_.app.extra.RotatorAddress;
            switch (problem) {
            case RotatorPort::Problem::Unreachable:
                self->ShowRotatorNotice(t.Unreachable.arg(address));
                break;
            case RotatorPort::Problem::NoAnswer:
                self->ShowRotatorNotice(t.NoAnswer.arg(address));
                break;
            case RotatorPort::Problem::Error:
                self->ShowRotatorNotice(t.Error.arg(address, detail));
                break;
            }
        };
    }
}

void TFormAzimut::RotatorLanguage() {
    const azlink::RotatorTexts* t = azlink::RotatorTextsFor(program_.app.LanguageCode);
    if (!t) return;
    MenuRotator->setText(t->MenuRotator);
    MenuRotatorAddress->setText(t->MenuRotatorAddress);
}

void TFormAzimut::DataOpen() {
    ViewerState& v = program_.viewer;
    ++v.OpenConversations;
    v.DdeClientConnected = true;
}

void TFormAzimut::DataClose() {
    ViewerState& v = program_.viewer;
    if (v.OpenConversations > 0) --v.OpenConversations;
    v.DdeClientConnected = v.OpenConversations > 0;
}

void TFormAzimut::MenuRotatorClick() {
    program_.app.extra.RotatorOn = MenuRotator->isChecked();
}

void TFormAzimut::MenuRotatorAddressClick() {
    const azlink::RotatorTexts& t = Texts(program_.app.LanguageCode);
    Platform& platform = program_.platform;
    QString text = program_.app.extra.RotatorAddress;
    for (;;) {
        const std::optional<QString> answer =
            platform.askText(this, t.AddressTitle, t.AddressPrompt, text);
        if (!answer) return;
        text = answer->trimmed();
        if (const auto hp = azlink::ParseHostPort(text.toStdString())) {
            // Kept in the form HOST:PORT, with the default port when none was given.
            const QString host = QString::fromStdString(hp->host);
            program_.app.extra.RotatorAddress =
                (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']')
                                                 : host) +
                QLatin1Char(':') + QString::number(hp->port);
            return;
        }
        platform.message(this, Platform::Box::Warning, t.AddressTitle, t.AddressInvalid);
    }
}

void TFormAzimut::TurnRotator(const QString& bearing) {
    if (!program_.app.extra.RotatorOn || bearing.isEmpty()) return;
    bool ok = false;
    const long long degrees = bearing.toLongLong(&ok);
    if (!ok) return;
    if (RotatorPort* rotator = program_.platform.rotator())
        rotator->turnTo(program_.app.extra.RotatorAddress, azlink::RotatorAzimuth(degrees));
}

void TFormAzimut::ImageAzimutRightClick(int X, int Y) {
    const viewer::PixelPolar p = viewer::BearingAndPixelDistance(X, Y);
    if (p.r > geo::MapRadius) return;
    const long long longPath = geo::Round(p.bearing + 180) % 360;
    Designate(azlink::DesignationReason::LongPathClick, QString::number(longPath),
              hub().frame().PositionAt(X, Y), true);
}

void TFormAzimut::ShowRotatorNotice(const QString& text) {
    LabelRotatorNotice->setText(QLatin1Char(' ') + text);
    LabelRotatorNotice->adjustSize();
    LabelRotatorNotice->resize(LabelRotatorNotice->width() + 8, 19);
    LabelRotatorNotice->show();
    LabelRotatorNotice->raise();
    TimerRotatorNotice->start();
}
