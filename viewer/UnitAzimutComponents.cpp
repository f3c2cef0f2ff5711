// The viewer's hub and components: the frame of the map shown, the one
// designation path, and the creation and wiring of the components (export
// and print, the live overlays, the country-file line, the live stations,
// the range).
// The components get the hub, the controls they attach to and callbacks,
// never the window.
#include "viewer/UnitAzimut.h"

#include "app/Program.h"
#include "viewer/ExportComponent.h"
#include "viewer/LiveStations.h"
#include "viewer/OverlayComponent.h"
#include "viewer/RangeComponent.h"
#include "viewer/UnitAzimutCall.h"
#include "viewer/ViewerHub.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>

void TFormAzimut::BuildExportComponent() {
    viewer::ExportComponent::Callbacks exportCallbacks;
    exportCallbacks.mapPicture = [this] { return ExportMapPicture(); };
    exportCallbacks.unitFactor = [this] { return program_.viewer.UnitFactor; };
    exportCallbacks.extra = &ExportOverlay;
    export_ = new viewer::ExportComponent(*hub_, {this, MenuFichier, MenuQuitter, MenuOptions},
                                          std::move(exportCallbacks), this);
    MenuFillGaps = export_->menuFillGaps();
    MenuExport = export_->menuExport();
    MenuPrint = export_->menuPrint();
}

void TFormAzimut::BuildComponents() {
    viewer::OverlayComponent::Attach overlayAttach;
    overlayAttach.area = ClientArea;
    overlayAttach.map = ImageAzimut;
    overlayAttach.stackUnder = StaticTextDate;
    overlayAttach.readoutLike = StaticTextAzim;
    overlayAttach.options = MenuOptions;
    overlayAttach.lastClassicItem = MenuSeparator->menuAction();
    overlays_ = new viewer::OverlayComponent(*hub_, overlayAttach, this);
    OverlayAzimut = overlays_->widget();
    StaticTextPosition = overlays_->position();
    MenuGreyLine = overlays_->menuGreyLine();
    MenuLocatorGrid = overlays_->menuLocatorGrid();
    TimerGreyLine = overlays_->timer();

    TCallResolverLine::Attach callAttach;
    callAttach.window = this;
    callAttach.area = ClientArea;
    callAttach.file = MenuFichier;
    callAttach.beforeInFile = MenuQuitter;
    callAttach.call = EditCall;
    callAttach.miles = MenuUnitmile;
    callAttach.refreshOn = {MenuUnitKM, MenuUnitmile, MenuDXCCOM};
    callAttach.clock = TimerSeconde;
    TCallResolverLine::Callbacks callCallbacks;
    callCallbacks.hamListInUse = [this] { return HamListInUse(); };
    // Enter with a country-file answer makes that answer the designation:
    // the readouts, the marker, the publication and the antenna all take the
    // country file's position (the readouts' hint names it).
    callCallbacks.designate = [this](const QString&, const geo::LatLon& at) {
        ShowDxPoint(azlink::DesignationReason::CallEnter, at.lat, at.lon,
                    QStringLiteral("cty.dat: ") +
                        CallResolver->LabelCallResolver->text().trimmed());
    };
    CallResolver = new TCallResolverLine(*hub_, callAttach, std::move(callCallbacks), this);

    // The range follows the grey line and the grid in the Options menu.
    BuildRangeComponent();

    // The live stations add their layer to the hub and their items at the
    // end of the Options menu; a spot chosen in their list comes back as a
    // designation request.
    LiveStations = new viewer::LiveStations(*hub_, MenuOptions, this);
    connect(hub_, &viewer::ViewerHub::designationRequested, this,
            [this](const azlink::Designation& d) { AnswerDesignationRequest(d); });
}

void TFormAzimut::BuildRangeComponent() {
    viewer::RangeComponent::Callbacks callbacks;
    callbacks.show = [this](const QImage& picture) {
        rangePicture_ = picture;
        ShowMapPicture();
    };
    callbacks.unitKm = [this] { return static_cast<double>(program_.viewer.UnitFactor); };
    callbacks.wholeWorldSharp = [this] { return mapGapFree_; };
    range_ = new viewer::RangeComponent(*hub_, MenuOptions, ImageAzimut, std::move(callbacks));
    connect(hub_, &viewer::ViewerHub::frameChanged, this, [this] { FollowFrame(); });
}

void TFormAzimut::ShowMapPicture() {
    if (rangePicture_.isNull()) {
        ImageAzimut->setPixmap(QPixmap::fromImage(map_));
        return;
    }
    QImage shown = rangePicture_.convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(rangePicture_.devicePixelRatio());
    QPainter painter(&shown);
    PaintMapDrawings(painter);
    painter.end();
    ImageAzimut->setPixmap(QPixmap::fromImage(shown));
}

QImage TFormAzimut::ExportMapPicture() {
    if (rangePicture_.isNull()) return map_;
    QImage picture = range_->Draw(geo::MapSize).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    PaintMapDrawings(painter);
    return picture;
}

void TFormAzimut::PaintMapDrawings(QPainter& painter) {
    // Drawn as on map_ (no smoothing), at the picture's own resolution.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    // The background's mark in the lower right corner, outside the disc.
    const QRect mark(530, 575, 70, 25);
    painter.drawImage(mark, original_, mark);
    if (circlesDrawn_) PaintCircles(painter);
    if (axesDrawn_) PaintAxes(painter);
    PaintCentreCaption(painter);
}

void TFormAzimut::AnswerDesignationRequest(const azlink::Designation& request) {
    if (!request.lat || !request.lon) return;
    ShowDxPoint(request.reason, static_cast<geo::Real>(*request.lat),
                static_cast<geo::Real>(*request.lon));
}

void TFormAzimut::UpdateFrame() {
    const geo::PositionState& pos = program_.app.pos;
    const geo::MapFrame& now = hub_->frame();
    // At the same centre the frame stays (a regional one too); at a new
    // centre the range component draws its range again from the
    // whole-world frame set here.
    if (now.centreLat() != pos.CentreLat || now.centreLon() != pos.CentreLon ||
        now.size() != geo::MapSize)
        hub_->SetFrame(geo::MapFrame(pos.CentreLat, pos.CentreLon, geo::MapSize));
    // A range read from the settings is drawn at the first centre; a change
    // of screen is seen here too.
    if (range_) range_->Refresh();
}

void TFormAzimut::Designate(azlink::DesignationReason reason, const QString& bearing,
                            std::optional<geo::LatLon> at, bool longPath) {
    azlink::Designation d;
    d.reason = reason;
    d.bearing = bearing.toStdString();
    if (at) {
        d.lat = static_cast<double>(at->lat);
        d.lon = static_cast<double>(at->lon);
    }
    d.longPath = longPath;
    hub_->Designate(d);
}

// ---------------------------------------------------------------------------
// The components' handles.

bool TFormAzimut::ExportTo(const ExportChoice& choice, const QString& path) {
    return export_->ExportTo(choice, path);
}

bool TFormAzimut::PrintTo(QPrinter& printer) {
    return export_->PrintTo(printer);
}

void TFormAzimut::TimerGreyLineTimer() {
    overlays_->TimerTick();
}

void TFormAzimut::UpdateGreyLine() {
    overlays_->Update();
}
