#include "card_list_model.h"

#include <QCoreApplication>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "change_history_texts.h"

namespace kestrum {

QColor d3_SetLVColumnColour(int ColIdx) {
  static constexpr std::array<QRgb, kColumnCount> kDataColumnColours{
      0,         // number column: the button face, below
      0xCCFFCC,  // screen number, pale green
      0xFFCCCC,  // IP, pale red
      0xFFFFCC,  // subnet mask, pale yellow
      0xFFDDCC,  // gateway, pale orange
      0xFFEECC,  // MAC, pale cream
  };
  if (ColIdx <= kColumnNumber || ColIdx >= kColumnCount) return QGuiApplication::palette().color(QPalette::Button);
  return QColor::fromRgb(kDataColumnColours.at(static_cast<std::size_t>(ColIdx)));
}
namespace {

QString Heading(int column) {
  static constexpr std::array<const char*, kColumnCount> kHeadings{
      "", QT_TRANSLATE_NOOP("Kestrum", "屏号"), QT_TRANSLATE_NOOP("Kestrum", "IP"),
      QT_TRANSLATE_NOOP("Kestrum", "子网掩码"), QT_TRANSLATE_NOOP("Kestrum", "网关"),
      QT_TRANSLATE_NOOP("Kestrum", "Mac地址")};
  const char* const heading = kHeadings.at(static_cast<std::size_t>(column));
  return *heading == '\0' ? QString() : QCoreApplication::translate("Kestrum", heading);
}

}  // namespace

CardListModel::CardListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CardListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CardListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CardListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  switch (role) {
    case Qt::DisplayRole:
      return rows_.at(index.row()).Text(index.column());
    case Qt::BackgroundRole:
      return d3_SetLVColumnColour(index.column());
    case Qt::ForegroundRole:
      return QColor(Qt::black);
    case Qt::ToolTipRole:
      // A tooltip takes any text that looks like markup as rich text: the
      // plain text goes as rich text of its own, whatever it holds.
      if (const auto& last = rows_.at(index.row()).lastChange) return Qt::convertFromPlainText(LastChangeText(*last));
      return {};
    default:
      return {};
  }
}

QVariant CardListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::DisplayRole) return Heading(section);
  if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

void CardListModel::Clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void CardListModel::AppendRows(QList<CardRow> rows) {
  if (rows.isEmpty()) return;
  const auto first = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
  rows_.append(std::move(rows));
  endInsertRows();
}

void CardListModel::SortRows(const RowOrder& goesBefore) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> order(static_cast<std::size_t>(rows_.size()));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int first, int second) { return goesBefore(rows_.at(first), rows_.at(second)); });

  QList<CardRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> newRowOf(order.size());
  for (std::size_t position = 0; position < order.size(); ++position) {
    sorted.append(rows_.at(order[position]));
    newRowOf[static_cast<std::size_t>(order[position])] = static_cast<int>(position);
  }
  rows_ = std::move(sorted);

  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    after.append(this->index(newRowOf.at(static_cast<std::size_t>(index.row())), index.column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CardListModel::Renumber() {
  if (rows_.isEmpty()) return;
  for (int row = 0; row < rows_.size(); ++row) rows_[row].SetText(kColumnNumber, QString::number(row + 1));
  emit dataChanged(index(0, kColumnNumber), index(static_cast<int>(rows_.size()) - 1, kColumnNumber),
                   {Qt::DisplayRole});
}

void CardListModel::SetRowText(int row, int column, const QString& text) {
  rows_[row].SetText(column, text);
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void CardListModel::SetRowLastChange(int row, LastChange change) {
  rows_[row].lastChange = std::move(change);
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1), {Qt::ToolTipRole});
}

}  // namespace kestrum
