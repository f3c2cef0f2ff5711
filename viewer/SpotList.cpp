#include "viewer/SpotList.h"

#include "live/Band.h"
#include "viewer/LiveTexts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace viewer {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int SortRole = Qt::UserRole + 1;

// Sorts by the number behind a cell where there is one.
class SpotItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int c = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(c, SortRole);
        const QVariant b = other.data(c, SortRole);
        if (a.isValid() && b.isValid()) return a.toDouble() < b.toDouble();
        return text(c) < other.text(c);
    }
};

// Enter on the table chooses the current row.
class SpotTable : public QTreeWidget {
  public:
    using QTreeWidget::QTreeWidget;
    std::function<void(QTreeWidgetItem*)> entered;

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentItem() && entered) {
            entered(currentItem());
            return;
        }
        QTreeWidget::keyPressEvent(e);
    }
};

QString SourceText(live::SpotSource s) {
    switch (s) {
    case live::SpotSource::Cluster:
        return QStringLiteral("Cluster");
    case live::SpotSource::Ft8:
        return QStringLiteral("FT8");
    case live::SpotSource::Wspr:
        return QStringLiteral("WSPR");
    }
    return {};
}

} // namespace

SpotList::SpotList(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("SpotList"));
    band_ = new QComboBox(this);
    band_->setObjectName(QStringLiteral("SpotBandFilter"));
    band_->addItem(QString(), QString());
    for (int i = 0; i < live::BandCount(); ++i) {
        const QString b = QString::fromStdString(std::string(live::BandName(i)));
        band_->addItem(b, b);
    }
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("SpotSourceFilter"));
    source_->addItem(QString(), -1);
    source_->addItem(QStringLiteral("Cluster"), static_cast<int>(live::SpotSource::Cluster));
    source_->addItem(QStringLiteral("FT8"), static_cast<int>(live::SpotSource::Ft8));
    source_->addItem(QStringLiteral("WSPR"), static_cast<int>(live::SpotSource::Wspr));
    age_ = new QSpinBox(this);
    age_->setObjectName(QStringLiteral("SpotAgeFilter"));
    age_->setRange(1, 1440);
    age_->setValue(1440);
    bandLabel_ = new QLabel(this);
    sourceLabel_ = new QLabel(this);
    ageLabel_ = new QLabel(this);
    bandLabel_->setBuddy(band_);
    sourceLabel_->setBuddy(source_);
    ageLabel_->setBuddy(age_);
    auto* table = new SpotTable(this);
    table->entered = [this](QTreeWidgetItem* item) { Choose(item); };
    table_ = table;
    table_->setObjectName(QStringLiteral("SpotTable"));
    table_->setColumnCount(ColumnCount);
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setSortingEnabled(true);
    table_->sortByColumn(Age, Qt::AscendingOrder);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("SpotStatus"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(bandLabel_);
    filters->addWidget(band_);
    filters->addWidget(sourceLabel_);
    filters->addWidget(source_);
    filters->addWidget(ageLabel_);
    filters->addWidget(age_);
    filters->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    resize(760, 360);

    connect(table_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { Choose(item); });
    connect(table_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { Choose(item); });
    connect(band_, &QComboBox::currentIndexChanged, this, &SpotList::filtersChanged);
    connect(source_, &QComboBox::currentIndexChanged, this, &SpotList::filtersChanged);
    connect(age_, &QSpinBox::valueChanged, this, &SpotList::filtersChanged);
    SetTexts(LiveTextsFor(QStringLiteral("E")));
}

void SpotList::SetTexts(const LiveTexts& t) {
    setWindowTitle(t.ListTitle);
    setAccessibleName(t.ListTitle);
    table_->setHeaderLabels(t.Columns);
    table_->setAccessibleName(t.ListTitle);
    band_->setItemText(0, t.AllBands);
    source_->setItemText(0, t.AllSources);
    bandLabel_->setText(t.BandFilter);
    sourceLabel_->setText(t.SourceFilter);
    ageLabel_->setText(t.AgeFilter);
    band_->setAccessibleName(
        t.BandFilter.chopped(t.BandFilter.endsWith(QLatin1Char(':')) ? 1 : 0).trimmed());
    source_->setAccessibleName(
        t.SourceFilter.chopped(t.SourceFilter.endsWith(QLatin1Char(':')) ? 1 : 0).trimmed());
    age_->setAccessibleName(
        t.AgeFilter.chopped(t.AgeFilter.endsWith(QLatin1Char(':')) ? 1 : 0).trimmed());
    age_->setSuffix(QStringLiteral(" ") + t.Minutes.arg(QString()).trimmed());
    status_->setAccessibleName(t.ListTitle);
    minutes_ = t.Minutes;
}

live::SpotFilter SpotList::filter() const {
    live::SpotFilter f;
    f.band = band_->currentData().toString().toStdString();
    const int s = source_->currentData().toInt();
    if (s >= 0) f.source = static_cast<live::SpotSource>(s);
    f.maxAgeMs = static_cast<std::int64_t>(age_->value()) * 60000;
    return f;
}

void SpotList::Show(const live::SpotStore& store, std::int64_t nowMs,
                    const std::string& chosenKey) {
    const live::SpotFilter f = filter();
    table_->setUpdatesEnabled(false);
    table_->setSortingEnabled(false);
    table_->clear();
    QList<QTreeWidgetItem*> items;
    QTreeWidgetItem* chosenItem = nullptr;
    // The newest MaxRows that pass the filters.
    int rows = 0;
    for (auto it = store.spots().rbegin(); it != store.spots().rend() && rows < MaxRows; ++it) {
        const live::Spot& s = *it;
        if (!f.Passes(s, nowMs)) continue;
        ++rows;
        auto* item = new SpotItem;
        const bool placed = s.positionSource != live::PositionSource::None;
        const double ageMin = std::max<std::int64_t>(0, nowMs - s.receivedMs) / 60000.0;
        item->setText(Call, QString::fromStdString(s.call));
        item->setText(Frequency, s.kHz > 0 ? QString::number(s.kHz, 'f', 1) : QString());
        item->setData(Frequency, SortRole, s.kHz);
        item->setText(Band, QString::fromStdString(s.band));
        item->setData(Band, SortRole, live::BandIndex(s.band));
        QString comment = QString::fromStdString(s.comment);
        if (!s.mode.empty() && s.source != live::SpotSource::Cluster)
            comment = QString::fromStdString(s.mode) + QStringLiteral(" ") + comment;
        item->setText(Comment, comment);
        item->setText(Entity, QString::fromStdString(s.entity));
        item->setText(Bearing, placed ? QStringLiteral("%1\u00B0").arg(std::lround(s.bearing) % 360)
                                      : QString());
        item->setData(Bearing, SortRole, placed ? s.bearing : -1.0);
        item->setText(Distance,
                      placed ? QStringLiteral("%1 km").arg(std::lround(s.km)) : QString());
        item->setData(Distance, SortRole, placed ? s.km : -1.0);
        item->setText(Age, minutes_.arg(static_cast<int>(ageMin)));
        item->setData(Age, SortRole, ageMin);
        item->setText(Source, SourceText(s.source));
        const QString key = QString::fromStdString(live::SpotKey(s));
        item->setData(Call, KeyRole, key);
        if (!chosenKey.empty() && key.toStdString() == chosenKey) chosenItem = item;
        items.append(item);
    }
    table_->addTopLevelItems(items);
    table_->setSortingEnabled(true);
    if (chosenItem) {
        table_->setCurrentItem(chosenItem);
        table_->scrollToItem(chosenItem);
    }
    table_->setUpdatesEnabled(true);
}

void SpotList::SetStatus(const QString& text) {
    status_->setText(text);
    status_->setAccessibleDescription(text);
}

void SpotList::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

void SpotList::Choose(QTreeWidgetItem* item) {
    if (!item) return;
    emit chosen(item->data(Call, KeyRole).toString());
}

} // namespace viewer
