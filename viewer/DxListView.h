// The displayed DX list drawn in columns: the fields of a row (joined by
// tabs) start at column stops that fit the widest key, country, latitude
// and longitude of the rows shown, and no row is ever cut short; what does
// not fit the list's width is reached with its horizontal scroll bar.
#pragma once

#include <QStyledItemDelegate>

#include <vector>

class QListWidget;

class TDxRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int RowHeight = 15;
    static constexpr int Gap = 8;    // pixels between two columns
    static constexpr int Margin = 3; // pixels before the first column

    // Columns measured from every row of the list, or widened for one more row.
    void Measure(const QListWidget* list);
    void Include(const QString& row, const QFontMetrics& fm);
    // Where field i of a row starts (field 0 at 0), from the row's left margin.
    int Stop(int field) const;
    // The width a row takes: every row fits in it whole.
    int Extent() const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    std::vector<int> widths_; // the widest cell of each column
};

// Installs the column delegate on the list (once) and measures its rows.
void UpdateDxColumns(QListWidget* list);
// Widens the columns for a row just added.
void AddToDxColumns(QListWidget* list, const QString& row);
