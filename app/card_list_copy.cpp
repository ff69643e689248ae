#include "card_list_copy.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFileDialog>
#include <QStringList>
#include <vector>

#include "card_fields.h"
#include "csv_table.h"
#include "window_language.h"

namespace kestrum {

QString TabSeparatedRow(const QAbstractItemModel& model, int row) {
  QStringList headings;
  QStringList texts;
  for (int column = 0; column < model.columnCount(); ++column) {
    headings << model.headerData(column, Qt::Horizontal).toString();
    texts << model.index(row, column).data().toString();
  }
  return headings.join(u'\t') + u'\n' + texts.join(u'\t');
}

std::string ListCsv(std::span<const NumberedCard> cards) {
  std::vector<std::vector<std::string>> rows;
  for (const NumberedCard& listed : cards) rows.push_back(card_text::CardFields(listed.card, listed.number, CurrentLanguage()));
  return card_text::CsvTable(card_text::kCardColumns, rows, true);
}

QString AskExportFile(QWidget* owner) {
  return QFileDialog::getSaveFileName(owner, QCoreApplication::translate("Kestrum", "导出"), QStringLiteral("cards.csv"),
                                      QCoreApplication::translate("Kestrum", "CSV (*.csv)"));
}

}  // namespace kestrum
