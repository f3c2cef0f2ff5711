#include "dxlists/UnitDX.h"

#include "app/Program.h"
#include "dxlists/UnitConv.h"
#include "viewer/DxLookup.h"
#include "viewer/UnitAzimut.h"

#include <QCloseEvent>
#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

#include <string>
#include <vector>

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QString& s) {
    return s.toStdString();
}

// The header texts of columns 1 to 5 for a language code; empty for another code.
QStringList HeaderTexts(const QString& code) {
    if (code == QLatin1String("E"))
        return {QStringLiteral("COUNTRY"), QStringLiteral("LAT (dec)"), QStringLiteral("N/S"),
                QStringLiteral("LON (dec)"), QStringLiteral("E/W")};
    if (code == QLatin1String("F"))
        return {QStringLiteral("PAYS"), QStringLiteral("LAT (dec)"), QStringLiteral("N/S"),
                QStringLiteral("LON (dec)"), QStringLiteral("E/O")};
    if (code == QLatin1String("S"))
        return {QStringLiteral("PAÍS"), QStringLiteral("LAT (dec)"), QStringLiteral("N/S"),
                QStringLiteral("LON (dec)"), QStringLiteral("E/O")};
    return {};
}

// The grid of an editor. A cell being typed into holds its text in the
// open cell editor until that closes; like the cells themselves, that text
// is taken by OK and by the settings writer and dropped by Cancel and the
// close box.
class TDxGrid : public QTableWidget {
  public:
    using QTableWidget::QTableWidget;

    // Writes the text of the open cell editor into its cell (the editor
    // stays open).
    void CommitOpenCell() {
        if (QWidget* editor = OpenEditor()) commitData(editor);
    }
    // Closes the open cell editor without writing its text.
    void DropOpenCell() {
        if (QWidget* editor = OpenEditor()) closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

  private:
    QWidget* OpenEditor() const {
        if (state() != QAbstractItemView::EditingState) return nullptr;
        return indexWidget(currentIndex());
    }
};

TDxGrid* AsDxGrid(QTableWidget* grid) {
    return static_cast<TDxGrid*>(grid);
}

QTableWidget* MakeGrid(QWidget* parent, int rows, int columns) {
    auto* g = new TDxGrid(rows, columns, parent);
    for (int c = 0; c < columns; ++c)
        g->setHorizontalHeaderItem(c, new QTableWidgetItem());
    return g;
}

} // namespace

TDxGridEditor::TDxGridEditor(Program& program, const Config& config)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      program_(program), kind_(config.kind), columns_(config.columns) {
    setModal(false);
    setWindowTitle(config.initialCaption);
    setFixedSize(config.clientWidth, config.clientHeight);
    move(config.left, config.top);

    static const int widths[] = {64, 161, 64, 25, 64, 31, 82};
    QFont gridFont(QStringLiteral("Arial"));
    gridFont.setPixelSize(13);
    gridFont.setBold(true);

    grid_ = MakeGrid(this, EntryRows, columns_);
    grid_->setObjectName(config.gridName);
    grid_->setGeometry(10, 16, config.gridWidth, 153);
    grid_->setFont(gridFont);
    grid_->horizontalHeader()->setFont(gridFont);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(24);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->horizontalHeader()->setSectionsClickable(false);
    grid_->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < columns_; ++c)
        grid_->setColumnWidth(c, widths[c]);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grid_->setTabKeyNavigation(true);
    grid_->setShowGrid(true);

    save_ = MakeGrid(this, EntryRows, columns_);
    save_->setObjectName(config.saveName);
    save_->hide();

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(config.okName);
    ok_->setGeometry(64, 184, 113, 25);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { OkClick(); });

    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(config.cancelName);
    cancel_->setGeometry(232, 184, 129, 25);
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, [this] { CancelClick(); });

    conv_ = new QPushButton(QStringLiteral("?"), this);
    conv_->setObjectName(QStringLiteral("ButtonConv"));
    conv_->setGeometry(400, 184, 25, 25);
    QFont convFont = font();
    convFont.setPixelSize(19);
    convFont.setBold(true);
    conv_->setFont(convFont);
    conv_->setToolTip(QStringLiteral("Convert deg/min/sec => Decimal"));
    conv_->setAutoDefault(false);
    connect(conv_, &QPushButton::clicked, this, [this] { ButtonConvClick(); });
}

QString TDxGridEditor::Cell(int col, int row) const {
    if (col < 0 || col >= columns_ || row < 0 || row > EntryRows) return {};
    const QTableWidgetItem* item =
        row == 0 ? grid_->horizontalHeaderItem(col) : grid_->item(row - 1, col);
    return item ? item->text() : QString();
}

void TDxGridEditor::SetCell(int col, int row, const QString& text) {
    if (col < 0 || col >= columns_ || row < 0 || row > EntryRows) return;
    if (row == 0) {
        grid_->horizontalHeaderItem(col)->setText(text);
        return;
    }
    if (QTableWidgetItem* item = grid_->item(row - 1, col)) {
        item->setText(text);
    } else {
        grid_->setItem(row - 1, col, new QTableWidgetItem(text));
    }
}

int TDxGridEditor::CurrentCol() const {
    return grid_->currentColumn() < 0 ? 0 : grid_->currentColumn();
}

int TDxGridEditor::CurrentRow() const {
    return grid_->currentRow() < 0 ? 0 : grid_->currentRow() + 1;
}

QStringList& TDxGridEditor::Holder() const {
    return kind_ == dx::ListKind::Ham ? program_.app.MemoDX : program_.app.MemoDXCB;
}

bool TDxGridEditor::ListInUse() const {
    return program_.viewer.SourceIsCB == (kind_ == dx::ListKind::CB);
}

void TDxGridEditor::FormCreate() {
    // 1. Header row.
    SetCell(0, 0, QStringLiteral("CALL"));
    if (kind_ == dx::ListKind::Ham) SetCell(6, 0, QStringLiteral("UTC"));
    const QStringList headers = HeaderTexts(program_.app.LanguageCode);
    for (int c = 0; c < headers.size(); ++c)
        SetCell(c + 1, 0, headers[c]);

    // A later load step leaves the grid and the accepted entries as they
    // stand: the viewer's rebuild has already appended those entries.
    if (created_) return;
    created_ = true;

    // 2-3. The stored rows read from the settings, line n into grid row n.
    const QStringList& lines = Holder();
    const char mark = program_.platform.decimalSeparator().toLatin1();
    TFormAzimut* viewer = program_.forms.FormAzimut;
    const bool append = viewer && ListInUse();
    bool rowTaken = false;
    bool stopped = false;
    for (int n = 1; n <= lines.size() && n <= EntryRows; ++n) {
        const QString& line = lines[n - 1];
        if (line.isEmpty()) {
            stopped = true;
            break;
        }
        const auto fields = dx::AcceptStoredRow(S(line), kind_, mark);
        if (!fields) continue;
        const QString cells[] = {Q(fields->key),       Q(fields->country), Q(fields->lat),
                                 Q(fields->latLetter), Q(fields->lon),     Q(fields->lonLetter),
                                 Q(fields->time)};
        for (int c = 0; c < columns_; ++c)
            SetCell(c, n, cells[c]);
        const QString display = Q(dx::DisplayRow(*fields));
        accepted_.append(display);
        if (append) viewer->AppendDxRow(display);
        rowTaken = true;
    }
    if (!stopped && lines.size() > EntryRows) beyondGrid_ = lines.mid(EntryRows);
    // 4. The ham list's sorting on (its rows keep their sorted place).
    if (append && rowTaken && kind_ == dx::ListKind::Ham) viewer->SetDxListSorted(true);
}

void TDxGridEditor::FormShow() {
    for (int r = 1; r <= EntryRows; ++r) {
        for (int c = 0; c < columns_; ++c) {
            const QString text = Cell(c, r);
            if (QTableWidgetItem* item = save_->item(r - 1, c)) {
                item->setText(text);
            } else {
                save_->setItem(r - 1, c, new QTableWidgetItem(text));
            }
        }
    }
}

void TDxGridEditor::FormClose() {
    AsDxGrid(grid_)->DropOpenCell();
    for (int r = 1; r <= EntryRows; ++r) {
        for (int c = 0; c < columns_; ++c) {
            const QTableWidgetItem* item = save_->item(r - 1, c);
            SetCell(c, r, item ? item->text() : QString());
        }
    }
    program_.viewer.ReturningFromDialog = true;
}

void TDxGridEditor::CancelClick() {
    FormClose();
    hide();
}

void TDxGridEditor::ButtonConvClick() {
    if (TFormConv* conv = program_.forms.FormConv) {
        conv->show();
        conv->raise();
    }
}

void TDxGridEditor::Fail(int col, int row, const QString& message) {
    grid_->setCurrentCell(row - 1, col);
    program_.platform.message(this, Platform::Box::Error, QStringLiteral("Korvanta"), message);
    // The refused cell takes the keyboard, so the correction can be typed at once.
    grid_->setFocus(Qt::OtherFocusReason);
}

void TDxGridEditor::OkClick() {
    AsDxGrid(grid_)->CommitOpenCell(); // the cell being typed counts as typed
    const Messages m = CheckMessages();
    const char mark = program_.platform.decimalSeparator().toLatin1();
    for (int r = 1; r <= EntryRows; ++r) {
        bool empty = true;
        for (int c = 0; c < 6; ++c)
            empty = empty && Cell(c, r).isEmpty();
        if (empty) continue;

        if (Cell(0, r).isEmpty()) return Fail(0, r, m.missingField);
        // The key is kept upper-cased, as the next start's load step reads it,
        // so that the call-sign lookup finds the entry right away.
        SetCell(0, r, Q(viewer::UpperAscii(S(Cell(0, r)))));
        if (Cell(1, r).isEmpty()) return Fail(1, r, m.missingField);
        if (Cell(2, r).isEmpty()) return Fail(2, r, m.missingField);
        const auto lat = dx::NormaliseDecimal(S(Cell(2, r)), mark);
        if (!lat) return Fail(2, r, m.wrongFormat);
        SetCell(2, r, Q(*lat));
        if (Cell(3, r).isEmpty()) return Fail(3, r, m.missingField);
        const QString latLetter = Q(viewer::UpperAscii(S(Cell(3, r))));
        if (latLetter != QLatin1String("N") && latLetter != QLatin1String("S"))
            return Fail(3, r, m.latitudeLetter);
        SetCell(3, r, latLetter);
        if (Cell(4, r).isEmpty()) return Fail(4, r, m.missingField);
        const auto lon = dx::NormaliseDecimal(S(Cell(4, r)), mark);
        if (!lon) return Fail(4, r, m.wrongFormat);
        SetCell(4, r, Q(*lon));
        if (Cell(5, r).isEmpty()) return Fail(5, r, m.missingField);
        const QString lonLetter = Q(viewer::UpperAscii(S(Cell(5, r))));
        if (lonLetter != QLatin1String("E") && lonLetter != QLatin1String("W"))
            return Fail(5, r, m.longitudeLetter);
        SetCell(5, r, lonLetter);
        if (columns_ > 6) SetCell(6, r, Cell(6, r));
    }

    accepted_ = DisplayRowsOfGrid();
    Holder() = StoredLines();
    HandToViewer();
    hide();
}

QStringList TDxGridEditor::DisplayRowsOfGrid() const {
    QStringList rows;
    for (int r = 1; r <= EntryRows; ++r) {
        if (Cell(0, r).isEmpty()) continue;
        dx::StoredFields f;
        f.key = S(Cell(0, r));
        f.country = S(Cell(1, r));
        f.lat = S(Cell(2, r));
        f.latLetter = S(Cell(3, r));
        f.lon = S(Cell(4, r));
        f.lonLetter = S(Cell(5, r));
        if (columns_ > 6) f.time = S(Cell(6, r));
        rows.append(Q(dx::DisplayRow(f)));
    }
    return rows;
}

void TDxGridEditor::HandToViewer() {
    TFormAzimut* viewer = program_.forms.FormAzimut;
    if (!viewer) return;
    viewer->ListBoxDXW->hide();
    viewer->ListBoxDXW->clear();
    if (kind_ == dx::ListKind::CB) viewer->SetDxListSorted(false);
    // The rebuild appends the accepted entries of the list in use (these ones
    // when this editor's list is shown) and sorts the ham list.
    viewer->RebuildDisplayedDxList();
    viewer->ListBoxDXW->show();
    if (!viewer->EditCall->text().isEmpty()) viewer->EditCallChange();
}

QStringList TDxGridEditor::StoredLines() const {
    AsDxGrid(grid_)->CommitOpenCell(); // what is being typed is saved as typed
    QStringList lines;
    for (int r = 1; r <= EntryRows; ++r) {
        if (Cell(0, r).isEmpty()) continue;
        std::vector<std::string> cells;
        for (int c = 0; c < columns_; ++c)
            cells.push_back(S(Cell(c, r)));
        lines.append(Q(dx::StoredRowValue(cells, kind_)));
    }
    return lines + beyondGrid_;
}

void TDxGridEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TDxGridEditor::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TDxGridEditor::reject() {
    CancelClick();
}

// ---------------------------------------------------------------------------

TFormListeDXCC::TFormListeDXCC(Program& program)
    : TDxGridEditor(program, Config{dx::ListKind::Ham, 7, QStringLiteral("StringGridDX"),
                                    QStringLiteral("StringGridSaveDX"), QStringLiteral("BitBtnOK"),
                                    QStringLiteral("BitBtnCancel"), 556, 225, 212, 174, 519,
                                    QStringLiteral("Mes DX")}) {
    setObjectName(QStringLiteral("FormListeDXCC"));
    StringGridDX = grid();
    StringGridSaveDX = snapshotGrid();
    BitBtnOK = ok_;
    BitBtnCancel = cancel_;
    ButtonConv = conv_;
    FormCreate();
}

void TFormListeDXCC::SetLanguageTexts(const QString& caption, const QString& countryHeader) {
    setWindowTitle(caption);
    SetCountryHeader(countryHeader);
}

void TFormListeDXCC::SetCountryHeader(const QString& countryHeader) {
    SetCell(1, 0, countryHeader);
}

TDxGridEditor::Messages TFormListeDXCC::CheckMessages() const {
    const ViewerMessages& msg = program_.viewer.msg;
    return {msg.DxMissingField, msg.DxLatitudeLetter, msg.DxLongitudeLetter, msg.DxWrongFormat};
}
