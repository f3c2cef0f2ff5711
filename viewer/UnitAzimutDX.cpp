// The viewer's DX list: the displayed list and its separator, the selection
// of a row with its readouts and blinking marker, the call-sign lookup, the
// mouse rules that hide or bring back the DX display, the list choice and
// "Manage my DX". The rules themselves are in viewer/DxLookup.h.
#include "viewer/UnitAzimut.h"

#include "app/Program.h"
#include "dxlists/BuiltinLists.h"
#include "dxlists/UnitDX.h"
#include "dxlists/UnitDXCB.h"
#include "viewer/DxListView.h"
#include "viewer/DxLookup.h"
#include "viewer/Readout.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QString& s) {
    return s.toStdString();
}

QStringList ToList(const std::vector<std::string>& rows) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(rows.size()));
    for (const auto& r : rows)
        out.append(Q(r));
    return out;
}

std::vector<std::string> RowsOf(const QListWidget* list) {
    std::vector<std::string> rows;
    rows.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i)
        rows.push_back(S(list->item(i)->text()));
    return rows;
}

void SortByCharacterCodes(std::vector<std::string>& rows, char separator) {
    std::stable_sort(rows.begin(), rows.end(),
                     [separator](const std::string& a, const std::string& b) {
                         return viewer::CharacterCodeLess(a, b, separator);
                     });
}

} // namespace

bool TFormAzimut::HamListInUse() const {
    return MenuDXCCOM->isChecked();
}

// ---------------------------------------------------------------------------
// The displayed list.

void TFormAzimut::RebuildDisplayedDxList() {
    ViewerState& v = program_.viewer;
    // The hidden lists carry the built-in rows as they are.
    if (ListBoxDX->count() == 0) ListBoxDX->addItems(ToList(dx::BuiltinHamRows()));
    if (ListBoxDXCB->count() == 0) ListBoxDXCB->addItems(ToList(dx::BuiltinCbRows()));

    ListBoxDXW->clear();
    DxListSorted = false;
    // The selection goes with the rows: no marker stays at a place that
    // means nothing any more.
    ImageDX->hide();
    dxMarkerAt_.reset();
    ImageDX45->hide();

    char separator = '\t';
    if (SepUnderscore->isChecked()) separator = '_';
    if (SepSlash->isChecked()) separator = '/';
    if (SepEqual->isChecked()) separator = '=';
    v.ListSeparator = QLatin1Char(separator);

    const char mark = program_.platform.decimalSeparator().toLatin1();
    const auto& source = v.SourceIsCB ? dx::BuiltinCbRows() : dx::BuiltinHamRows();
    std::vector<std::string> rows;
    rows.reserve(source.size() + TDxGridEditor::EntryRows);
    for (const auto& row : source)
        rows.push_back(viewer::DisplayedBuiltinRow(row, separator, mark));

    // The user's accepted entries of the list in use come back after every
    // rebuild, with the same separator as the built-in rows.
    const TDxGridEditor* editor = nullptr;
    if (v.SourceIsCB)
        editor = program_.forms.FormListeDXCB;
    else
        editor = program_.forms.FormListeDXCC;
    if (editor) {
        for (const QString& row : editor->AcceptedDisplayRows())
            rows.push_back(viewer::WithSeparator(S(row), separator));
    }

    if (HamListInUse()) {
        SortByCharacterCodes(rows, separator);
        DxListSorted = true;
    }
    ListBoxDXW->addItems(ToList(rows));
    UpdateDxColumns(ListBoxDXW); // the columns fit the rows shown
}

void TFormAzimut::AppendDxRow(const QString& tabRow) {
    const char separator = program_.viewer.ListSeparator.toLatin1();
    const std::string row = viewer::WithSeparator(S(tabRow), separator);
    AddToDxColumns(ListBoxDXW, Q(row));
    if (!DxListSorted) {
        ListBoxDXW->addItem(Q(row));
        return;
    }
    // The first place whose row sorts after the new one.
    int lo = 0;
    int hi = ListBoxDXW->count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (viewer::CharacterCodeLess(row, S(ListBoxDXW->item(mid)->text()), separator))
            hi = mid;
        else
            lo = mid + 1;
    }
    ListBoxDXW->insertItem(lo, Q(row));
}

void TFormAzimut::SetDxListSorted(bool on) {
    if (on && !DxListSorted) {
        std::vector<std::string> rows = RowsOf(ListBoxDXW);
        SortByCharacterCodes(rows, program_.viewer.ListSeparator.toLatin1());
        ListBoxDXW->clear();
        ListBoxDXW->addItems(ToList(rows));
    }
    DxListSorted = on;
}

void TFormAzimut::SepDefaultClick() {
    SepDefault->setChecked(true);
    RebuildDisplayedDxList();
}

void TFormAzimut::SepUnderscoreClick() {
    SepUnderscore->setChecked(true);
    RebuildDisplayedDxList();
}

void TFormAzimut::SepSlashClick() {
    SepSlash->setChecked(true);
    RebuildDisplayedDxList();
}

void TFormAzimut::SepEqualClick() {
    SepEqual->setChecked(true);
    RebuildDisplayedDxList();
}

// ---------------------------------------------------------------------------
// Selection and lookup.

void TFormAzimut::ListBoxDXWClick() {
    SelectDxRow(azlink::DesignationReason::ListRowChosen);
}

void TFormAzimut::SelectDxRow(azlink::DesignationReason reason) {
    QListWidgetItem* item = ListBoxDXW->currentItem();
    if (!item) return;
    ViewerState& v = program_.viewer;
    Platform& platform = program_.platform;
    const std::string row = S(item->text());
    const char separator = v.ListSeparator.toLatin1();

    ListBoxDXW->setToolTip(Q(viewer::DxHint(row, separator)));
    const viewer::DxRowReading r =
        viewer::ReadDxRow(row, separator, platform.decimalSeparator().toLatin1());
    if (r.key && !LookupRunning) {
        // The change this causes is not looked up. When the field already
        // held the key there is no change, and nothing stays marked.
        CallSetByList = true;
        EditCall->setText(Q(*r.key));
        CallSetByList = false;
    }
    // A row read past its latitude without a time text empties the field:
    // it never shows the offset of the entity selected before.
    using Stop = viewer::DxRowReading::Stop;
    const bool pastLatitude = r.stop == Stop::None || r.stop == Stop::NoLongitudeLetter ||
                              r.stop == Stop::LongitudeNumber;
    if (r.time)
        EditUTC->setText(Q(*r.time));
    else if (pastLatitude)
        EditUTC->clear();
    if (!r.ok()) {
        platform.beep();
        return;
    }

    QListWidgetItem* shown = ListBoxDXW->currentItem();
    ShowDxPoint(reason, r.lat, r.lon,
                shown ? shown->text().replace(QLatin1Char('\t'), QStringLiteral("  ")) : QString());
}

void TFormAzimut::ShowDxPoint(azlink::DesignationReason reason, geo::Real lat, geo::Real lon,
                              const QString& source) {
    ViewerState& v = program_.viewer;
    Platform& platform = program_.platform;
    geo::PositionState& pos = program_.app.pos;
    pos.PointLat = lat;
    pos.PointLon = lon;
    geo::CalculAzimutDistance(pos, [&platform] { platform.beep(); });
    const viewer::DxReadout d = viewer::ComputeDxReadout(pos.PointAzimuth, pos.PointDistance,
                                                         v.UnitFactor, hub_->frame(), lat, lon);

    const QString degree = QStringLiteral("\u00B0");
    const QString unit = viewer::UnitWord(v.UnitFactor);
    StaticTextAzim->setText(
        viewer::ReadoutText(v.msg.AzimuthLabel, QString::number(d.bearing) + degree,
                            v.msg.RangeLabel, QString::number(d.distance) + unit));
    StaticTextLP->setText(
        viewer::ReadoutText(v.msg.AzimuthLabel, QString::number(d.longPathBearing) + degree,
                            v.msg.RangeLabel, QString::number(d.longPathDistance) + unit));
    DxAzimText = StaticTextAzim->text();
    DxLongPathText = StaticTextLP->text();
    StaticTextAzim->setToolTip(source);
    StaticTextLP->setToolTip(source);

    // The markers live in the scrolled client area, whose coordinates are the
    // map's pixels: there the centre pixel (14, 14) lands on the entity's map
    // pixel, which is the visible client position less the scroll position.
    ImageDX->move(d.markerX - 14, d.markerY - 14);
    ImageDX45->move(d.markerX - 14, d.markerY - 14);
    // Beyond a regional map's rim there is no marker; the readouts tell.
    dxMarkerAt_ = geo::LatLon{lat, lon};
    lastPointer_.reset(); // the readouts show this point now
    ImageDX->setVisible(d.markerShown);
    ImageDX->raise();
    ImageDX45->hide();
    ImageDX45->raise();
    if (d.markerShown)
        TimerDX->start();
    else
        TimerDX->stop();

    Designate(reason, QString::number(d.bearing), geo::LatLon{lat, lon});
}

void TFormAzimut::EditCallChange() {
    if (CallSetByList) {
        CallSetByList = false;
        return;
    }
    if (EditCall->text().isEmpty()) return;
    const std::string call = viewer::UpperAscii(S(EditCall->text()));
    const char separator = program_.viewer.ListSeparator.toLatin1();
    const std::vector<std::string> rows = RowsOf(ListBoxDXW);
    int candidate = 0;
    if (HamListInUse()) {
        candidate = viewer::HamLookup(rows, call, separator);
    } else {
        const auto found = viewer::CbLookup(rows, call, separator);
        if (!found) {
            program_.platform.beep();
            return;
        }
        candidate = *found;
    }
    QListWidgetItem* item = ListBoxDXW->item(candidate);
    if (!item) return; // an empty list
    ListBoxDXW->scrollToItem(item, QAbstractItemView::PositionAtTop);
    ListBoxDXW->setCurrentItem(item);
    LookupRunning = true;
    SelectDxRow(activationRefresh_ ? azlink::DesignationReason::ActivationRefresh
                                   : azlink::DesignationReason::LookupTyping);
    LookupRunning = false;
}

void TFormAzimut::PublishBearing(const QString& bearing) {
    // The local azimuth server's end of the designations it publishes.
    PublishedBearing = bearing;
    if (BearingServer* server = program_.platform.bearingServer()) server->publish(bearing);
}

// ---------------------------------------------------------------------------
// Marker and mouse.

void TFormAzimut::FollowFrame() {
    // At the same centre (a new range) the readouts of the pointer are read
    // again at its map pixel, under which lies another place now; those of a
    // DX point stay true. A new map leaves them as they were.
    const geo::MapFrame& frame = hub_->frame();
    const geo::LatLon centre{frame.centreLat(), frame.centreLon()};
    const bool sameCentre =
        followedCentre_ && followedCentre_->lat == centre.lat && followedCentre_->lon == centre.lon;
    followedCentre_ = centre;
    if (lastPointer_ && sameCentre) ShowPointerReadout(lastPointer_->x(), lastPointer_->y());
    // The marker of the DX point the readouts still show: moved, hidden
    // beyond the rim, shown again once inside.
    if (!dxMarkerAt_ || lastPointer_ || StaticTextAzim->text() != DxAzimText) return;
    // Placed by the same rule as when it was shown.
    geo::PositionState pos = program_.app.pos;
    pos.PointLat = dxMarkerAt_->lat;
    pos.PointLon = dxMarkerAt_->lon;
    geo::CalculAzimutDistance(pos, [] {});
    const viewer::DxReadout d =
        viewer::ComputeDxReadout(pos.PointAzimuth, pos.PointDistance, program_.viewer.UnitFactor,
                                 frame, pos.PointLat, pos.PointLon);
    if (!d.markerShown) {
        ImageDX->hide();
        ImageDX45->hide();
        TimerDX->stop();
        return;
    }
    ImageDX->move(d.markerX - 14, d.markerY - 14);
    ImageDX45->move(d.markerX - 14, d.markerY - 14);
    if (!TimerDX->isActive()) {
        ImageDX->show();
        ImageDX->raise();
        ImageDX45->raise();
        TimerDX->start();
    }
}

void TFormAzimut::TimerDXTimer() {
    TimerDX->stop();
    if (!ImageDX->isHidden()) {
        ImageDX->hide();
        ImageDX45->show();
    } else {
        ImageDX45->hide();
        ImageDX->show();
    }
    TimerDX->start();
}

void TFormAzimut::ImageDXMouseMove(int X, int Y) {
    ImageAzimutMouseMove(X + ImageDX->x(), Y + ImageDX->y());
}

void TFormAzimut::ImageDX45MouseMove(int, int) {
    StaticTextAzim->setText(DxAzimText);
    StaticTextLP->setText(DxLongPathText);
    if (!StaticTextAzim->text().isEmpty()) {
        ImageDX->show();
        TimerDX->start();
    }
}

void TFormAzimut::ListBoxDXWMouseMove(int, int) {
    if (TimerDX->isActive()) return;
    StaticTextAzim->setText(DxAzimText);
    StaticTextLP->setText(DxLongPathText);
    if (!StaticTextAzim->text().isEmpty() && !EditCall->text().isEmpty()) {
        ImageDX->show();
        TimerDX->start();
    }
}

// ---------------------------------------------------------------------------
// List choice and "Manage my DX".

namespace {

void ClearDxDisplay(TFormAzimut& f) {
    f.TimerDX->stop();
    f.StaticTextAzim->clear();
    f.StaticTextLP->clear();
    f.EditUTC->clear();
    f.EditCall->clear();
    f.ListBoxDXW->setToolTip(QString());
    f.DxAzimText.clear();
    f.DxLongPathText.clear();
}

} // namespace

void TFormAzimut::MenuDXCCOMClick() {
    MenuDXCCOM->setChecked(true);
    MenuDXCCCB->setChecked(false);
    ClearDxDisplay(*this);
    program_.viewer.SourceIsCB = false;
    RebuildDisplayedDxList();
    if (TFormListeDXCC* editor = program_.forms.FormListeDXCC) editor->FormCreate();
}

void TFormAzimut::MenuDXCCCBClick() {
    MenuDXCCCB->setChecked(true);
    MenuDXCCOM->setChecked(false);
    ClearDxDisplay(*this);
    program_.viewer.SourceIsCB = true;
    RebuildDisplayedDxList();
    if (TFormListeDXCB* editor = program_.forms.FormListeDXCB) editor->FormCreate();
}

void TFormAzimut::MenuListeDXCCClick() {
    TDxGridEditor* shown = nullptr;
    TDxGridEditor* hidden = nullptr;
    if (HamListInUse()) {
        shown = program_.forms.FormListeDXCC;
        hidden = program_.forms.FormListeDXCB;
    } else {
        shown = program_.forms.FormListeDXCB;
        hidden = program_.forms.FormListeDXCC;
    }
    if (hidden) hidden->hide();
    if (shown) {
        shown->show();
        shown->raise();
    }
}
