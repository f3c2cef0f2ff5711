// Export and print as a component of the viewer: the File items Export… and
// Print…, the Options item "Fill the gaps", the questions what and where,
// and the writing. Every PNG (600 to 4800 pixels), the PDF poster and the
// printout carry the hub's layers painted at their own frame. The maps, the
// PNG files and the poster themselves are app/MapExport.* and app/Poster.*.
#pragma once

#include "app/Poster.h"

#include <QObject>
#include <QRectF>

#include <functional>

class QAction;
class QMenu;
class QPainter;
class QPrinter;
class QWidget;

namespace viewer {

class ViewerHub;

struct ExportChoice {
    bool pdf = false;
    int size = 600; // PNG: 600, 1200, 2400 or 4800
    poster::Paper paper = poster::Paper::A4;
};

// The name the Export dialog proposes: "korvanta-JN18EU-1200.png",
// "korvanta-JN18EU-A4.pdf"; a regional map's range (km, 0 the whole world)
// comes after the locator in the viewer's unit: "korvanta-JN18EU-500km-600.png".
QString ExportFileName(const QString& locator, double rangeKm, double unitKm,
                       const ExportChoice& choice);

// Something drawn over every export after the layers, in the export frame's
// pixels (`frameRect` is the frame's whole square); empty: nothing.
using ExportExtraFn = std::function<void(QPainter& painter, const QRectF& frameRect)>;

class ExportComponent : public QObject {
    Q_OBJECT
  public:
    struct Attach {
        QWidget* window = nullptr; // parent of the dialogs and boxes
        QMenu* file = nullptr;     // File: the items go before `beforeInFile`
        QAction* beforeInFile = nullptr;
        QMenu* options = nullptr; // Options: "Fill the gaps" after the added separator
    };
    struct Callbacks {
        std::function<QImage()> mapPicture;      // the 600-pixel map as shown
        std::function<long double()> unitFactor; // kilometres per unit of the user's choice
        const ExportExtraFn* extra = nullptr;    // drawn after the layers when set
    };
    ExportComponent(ViewerHub& hub, const Attach& attach, Callbacks callbacks, QObject* parent);

    void MenuFillGapsClick(bool checked);
    void MenuExportClick(); // asks what and where, then ExportTo
    void MenuPrintClick();  // the print dialog, then PrintTo
    // Writes the export of the current centre to `path` (a progress dialog
    // for the large ones); a failure shows the error box and leaves no file.
    bool ExportTo(const ExportChoice& choice, const QString& path);
    // Prints the poster of the current centre on a printer already set up.
    bool PrintTo(QPrinter& printer);

    QAction* menuFillGaps() const { return fillGaps_; }
    QAction* menuExport() const { return export_; }
    QAction* menuPrint() const { return print_; }

  private:
    void ApplyLanguage();
    // The hub's layers and the extra drawing, for one export.
    class Layers;

    ViewerHub& hub_;
    QWidget* window_;
    Callbacks callbacks_;
    QAction* fillGaps_ = nullptr;
    QAction* export_ = nullptr;
    QAction* print_ = nullptr;
    // The export dialog's last choice in this run (PNG 2400 at first).
    int lastKind_ = 2;
};

} // namespace viewer
