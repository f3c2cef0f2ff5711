#include "viewer/RangeComponent.h"

#include "app/AppState.h"
#include "app/MapExport.h"
#include "app/Platform.h"
#include "viewer/ScaleBarLayer.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QThreadPool>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <exception>

namespace viewer {

namespace {

bool SameKm(double a, double b) {
    return std::abs(a - b) <= 0.005 * std::max(a, b);
}

} // namespace

const RangeTexts& RangeTextsFor(const QString& code) {
    static const RangeTexts english{QStringLiteral("&Range"), QStringLiteral("&Whole world"),
                                    QStringLiteral("&Closer"), QStringLiteral("&Farther"),
                                    QStringLiteral("Regional map")};
    static const RangeTexts french{QStringLiteral("&Portée"), QStringLiteral("&Monde entier"),
                                   QStringLiteral("Plus &près"), QStringLiteral("Plus &loin"),
                                   QStringLiteral("Carte régionale")};
    static const RangeTexts spanish{QStringLiteral("Alca&nce"), QStringLiteral("&Mundo entero"),
                                    QStringLiteral("Más &cerca"), QStringLiteral("Más &lejos"),
                                    QStringLiteral("Mapa regional")};
    if (code == QLatin1String("F")) return french;
    if (code == QLatin1String("S")) return spanish;
    return english;
}

double CloserRangeKm(double km, double unitKm) {
    if (!(km > 0) || km >= geo::HalfCircumferenceKm) return MenuRanges.front() * unitKm;
    for (double r : MenuRanges)
        if (r * unitKm < km && !SameKm(r * unitKm, km)) return r * unitKm;
    return MenuRanges.back() * unitKm;
}

double FartherRangeKm(double km, double unitKm) {
    if (!(km > 0) || km >= geo::HalfCircumferenceKm) return 0;
    for (auto it = MenuRanges.rbegin(); it != MenuRanges.rend(); ++it)
        if (*it * unitKm > km && !SameKm(*it * unitKm, km)) return *it * unitKm;
    return 0;
}

QString RangeLabel(double units, double unitKm, const QString& code) {
    const QLocale locale(code == QLatin1String("F")   ? QLocale::French
                         : code == QLatin1String("S") ? QLocale::Spanish
                                                      : QLocale::English);
    return locale.toString(static_cast<qlonglong>(std::llround(units))) +
           (unitKm == 1.0 ? QStringLiteral(" km") : QStringLiteral(" mi"));
}

RangeComponent::RangeComponent(ViewerHub& hub, QMenu* options, QWidget* mapWidget,
                               Callbacks callbacks)
    : QObject(options), hub_(hub), mapWidget_(mapWidget), callbacks_(std::move(callbacks)) {
    const bool ownDrawing = !callbacks_.draw;
    if (ownDrawing)
        callbacks_.draw = [](const geo::MapFrame& f) {
            return mapexport::ToImage(mapexport::FrameMap(f));
        };
    menu_ = options->addMenu(QString());
    menu_->setObjectName(QStringLiteral("MenuRange"));
    auto* group = new QActionGroup(menu_);
    auto add = [&](const char* name) {
        QAction* a = menu_->addAction(QString());
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        group->addAction(a);
        return a;
    };
    whole_ = add("MenuRangeWhole");
    connect(whole_, &QAction::triggered, this, [this] { SetRangeKm(0); });
    for (size_t i = 0; i < MenuRanges.size(); ++i) {
        QAction* a = add(QStringLiteral("MenuRange%1").arg(MenuRanges[i]).toLatin1().constData());
        connect(a, &QAction::triggered, this, [this, i] { SetRangeKm(MenuRanges[i] * unit()); });
        ranges_.push_back(a);
    }
    menu_->addSeparator();
    closer_ = menu_->addAction(QString());
    closer_->setObjectName(QStringLiteral("MenuRangeCloser"));
    closer_->setShortcut(QKeySequence::ZoomIn);
    connect(closer_, &QAction::triggered, this,
            [this] { SetRangeKm(CloserRangeKm(rangeKm_, unit())); });
    farther_ = menu_->addAction(QString());
    farther_->setObjectName(QStringLiteral("MenuRangeFarther"));
    farther_->setShortcut(QKeySequence::ZoomOut);
    connect(farther_, &QAction::triggered, this,
            [this] { SetRangeKm(FartherRangeKm(rangeKm_, unit())); });
    // The shortcuts work while the menu is closed.
    if (mapWidget_ && mapWidget_->window()) {
        mapWidget_->window()->addAction(closer_);
        mapWidget_->window()->addAction(farther_);
    }
    scaleBar_ = std::make_unique<ScaleBarLayer>();
    hub_.AddLayer(scaleBar_.get());
    connect(&hub_, &ViewerHub::frameChanged, this, &RangeComponent::OnFrameChanged);
    connect(&hub_, &ViewerHub::languageChanged, this, &RangeComponent::Retranslate);
    const double saved = hub_.app().extra.RangeKm;
    if (saved > 0 && saved < geo::HalfCircumferenceKm) {
        // The data is read on a pool thread: the viewer opens at once on
        // the whole world, and the range is drawn as soon as the data is in.
        rangeKm_ = saved;
        if (ownDrawing) {
            reading_ = true;
            QPointer<RangeComponent> self(this);
            QThreadPool::globalInstance()->start([self] {
                mapexport::RegionalVectors();
                mapexport::WorldForSize(geo::MaxGapFreeSize);
                QMetaObject::invokeMethod(
                    qApp,
                    [self] {
                        if (!self) return;
                        self->reading_ = false;
                        self->Refresh();
                    },
                    Qt::QueuedConnection);
            });
        }
    }
    Retranslate();
}

RangeComponent::~RangeComponent() = default;

double RangeComponent::unit() const {
    return callbacks_.unitKm ? callbacks_.unitKm() : 1.0;
}

void RangeComponent::Retranslate() {
    const RangeTexts& t = RangeTextsFor(hub_.app().LanguageCode);
    const double u = unit();
    scaleBar_->SetUnit(u);
    scaleBar_->SetOn(rangeKm_ > 0 && !hub_.frame().wholeWorld());
    menu_->setTitle(t.Range);
    menu_->menuAction()->setObjectName(QStringLiteral("MenuRangeItem"));
    auto name = [](QAction* a, const QString& text) {
        a->setText(text);
        // The accessible name is the text without its mnemonic.
        a->setProperty("accessibleName", QString(text).remove(QLatin1Char('&')));
    };
    name(menu_->menuAction(), t.Range);
    name(whole_, t.WholeWorld);
    for (size_t i = 0; i < ranges_.size(); ++i)
        name(ranges_[i], RangeLabel(MenuRanges[i], u, hub_.app().LanguageCode));
    name(closer_, t.Closer);
    name(farther_, t.Farther);
    whole_->setChecked(!(rangeKm_ > 0));
    for (size_t i = 0; i < ranges_.size(); ++i)
        ranges_[i]->setChecked(rangeKm_ > 0 && SameKm(MenuRanges[i] * u, rangeKm_));
}

void RangeComponent::SetRangeKm(double km) {
    if (!std::isfinite(km) || km <= 0 || km >= geo::HalfCircumferenceKm) km = 0;
    rangeKm_ = km;
    hub_.app().extra.RangeKm = km;
    Refresh();
    Retranslate();
}

QImage RangeComponent::Draw(int size) const {
    const geo::MapFrame& now = hub_.frame();
    const geo::MapFrame frame =
        rangeKm_ > 0 ? geo::MapFrame::WithRangeKm(now.centreLat(), now.centreLon(), size, rangeKm_)
                     : geo::MapFrame(now.centreLat(), now.centreLon(), size);
    return callbacks_.draw(frame);
}

void RangeComponent::Refresh() {
    // Until the data read at the start is in (Refresh runs again then).
    if (reading_ && rangeKm_ > 0) return;
    const geo::MapFrame& now = hub_.frame();
    const geo::Real lat = now.centreLat();
    const geo::Real lon = now.centreLon();
    const int size = geo::MapSize;
    // The screen's own pixels: sharp on high-density screens.
    const double ratio = mapWidget_ ? mapWidget_->devicePixelRatioF() : 1.0;
    const int device = std::clamp(static_cast<int>(std::lround(size * ratio)), geo::MinGapFreeSize,
                                  geo::MaxGapFreeSize);
    const bool sharpWorld =
        device > size && callbacks_.wholeWorldSharp && callbacks_.wholeWorldSharp();
    const geo::MapFrame frame = rangeKm_ > 0 ? geo::MapFrame::WithRangeKm(lat, lon, size, rangeKm_)
                                             : geo::MapFrame(lat, lon, size);
    std::optional<Shown> want;
    if (rangeKm_ > 0 || sharpWorld) want = Shown{lat, lon, rangeKm_, device};
    applying_ = true;
    if (want != shown_) {
        QImage picture;
        if (want) {
            Platform& platform = hub_.platform();
            platform.setBusyCursor(true);
            try {
                picture = callbacks_.draw(frame.Resized(device));
                picture.setDevicePixelRatio(static_cast<double>(device) / size);
            } catch (const std::exception& e) {
                platform.setBusyCursor(false);
                rangeKm_ = 0;
                hub_.app().extra.RangeKm = 0;
                want.reset();
                shown_.reset();
                if (callbacks_.show) callbacks_.show(QImage());
                hub_.SetFrame(geo::MapFrame(lat, lon, size));
                applying_ = false;
                Retranslate();
                platform.message(mapWidget_, Platform::Box::Error,
                                 RangeTextsFor(hub_.app().LanguageCode).NoData,
                                 QString::fromLocal8Bit(e.what()));
                return;
            }
            platform.setBusyCursor(false);
        }
        shown_ = want;
        if (callbacks_.show) callbacks_.show(picture);
    }
    if (!(now.size() == frame.size() && now.wholeWorld() == frame.wholeWorld() &&
          SameKm(now.rangeKm(), frame.rangeKm())))
        hub_.SetFrame(frame);
    scaleBar_->SetOn(rangeKm_ > 0 && !hub_.frame().wholeWorld());
    applying_ = false;
}

void RangeComponent::OnFrameChanged() {
    if (applying_) return;
    // A new centre (the viewer sets its whole-world frame there): the range
    // in force at that centre.
    Refresh();
}

} // namespace viewer
