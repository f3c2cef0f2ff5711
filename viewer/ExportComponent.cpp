#include "viewer/ExportComponent.h"

#include "app/AppState.h"
#include "app/ExportTexts.h"
#include "app/FileDialogClicks.h"
#include "app/MapExport.h"
#include "app/Platform.h"
#include "geo/Inverse.h"
#include "viewer/MapOverlays.h"
#include "viewer/ViewerHub.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>

namespace viewer {

namespace {

constexpr int PngSizes[] = {600, 1200, 2400, 4800};
constexpr poster::Paper Papers[] = {poster::Paper::A4, poster::Paper::A3, poster::Paper::Letter,
                                    poster::Paper::Tabloid};

// A progress dialog for the long exports, shown at once; none for the short.
class ExportProgress {
  public:
    ExportProgress(QWidget* parent, const QString& languageCode, bool show) {
        if (!show) return;
        dialog_ = new QProgressDialog(ExportTr(ExportText::Working, languageCode), QString(), 0,
                                      100, parent);
        dialog_->setObjectName(QStringLiteral("ProgressExport"));
        dialog_->setWindowTitle(ExportTr(ExportText::ExportTitle, languageCode));
        dialog_->setCancelButton(nullptr);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setValue(0);
    }
    ~ExportProgress() { delete dialog_; }
    ExportProgress(const ExportProgress&) = delete;
    ExportProgress& operator=(const ExportProgress&) = delete;

    geo::RowProgressFn rows() {
        return [this](int done, int rows) {
            if (dialog_) dialog_->setValue(rows > 0 ? done * 100 / rows : 100);
        };
    }

  private:
    QProgressDialog* dialog_ = nullptr;
};

// The extra drawing as the top layer of an export.
class ExtraLayer : public MapLayer {
  public:
    explicit ExtraLayer(const ExportExtraFn* extra) : extra_(extra) {}
    bool active() const override { return extra_ && *extra_; }
    void Paint(QPainter& painter, const geo::MapFrame& frame) override {
        (*extra_)(painter, QRectF(0, 0, frame.size(), frame.size()));
    }

  private:
    const ExportExtraFn* extra_;
};

} // namespace

// The hub's layers, bottom to top, then the extra drawing.
class ExportComponent::Layers {
  public:
    Layers(ViewerHub& hub, const ExportExtraFn* extra) : extra_(extra) {
        for (MapLayer* layer : hub.layers().layers())
            list_.Add(layer);
        list_.Add(&extra_);
    }
    const MapLayerList& list() const { return list_; }

  private:
    ExtraLayer extra_;
    MapLayerList list_;
};

ExportComponent::ExportComponent(ViewerHub& hub, const Attach& at, Callbacks callbacks,
                                 QObject* parent)
    : QObject(parent), hub_(hub), window_(at.window), callbacks_(std::move(callbacks)) {
    setObjectName(QStringLiteral("ExportComponent"));
    // File: after "PELMARIN path" and before Quit.
    export_ = new QAction(parent);
    export_->setObjectName(QStringLiteral("MenuExport"));
    print_ = new QAction(parent);
    print_->setObjectName(QStringLiteral("MenuPrint"));
    at.file->insertAction(at.beforeInFile, export_);
    at.file->insertAction(at.beforeInFile, print_);
    connect(export_, &QAction::triggered, this, [this] { MenuExportClick(); });
    connect(print_, &QAction::triggered, this, [this] { MenuPrintClick(); });

    // Options: after the classic items and one separator.
    auto* separator = at.options->findChild<QAction*>(QStringLiteral("MenuOptionsAdded"));
    if (!separator) {
        separator = at.options->addSeparator();
        separator->setObjectName(QStringLiteral("MenuOptionsAdded"));
    }
    fillGaps_ = new QAction(parent);
    fillGaps_->setObjectName(QStringLiteral("MenuFillGaps"));
    fillGaps_->setCheckable(true);
    fillGaps_->setChecked(hub_.app().extra.FillGaps);
    at.options->addAction(fillGaps_);
    connect(fillGaps_, &QAction::toggled, this,
            [this](bool checked) { MenuFillGapsClick(checked); });
    connect(&hub_, &ViewerHub::languageChanged, this, [this] { ApplyLanguage(); });
    ApplyLanguage();
}

void ExportComponent::ApplyLanguage() {
    const QString& code = hub_.app().LanguageCode;
    fillGaps_->setText(ExportTr(ExportText::FillGaps, code));
    export_->setText(ExportTr(ExportText::Export, code));
    print_->setText(ExportTr(ExportText::Print, code));
}

void ExportComponent::MenuFillGapsClick(bool checked) {
    // The next generation uses it; the settings writer stores it.
    hub_.app().extra.FillGaps = checked;
}

void ExportComponent::MenuExportClick() {
    const QString& code = hub_.app().LanguageCode;
    QDialog ask(window_);
    ask.setObjectName(QStringLiteral("FormExport"));
    ask.setWindowTitle(ExportTr(ExportText::ExportTitle, code));
    auto* layout = new QVBoxLayout(&ask);
    auto* what = new QLabel(ExportTr(ExportText::ExportWhat, code), &ask);
    auto* kinds = new QComboBox(&ask);
    kinds->setObjectName(QStringLiteral("ComboExportKind"));
    what->setBuddy(kinds);
    for (int size : PngSizes)
        kinds->addItem(ExportTr(ExportText::PngSize, code).arg(size));
    for (poster::Paper paper : Papers)
        kinds->addItem(ExportTr(ExportText::PdfPoster, code).arg(poster::PaperName(paper)));
    // The last choice of the run, with the note on it.
    auto* note = new QLabel(&ask);
    note->setObjectName(QStringLiteral("LabelExportNote"));
    note->setWordWrap(true);
    const int pngCount = static_cast<int>(std::size(PngSizes));
    auto noteOn = [&](int k) {
        note->setText(ExportNote(k >= pngCount, k < pngCount ? PngSizes[k] : 0, code));
    };
    connect(kinds, &QComboBox::currentIndexChanged, note, noteOn);
    kinds->setCurrentIndex(std::clamp(lastKind_, 0, kinds->count() - 1));
    noteOn(kinds->currentIndex());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    layout->addWidget(what);
    layout->addWidget(kinds);
    layout->addWidget(note);
    layout->addWidget(buttons);
    if (ask.exec() != QDialog::Accepted) return;

    ExportChoice choice;
    const int k = kinds->currentIndex();
    lastKind_ = k;
    if (k < pngCount) {
        choice.size = PngSizes[k];
    } else {
        choice.pdf = true;
        choice.paper = Papers[std::clamp(k - pngCount, 0, 3)];
    }

    const geo::PositionState& pos = hub_.app().pos;
    const QString locator =
        QString::fromStdString(geo::EncodeLocator(pos.CentreLat, pos.CentreLon));
    const geo::MapFrame& shown = hub_.frame();
    const QString name = ExportFileName(locator, shown.wholeWorld() ? 0.0 : shown.rangeKm(),
                                        static_cast<double>(callbacks_.unitFactor()), choice);
    QFileDialog files(window_, ExportTr(ExportText::ExportTitle, code),
                      QDir(hub_.platform().programFolder()).filePath(name),
                      ExportTr(choice.pdf ? ExportText::PdfFilter : ExportText::PngFilter, code));
    files.setObjectName(QStringLiteral("ExportFileDialog"));
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setDefaultSuffix(choice.pdf ? QStringLiteral("pdf") : QStringLiteral("png"));
    FinishDoubleClicksOnRelease(&files);
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty()) return;
    ExportTo(choice, files.selectedFiles().constFirst());
}

QString ExportFileName(const QString& locator, double rangeKm, double unitKm,
                       const ExportChoice& choice) {
    QString range;
    if (rangeKm > 0) {
        const bool miles = unitKm > 1.5;
        range = QStringLiteral("-%1").arg(std::llround(miles ? rangeKm / 1.609344 : rangeKm)) +
                (miles ? QStringLiteral("mi") : QStringLiteral("km"));
    }
    return QStringLiteral("korvanta-") + locator + range + QLatin1Char('-') +
           (choice.pdf ? poster::PaperName(choice.paper) + QStringLiteral(".pdf")
                       : QString::number(choice.size) + QStringLiteral(".png"));
}

bool ExportComponent::ExportTo(const ExportChoice& choice, const QString& path) {
    const QString& code = hub_.app().LanguageCode;
    const geo::PositionState& pos = hub_.app().pos;
    Platform& platform = hub_.platform();
    const Layers layers(hub_, callbacks_.extra);
    ExportProgress progress(window_, code, choice.pdf || choice.size >= 2400);
    platform.setBusyCursor(true);
    QString error;
    // The map of the frame shown: the whole world or the regional map.
    const geo::MapFrame& shown = hub_.frame();
    try {
        if (choice.pdf) {
            poster::Content content = poster::ContentFor(shown.Resized(poster::PosterMapSize), code,
                                                         callbacks_.unitFactor(), progress.rows());
            content.version = hub_.app().VersionText;
            content.layers = &layers.list();
            error = poster::WritePdf(path, choice.paper, content);
        } else {
            const QImage map =
                choice.size == geo::MapSize ? callbacks_.mapPicture()
                : shown.wholeWorld()
                    ? mapexport::ToImage(mapexport::GapFreeMap(pos.CentreLat, pos.CentreLon,
                                                               choice.size, progress.rows()))
                    : mapexport::ToImage(mapexport::FrameMap(shown.Resized(choice.size)));
            error = mapexport::WritePng(
                path, MapWithLayers(map, layers.list(), shown.Resized(map.width())));
        }
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    platform.setBusyCursor(false);
    if (error.isEmpty()) return true;
    platform.message(window_, Platform::Box::Error, QStringLiteral("Korvanta"),
                     ExportTr(ExportText::CannotWrite, code).arg(path, error));
    return false;
}

void ExportComponent::MenuPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, window_);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (dialog.exec() != QDialog::Accepted) return;
    PrintTo(printer);
}

bool ExportComponent::PrintTo(QPrinter& printer) {
    const QString& code = hub_.app().LanguageCode;
    Platform& platform = hub_.platform();
    poster::Content content;
    {
        ExportProgress progress(window_, code, true);
        platform.setBusyCursor(true);
        try {
            content = poster::ContentFor(hub_.frame().Resized(poster::PosterMapSize), code,
                                         callbacks_.unitFactor(), progress.rows());
        } catch (const std::exception& e) {
            platform.setBusyCursor(false);
            platform.message(window_, Platform::Box::Error, QStringLiteral("Korvanta"),
                             QString::fromLocal8Bit(e.what()));
            return false;
        }
        platform.setBusyCursor(false);
    }
    content.version = hub_.app().VersionText;
    const Layers layers(hub_, callbacks_.extra);
    content.layers = &layers.list();
    QPainter painter;
    if (!painter.begin(&printer)) {
        platform.message(window_, Platform::Box::Error, QStringLiteral("Korvanta"),
                         ExportTr(ExportText::PrintFailed, code));
        return false;
    }
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    poster::Paint(painter, QRectF(0, 0, paint.width(), paint.height()), printer.resolution() / 72.0,
                  content);
    painter.end();
    return true;
}

} // namespace viewer
