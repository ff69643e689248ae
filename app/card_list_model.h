// The card list's rows. The window decides the order (its own comparison)
// and numbering; the model keeps each row bound to its ControlTable record.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <functional>

#include "card_row.h"

namespace kestrum {

// The colour for a cell of column ColIdx: the button face for the number
// column (the row's own background), a pale tint per data column. data()
// gives it as each cell's background.
QColor d3_SetLVColumnColour(int ColIdx);

class CardListModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  using RowOrder = std::function<bool(const CardRow& first, const CardRow& second)>;

  explicit CardListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  const CardRow& Row(int row) const { return rows_.at(row); }
  void Clear();
  // All rows in one insertion, so the view repaints once.
  void AppendRows(QList<CardRow> rows);
  // Stable reordering; selections and other persistent indexes follow
  // their rows.
  void SortRows(const RowOrder& goesBefore);
  // Captions 1..n from the top, in one change notification.
  void Renumber();
  void SetRowText(int row, int column, const QString& text);
  void SetRowLastChange(int row, LastChange change);

 private:
  QList<CardRow> rows_;
};

}  // namespace kestrum
