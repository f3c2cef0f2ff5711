#include "viewer/DxListView.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>

#include <algorithm>

void TDxRowDelegate::Measure(const QListWidget* list) {
    widths_.clear();
    const QFontMetrics fm(list->font());
    for (int i = 0; i < list->count(); ++i)
        Include(list->item(i)->text(), fm);
}

void TDxRowDelegate::Include(const QString& row, const QFontMetrics& fm) {
    const QStringList fields = row.split(QLatin1Char('\t'));
    if (widths_.size() < static_cast<size_t>(fields.size()))
        widths_.resize(static_cast<size_t>(fields.size()), 0);
    for (qsizetype j = 0; j < fields.size(); ++j)
        widths_[static_cast<size_t>(j)] =
            std::max(widths_[static_cast<size_t>(j)], fm.horizontalAdvance(fields[j]));
}

int TDxRowDelegate::Stop(int field) const {
    int x = 0;
    for (int j = 0; j < field && j < static_cast<int>(widths_.size()); ++j)
        x += widths_[static_cast<size_t>(j)] + Gap;
    return x;
}

int TDxRowDelegate::Extent() const {
    if (widths_.empty()) return 2 * Margin;
    return 2 * Margin + Stop(static_cast<int>(widths_.size()) - 1) + widths_.back();
}

void TDxRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget); // background, selection

    painter->save();
    painter->setFont(opt.font);
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QStringList fields = text.split(QLatin1Char('\t'));
    for (qsizetype j = 0; j < fields.size(); ++j) {
        const int x = opt.rect.left() + Margin + Stop(static_cast<int>(j));
        // Wide enough for the whole field: nothing is elided.
        const QRect cell(x, opt.rect.top(), opt.fontMetrics.horizontalAdvance(fields[j]) + 2,
                         opt.rect.height());
        painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, fields[j]);
    }
    painter->restore();
}

QSize TDxRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {Extent(), RowHeight};
}

namespace {

TDxRowDelegate* DelegateOf(QListWidget* list) {
    auto* d = dynamic_cast<TDxRowDelegate*>(list->itemDelegate());
    if (!d) {
        d = new TDxRowDelegate(list);
        list->setItemDelegate(d);
        list->setTextElideMode(Qt::ElideNone);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    return d;
}

void Relayout(QListWidget* list) {
    // Every row has the same size: the layout asks for it again.
    list->setUniformItemSizes(false);
    list->setUniformItemSizes(true);
    list->doItemsLayout();
    list->viewport()->update();
}

} // namespace

void UpdateDxColumns(QListWidget* list) {
    DelegateOf(list)->Measure(list);
    Relayout(list);
}

void AddToDxColumns(QListWidget* list, const QString& row) {
    TDxRowDelegate* d = DelegateOf(list);
    const int before = d->Extent();
    d->Include(row, QFontMetrics(list->font()));
    if (d->Extent() != before) Relayout(list);
}
