// The viewer's gap-free option, Export and Print. The maps, the PNG files and
// the poster are made by app/MapExport.* and app/Poster.*; this file adds the
// menu items and asks the user what and where.
#include "viewer/UnitAzimut.h"

#include "app/ExportTexts.h"
#include "app/FileDialogClicks.h"
#include "app/MapExport.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "geo/Inverse.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QVBoxLayout>

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

QImage WithOverlay(const QImage& map, const poster::OverlayFn& overlay) {
    if (!overlay) return map;
    QImage out = map.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    const double r = map.width() / 2.0;
    QPainterPath disc;
    disc.addEllipse(QPointF(r + 0.5, r + 0.5), r + 0.5, r + 0.5);
    p.setClipPath(disc);
    overlay(p, QRectF(0, 0, map.width(), map.height()));
    p.end();
    return out;
}

} // namespace

void TFormAzimut::BuildExportMenus() {
    // File: after "PELMARIN path" and before Quit.
    MenuExport = new QAction(this);
    MenuExport->setObjectName(QStringLiteral("MenuExport"));
    MenuPrint = new QAction(this);
    MenuPrint->setObjectName(QStringLiteral("MenuPrint"));
    MenuFichier->insertAction(MenuQuitter, MenuExport);
    MenuFichier->insertAction(MenuQuitter, MenuPrint);
    connect(MenuExport, &QAction::triggered, this, [this] { MenuExportClick(); });
    connect(MenuPrint, &QAction::triggered, this, [this] { MenuPrintClick(); });

    // Options: after the original items and one separator.
    auto* separator = MenuOptions->findChild<QAction*>(QStringLiteral("MenuOptionsAdded"));
    if (!separator) {
        separator = MenuOptions->addSeparator();
        separator->setObjectName(QStringLiteral("MenuOptionsAdded"));
    }
    MenuFillGaps = new QAction(this);
    MenuFillGaps->setObjectName(QStringLiteral("MenuFillGaps"));
    MenuFillGaps->setCheckable(true);
    MenuFillGaps->setChecked(program_.app.extra.FillGaps);
    MenuOptions->addAction(MenuFillGaps);
    connect(MenuFillGaps, &QAction::toggled, this,
            [this](bool checked) { MenuFillGapsClick(checked); });
    RetranslateExportMenus();
}

void TFormAzimut::RetranslateExportMenus() {
    const QString& code = program_.app.LanguageCode;
    MenuFillGaps->setText(ExportTr(ExportText::FillGaps, code));
    MenuExport->setText(ExportTr(ExportText::Export, code));
    MenuPrint->setText(ExportTr(ExportText::Print, code));
}

void TFormAzimut::MenuFillGapsClick(bool checked) {
    // The next generation uses it; the settings writer stores it.
    program_.app.extra.FillGaps = checked;
}

void TFormAzimut::MenuExportClick() {
    const QString& code = program_.app.LanguageCode;
    QDialog ask(this);
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
    kinds->setCurrentIndex(std::clamp(program_.viewer.LastExportKind, 0, kinds->count() - 1));
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
    program_.viewer.LastExportKind = k;
    if (k < pngCount) {
        choice.size = PngSizes[k];
    } else {
        choice.pdf = true;
        choice.paper = Papers[std::clamp(k - pngCount, 0, 3)];
    }

    const geo::PositionState& pos = program_.app.pos;
    const QString locator =
        QString::fromStdString(geo::EncodeLocator(pos.CentreLat, pos.CentreLon));
    const QString name = QStringLiteral("korvanta-") + locator + QLatin1Char('-') +
                         (choice.pdf ? poster::PaperName(choice.paper) + QStringLiteral(".pdf")
                                     : QString::number(choice.size) + QStringLiteral(".png"));
    QFileDialog files(this, ExportTr(ExportText::ExportTitle, code),
                      QDir(program_.platform.programFolder()).filePath(name),
                      ExportTr(choice.pdf ? ExportText::PdfFilter : ExportText::PngFilter, code));
    files.setObjectName(QStringLiteral("ExportFileDialog"));
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setDefaultSuffix(choice.pdf ? QStringLiteral("pdf") : QStringLiteral("png"));
    FinishDoubleClicksOnRelease(&files);
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty()) return;
    ExportTo(choice, files.selectedFiles().constFirst());
}

bool TFormAzimut::ExportTo(const ExportChoice& choice, const QString& path) {
    const QString& code = program_.app.LanguageCode;
    const geo::PositionState& pos = program_.app.pos;
    ExportProgress progress(this, code, choice.pdf || choice.size >= 2400);
    program_.platform.setBusyCursor(true);
    QString error;
    if (choice.pdf) {
        poster::Content content = poster::ContentFor(pos.CentreLat, pos.CentreLon, code,
                                                     program_.viewer.UnitFactor, progress.rows());
        content.version = program_.app.VersionText;
        content.overlay = ExportOverlay;
        error = poster::WritePdf(path, choice.paper, content);
    } else {
        const QImage map = choice.size == geo::MapSize
                               ? mapPicture()
                               : mapexport::ToImage(mapexport::GapFreeMap(
                                     pos.CentreLat, pos.CentreLon, choice.size, progress.rows()));
        error = mapexport::WritePng(path, WithOverlay(map, ExportOverlay));
    }
    program_.platform.setBusyCursor(false);
    if (error.isEmpty()) return true;
    program_.platform.message(this, Platform::Box::Error, QStringLiteral("Korvanta"),
                              ExportTr(ExportText::CannotWrite, code).arg(path, error));
    return false;
}

void TFormAzimut::MenuPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (dialog.exec() != QDialog::Accepted) return;
    PrintTo(printer);
}

bool TFormAzimut::PrintTo(QPrinter& printer) {
    const QString& code = program_.app.LanguageCode;
    const geo::PositionState& pos = program_.app.pos;
    poster::Content content;
    {
        ExportProgress progress(this, code, true);
        program_.platform.setBusyCursor(true);
        content = poster::ContentFor(pos.CentreLat, pos.CentreLon, code, program_.viewer.UnitFactor,
                                     progress.rows());
        program_.platform.setBusyCursor(false);
    }
    content.version = program_.app.VersionText;
    content.overlay = ExportOverlay;
    QPainter painter;
    if (!painter.begin(&printer)) {
        program_.platform.message(this, Platform::Box::Error, QStringLiteral("Korvanta"),
                                  ExportTr(ExportText::PrintFailed, code));
        return false;
    }
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    poster::Paint(painter, QRectF(0, 0, paint.width(), paint.height()), printer.resolution() / 72.0,
                  content);
    painter.end();
    return true;
}
