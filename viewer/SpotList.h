// The spot list: a window beside the map with the live stations heard (call,
// frequency, band, mode or comment, entity, bearing, distance, age, source),
// sortable by any column, filtered by band, source and maximum age. A click
// or Enter on a row chooses its spot.
#pragma once

#include "live/SpotStore.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>

class QCloseEvent;
class QComboBox;
class QLabel;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace viewer {

struct LiveTexts;

class SpotList : public QWidget {
    Q_OBJECT
  public:
    // Rows shown at most (the newest spots), so a flood keeps the list quick.
    static constexpr int MaxRows = 2000;
    enum Column {
        Call,
        Frequency,
        Band,
        Comment,
        Entity,
        Bearing,
        Distance,
        Age,
        Source,
        ColumnCount
    };

    explicit SpotList(QWidget* parent = nullptr);
    void SetTexts(const LiveTexts& texts);
    // Shows the spots that pass the filters; keeps the chosen row selected.
    void Show(const live::SpotStore& store, std::int64_t nowMs, const std::string& chosenKey);
    void SetStatus(const QString& text);
    live::SpotFilter filter() const;
    QTreeWidget* table() const { return table_; }

  signals:
    // A row was chosen (live::SpotKey of its spot).
    void chosen(const QString& key);
    void filtersChanged();
    // The window was closed by the user.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Choose(QTreeWidgetItem* item);

    QComboBox* band_;
    QComboBox* source_;
    QSpinBox* age_;
    QLabel* bandLabel_;
    QLabel* sourceLabel_;
    QLabel* ageLabel_;
    QTreeWidget* table_;
    QLabel* status_;
    QString minutes_ = QStringLiteral("%1 min");
};

} // namespace viewer
