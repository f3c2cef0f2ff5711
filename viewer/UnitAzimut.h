// The viewer: the azimuthal map with its readouts, DX list and clock.
#pragma once

#include "geo/Projection.h"
#include "link/Designation.h"
#include "viewer/ExportComponent.h"

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPoint>
#include <QStringList>

class QAction;
class QActionGroup;
class QEvent;
class QFileDialog;
class QFrame;
class QLineEdit;
class QListWidget;
class QMenu;
class QPrinter;
class QPushButton;
class QScrollArea;
class QTimer;
class QWidget;
class TOverlayAzimut;
class TCallResolverLine;

struct Program;
class TLabelUrl;
namespace viewer {
class LiveStations;
struct ViewerTexts;
class ViewerHub;
class AntennaConsole;
class OverlayComponent;
class RangeComponent;
} // namespace viewer

// A picture control that reports mouse movements (in its own pixel
// coordinates) and clicks (a left-button release over it).
class TPictureLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TPictureLabel(QWidget* parent = nullptr);

  signals:
    void mouseMoved(int x, int y);
    void clicked();

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TFormAzimut : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFormAzimut(Program& program);
    ~TFormAzimut() override;

    // The blank template (ImageOriginale) and the map (ImageAzimut), as palette pictures.
    geo::PaletteImage BlankMap() const;
    void SetMap(const geo::PaletteImage& map);
    // The map as drawn (with overlays and caption), in palette indices.
    geo::PaletteImage Map() const;
    // The same 600 x 600 map as a picture (every pixel a palette colour).
    const QImage& mapPicture() const { return map_; }

    // The language routine (the hidden language button's click).
    void ButtonLangueClick();

    // What the viewer shares with its components: the frame of the map
    // shown, the layers over it, the designations (viewer/ViewerHub.h).
    viewer::ViewerHub& hub() const { return *hub_; }
    // The one path of every bearing the viewer shows: a designation with its
    // reason, position and path reaches every consumer through the hub (the
    // local server by azlink::Publishes, the antenna by azlink::TurnsAntenna).
    void Designate(azlink::DesignationReason reason, const QString& bearing,
                   std::optional<geo::LatLon> at = {}, bool longPath = false);

    // Window events.
    void FormCreate();
    void FormShow();
    void FormActivate();

    // Overlays and the centre caption, drawn into the map picture.
    void DrawCentreCaption();
    void MenuAxesClick();
    void MenuDistancesClick();

    // Commands of the File and help menus.
    void MenugenerateurClick();
    void MenuEnregistrerClick();
    void MenuQuitterClick();
    void MenuAideClick();
    // The close request (window frame, system menu, Quit). Never closes the window.
    void FormCloseQuery();

    // The viewer's language items: the main window's item, then the routine again.
    void MenuEnglishClick();
    void MenuFrancaisClick();
    void MenuEspagnolClick();

    // The readout under the mouse.
    void ImageAzimutMouseMove(int X, int Y);
    void ImageAzimutClick();
    void MenuUnitKMClick();
    void MenuUnitmileClick();

    // The clock.
    void TimerSecondeTimer();
    void MenuTimeLocalClick();
    void MenuTimeUTCClick();

    // The user's choices kept in the application state, so that the show and
    // activation refreshes re-apply the current choice and the settings
    // writer stores it. The list choice and separator handlers (UnitAzimutDX.cpp)
    // call the last two with their own choice.
    void RememberClockChoice(bool utc);
    void RememberListChoice(bool cb);
    void RememberSeparatorChoice(int index);

    // ---------------------------------------------------------------------
    // DX list (UnitAzimutDX.cpp)
    // The selection, the call-sign lookup, the marker and its blinking, the
    // list choice, the displayed list and its separator, "Manage my DX".
    // What UnitAzimut.cpp already does around them:
    // - ListBoxDX and ListBoxDXCB are filled with the built-in rows when the
    //   controls are made (before FormCreate runs RebuildDisplayedDxList).
    // - The menu items' triggered signals call MenuDXCCOMClick/MenuDXCCCBClick
    //   and the Sep...Click handlers and then RememberListChoice /
    //   RememberSeparatorChoice, so the handlers themselves need not touch
    //   AppState (the show and activation refreshes call them directly with
    //   the remembered value).
    // - Signals: ListBoxDXW itemClicked -> ListBoxDXWClick, EditCall
    //   textChanged -> EditCallChange, TimerDX timeout -> TimerDXTimer, mouse
    //   moves over ListBoxDXW (list coordinates) and the two markers (marker
    //   coordinates) -> the MouseMove handlers.
    // - The markers are children of ClientArea, which scrolls with the map:
    //   their move() takes plain map coordinates, no scroll correction.
    // - The map readout (ImageAzimutMouseMove) hides both markers and stops
    //   TimerDX; "Back to map generator" stops TimerDX, clears the selection,
    //   the readouts, EditCall, DxAzimText/DxLongPathText and the list's hint.
    void ListBoxDXWClick();
    void EditCallChange();
    void TimerDXTimer();
    void ListBoxDXWMouseMove(int X, int Y);
    void ImageDXMouseMove(int X, int Y);   // X, Y inside the marker picture
    void ImageDX45MouseMove(int X, int Y); // X, Y inside the marker picture
    void MenuDXCCOMClick();
    void MenuDXCCCBClick();
    void MenuListeDXCCClick();
    void RebuildDisplayedDxList();
    void SepDefaultClick();
    void SepUnderscoreClick();
    void SepSlashClick();
    void SepEqualClick();
    // Hands a bearing in whole degrees to the DDE item (when it exists):
    // the local server's end of the designations that azlink::Publishes.
    void PublishBearing(const QString& bearing);

    // Rows of the displayed list (used by the "My DX" editors): a display row
    // (fields joined by tabs) is appended with the chosen separator, at its
    // sorted place (character codes) while the list's sorting is on.
    void AppendDxRow(const QString& tabRow);
    // Sorting on re-sorts the rows at once; off keeps the present order.
    void SetDxListSorted(bool on);
    bool DxListSorted = false;
    // The ham list is in use (MenuDXCCOM checked), else the 11m list.
    bool HamListInUse() const;
    // The last bearing handed to PublishBearing (empty before the first).
    QString PublishedBearing;

    QString DxAzimText;
    QString DxLongPathText;
    bool CallSetByList = false;
    bool LookupRunning = false;
    // End of the DX list section.

    // The call line of the country file and File > "Country file…": a
    // component (viewer/UnitAzimutCall.*).
    TCallResolverLine* CallResolver = nullptr;
    // ---------------------------------------------------------------------

    // ---------------------------------------------------------------------
    // Components the viewer creates and wires (each in files of its own, fed
    // the hub, the widgets and menus it attaches to, and callbacks):
    // - export and print (viewer/ExportComponent.*): File > Export…, Print…,
    //   Options > Fill the gaps; every export paints the hub's layers at its
    //   own frame;
    // - the live overlays (viewer/OverlayComponent.*): the grey line and the
    //   locator grid layers, the overlay widget, the position readout, the
    //   Options items and the grey line's minute timer;
    // - the live stations (viewer/LiveStations.*): cluster spots and FT8
    //   decodes as a layer, their list and settings, Options items at the
    //   end; a spot chosen in the list is a designation request the viewer
    //   answers (AnswerDesignationRequest).
    // The members below are the window's handles on them (the tests reach
    // the controls through them).
    using ExportChoice = viewer::ExportChoice;
    bool ExportTo(const ExportChoice& choice, const QString& path);
    bool PrintTo(QPrinter& printer);
    // Drawn over every exported and printed map after the layers, in the
    // export frame's pixels (mapRect: the frame's square). Empty: nothing.
    viewer::ExportExtraFn ExportOverlay;
    QAction* MenuFillGaps = nullptr;
    QAction* MenuExport = nullptr;
    QAction* MenuPrint = nullptr;
    void TimerGreyLineTimer();
    void UpdateGreyLine(); // the grey line's moment from the platform's clock, at once
    TOverlayAzimut* OverlayAzimut = nullptr;
    QLabel* StaticTextPosition = nullptr; // position and locator under the cursor
    QAction* MenuGreyLine = nullptr;
    QAction* MenuLocatorGrid = nullptr;
    QTimer* TimerGreyLine = nullptr;
    viewer::LiveStations* LiveStations = nullptr;
    // End of the components.
    // ---------------------------------------------------------------------

    // ---------------------------------------------------------------------
    // Azimuth server and antenna (UnitAzimutLink.cpp)
    // The published bearing reaches the local server; the antenna console
    // (viewer/AntennaConsole.*) turns the rotator on the designations.
    void StartLink(); // after BuildControls: server events, the antenna console
    void DataOpen();
    void DataClose();
    // The antenna console: the Antenna menu, the heading field and layer,
    // the right click's long path and the rotator's notices.
    viewer::AntennaConsole* Antenna = nullptr;
    // End of the azimuth server and antenna section.
    // ---------------------------------------------------------------------

    // ---------------------------------------------------------------------
    // Companion launcher (UnitAzimutPelmarin.cpp): the Pelmarin command, the
    // path panel and its handlers.
    void MenuPelmarinClick();
    void MenusetPelmarinClick();
    void ButtonOKPelmarinClick();
    void ButtonParcourirPelmarinClick();
    void ButtonAnnulerClick();
    bool PelmarinLaunchPending = false;
    QAction* MenuPelmarin = nullptr;
    QAction* MenusetPelmarin = nullptr;
    QFrame* PanelPelmarin = nullptr;
    QLabel* LabelPelmarinpath = nullptr;
    QLineEdit* EditPelmarinpath = nullptr;
    QPushButton* ButtonParcourirPelmarin = nullptr;
    QPushButton* ButtonOKPelmarin = nullptr;
    QPushButton* ButtonAnnuler = nullptr;
    QFrame* PanelPelmarinLink = nullptr; // the inner framed panel
    QLabel* LabelPelmarin = nullptr;
    TLabelUrl* LabelUrlTovak = nullptr;
    QFileDialog* OpenDialogPelmarin = nullptr;

    // New-version check and Info (UnitAzimutVersion.cpp).
    void ApplicationEvents1Idle();
    void MenuInfoVersionClick();
    void MenuInfoClick();
    QAction* menuInfo = nullptr;
    QAction* MenuInfoVersion = nullptr;
    // ---------------------------------------------------------------------

    // Controls, all children of ClientArea (the scrolled client area) at
    // client coordinates; the DX markers scroll with the map, so their
    // Left/Top are plain client coordinates.
    QScrollArea* ScrollBox = nullptr;
    QWidget* ClientArea = nullptr;
    TPictureLabel* ImageAzimut = nullptr;
    QLabel* StaticTextDate = nullptr;
    QLabel* StaticTextTime = nullptr;
    TPictureLabel* ImageDX = nullptr;
    TPictureLabel* ImageDX45 = nullptr;
    QLabel* StaticTextAzim = nullptr;
    QLabel* LabelLP = nullptr;
    QLabel* StaticTextLP = nullptr;
    QListWidget* ListBoxDXW = nullptr;
    QListWidget* ListBoxDX = nullptr;   // hidden: the built-in ham list
    QListWidget* ListBoxDXCB = nullptr; // hidden: the built-in 11m list
    QLabel* LabelCall = nullptr;
    QLineEdit* EditCall = nullptr;
    QLabel* LabelUTC = nullptr;
    QLineEdit* EditUTC = nullptr;
    QPushButton* ButtonLangue = nullptr; // hidden
    QTimer* TimerDX = nullptr;
    QTimer* TimerSeconde = nullptr;

    // Menus.
    QMenu* MenuFichier = nullptr;
    QAction* MenuEnregistrer = nullptr;
    QAction* Menugenerateur = nullptr;
    QAction* MenuListeDXCC = nullptr;
    QAction* MenuQuitter = nullptr;
    QMenu* MenuOptions = nullptr;
    QMenu* MenuUnit = nullptr;
    QAction* MenuUnitKM = nullptr;
    QAction* MenuUnitmile = nullptr;
    QMenu* MenuTime = nullptr;
    QAction* MenuTimeLocal = nullptr;
    QAction* MenuTimeUTC = nullptr;
    QAction* MenuAxes = nullptr;
    QAction* MenuDistances = nullptr;
    QMenu* MenuChoixListe = nullptr;
    QAction* MenuDXCCOM = nullptr;
    QAction* MenuDXCCCB = nullptr;
    QMenu* MenuSeparator = nullptr;
    QAction* SepDefault = nullptr;
    QAction* SepUnderscore = nullptr;
    QAction* SepSlash = nullptr;
    QAction* SepEqual = nullptr;
    QMenu* MenuLangue = nullptr;
    QAction* MenuEnglish = nullptr;
    QAction* MenuFrancais = nullptr;
    QAction* MenuEspagnol = nullptr;
    QMenu* MenuXXX = nullptr;
    QAction* MenuAide = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    // The face of each text field (UnitAzimutFonts.cpp).
    void FitFonts();

  public:
    // The widest texts of the two readouts in every language, and the time
    // texts of the built-in list (what EditUTC shows).
    static QStringList ReadoutSamples();
    static QStringList TimeTextSamples();

  private:
    void BuildMenus(); // UnitAzimutMenus.cpp
    // The components (UnitAzimutComponents.cpp): export and print, at the end
    // of the menus; the overlays and the country-file line, at the end of the
    // controls.
    void BuildExportComponent();
    void BuildComponents();
    void BuildPelmarinMenus();
    void BuildPelmarinPanel();
    void BuildVersionMenus();
    // The launcher's and the version item's texts of the language routine.
    void ApplyPelmarinTexts(const viewer::ViewerTexts& t);
    // Reduces the map picture to the palette and shows it.
    void MapChanged();
    // Shows map_, or while the range component hands a picture of its own
    // (a regional map, or the gap-free map at the screen's resolution) that
    // picture with the centre caption, axes and circles drawn on it as on map_.
    void ShowMapPicture();
    // The picture of the map at 600 px for a PNG export: map_, or the range
    // component's map drawn at 600 px with the same drawings.
    QImage ExportMapPicture();
    // Draws the centre caption, the axes and the circles that map_ carries
    // onto another picture of the same frame (in map pixels).
    void PaintMapDrawings(QPainter& painter);
    void PaintAxes(QPainter& painter);
    void PaintCircles(QPainter& painter);
    void PaintCentreCaption(QPainter& painter);
    void BuildRangeComponent();
    // A new frame: the readouts of the pointer read again at its pixel, the
    // blinking marker moved (hidden beyond the rim).
    void FollowFrame();
    // The readouts, the pointed bearing and the position field of map pixel (X, Y).
    void ShowPointerReadout(int X, int Y);
    // The hub's frame follows the map shown (its centre; the whole world at 600 px).
    void UpdateFrame();
    // The DX list's selection read and shown, designated with its reason.
    void SelectDxRow(azlink::DesignationReason reason);
    // Shows a point as a DX row is shown (readouts, marker) and designates it.
    // `source` says where the position came from (the readouts' hint).
    void ShowDxPoint(azlink::DesignationReason reason, geo::Real lat, geo::Real lon,
                     const QString& source = {});
    // A component's request (a chosen spot): shown as a DX row, then designated
    // with the request's reason; a request without a position is ignored.
    void AnswerDesignationRequest(const azlink::Designation& request);
    // Writes a text into the map picture with its top-left corner at (x, y),
    // in the picture's font, over a white box unless the brush is hollow
    // (`boxed`: over the white box whatever the brush).
    void CanvasTextOut(QPainter& painter, int x, int y, const QString& text, bool boxed = false);

    Program& program_;
    viewer::ViewerHub* hub_ = nullptr; // a child of the window
    viewer::ExportComponent* export_ = nullptr;
    viewer::OverlayComponent* overlays_ = nullptr;
    viewer::RangeComponent* range_ = nullptr;
    // The range component's picture (null: map_ is shown).
    QImage rangePicture_;
    // What map_ carries since the last map was set: the axes (with their
    // labels boxed or not) and the circles.
    bool axesDrawn_ = false;
    bool axesBoxed_ = true;
    bool circlesDrawn_ = false;
    // map_ was generated gap-free (it may then be drawn again at the
    // screen's resolution).
    bool mapGapFree_ = false;
    // Where the blinking marker stands.
    std::optional<geo::LatLon> dxMarkerAt_;
    // The map pixel the readouts show (none while they show a DX point).
    std::optional<QPoint> lastPointer_;
    // The centre of the frame last followed.
    std::optional<geo::LatLon> followedCentre_;
    // The position under the last pointed map pixel (the click's designation).
    std::optional<geo::LatLon> pointed_;
    // EditCallChange runs for the activation refresh (else for typing).
    bool activationRefresh_ = false;
    QImage map_;      // ImageAzimut's picture, 600 x 600, palette colours only
    QImage original_; // ImageOriginale: the blank template
    QFont canvasFont_;
    bool canvasBrushHollow_ = false; // the circles overlay makes the brush hollow for good
    bool activeBefore_ = false;
    bool lostToOtherProgram_ = false; // the last deactivation left no window of ours active
};
