// The card list's model: consistency under QAbstractItemModelTester, the
// colours per column, and rows that keep their record through a sort.
#include "card_list_model.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QtTest>

#include "offscreen_test_main.h"

using namespace kestrum;
using namespace Qt::StringLiterals;

namespace {

CardRow RowFor(int recordIndex, const QString& ip) {
  CardRow row;
  row.recordIndex = recordIndex;
  row.SetText(kColumnNumber, QString::number(recordIndex + 1));
  row.SetText(kColumnScreenNo, QString::number(recordIndex));
  row.SetText(kColumnIp, ip);
  row.SetText(kColumnMask, u"255.255.255.0"_s);
  row.SetText(kColumnGateway, u"192.168.1.1"_s);
  row.SetText(kColumnMac, u"00:00:00:00:00:0%1"_s.arg(recordIndex));
  return row;
}

QStringList ColumnTexts(const CardListModel& model, int column) {
  QStringList texts;
  for (int row = 0; row < model.rowCount(); ++row) texts << model.index(row, column).data().toString();
  return texts;
}

bool ByIpText(const CardRow& first, const CardRow& second) { return first.Text(kColumnIp) < second.Text(kColumnIp); }

}  // namespace

class CardListModelTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    model_ = std::make_unique<CardListModel>();
    tester_ = std::make_unique<QAbstractItemModelTester>(model_.get(),
                                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
  }
  void cleanup() {
    tester_.reset();
    model_.reset();
  }

  void HeadingsAndColumnCount() {
    QCOMPARE(model_->columnCount(), 6);
    QStringList headings;
    for (int column = 0; column < kColumnCount; ++column) {
      headings << model_->headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(headings, (QStringList{QString(), u"屏号"_s, u"IP"_s, u"子网掩码"_s, u"网关"_s, u"Mac地址"_s}));
  }

  void BackgroundPerColumn() {
    model_->AppendRows({RowFor(0, u"192.168.1.5"_s), RowFor(1, u"192.168.1.6"_s)});
    const QList<QColor> expected{QGuiApplication::palette().color(QPalette::Button),
                                 QColor(0xCC, 0xFF, 0xCC),
                                 QColor(0xFF, 0xCC, 0xCC),
                                 QColor(0xFF, 0xFF, 0xCC),
                                 QColor(0xFF, 0xDD, 0xCC),
                                 QColor(0xFF, 0xEE, 0xCC)};
    for (int row = 0; row < model_->rowCount(); ++row) {
      for (int column = 0; column < kColumnCount; ++column) {
        QCOMPARE(model_->index(row, column).data(Qt::BackgroundRole).value<QColor>(), expected.at(column));
        QCOMPARE(model_->index(row, column).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
      }
    }
  }

  void RowsShowTheirTexts() {
    model_->AppendRows({RowFor(0, u"10.0.0.1"_s)});
    QCOMPARE(model_->rowCount(), 1);
    QCOMPARE(model_->index(0, kColumnNumber).data().toString(), u"1"_s);
    QCOMPARE(model_->index(0, kColumnIp).data().toString(), u"10.0.0.1"_s);
    QCOMPARE(model_->index(0, kColumnMac).data().toString(), u"00:00:00:00:00:00"_s);
  }

  void SortKeepsRecordsAndSelection() {
    model_->AppendRows({RowFor(0, u"c"_s), RowFor(1, u"a"_s), RowFor(2, u"b"_s)});
    QItemSelectionModel selection(model_.get());
    selection.select(model_->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    model_->SortRows(ByIpText);

    QCOMPARE(ColumnTexts(*model_, kColumnIp), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(model_->Row(0).recordIndex, 1);
    QCOMPARE(model_->Row(2).recordIndex, 0);
    // The selected row (record 0) moved to the bottom and stays selected.
    const QModelIndexList selected = selection.selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 2);
    // Captions travel with their rows until renumbered.
    QCOMPARE(ColumnTexts(*model_, kColumnNumber), (QStringList{u"2"_s, u"3"_s, u"1"_s}));
    model_->Renumber();
    QCOMPARE(ColumnTexts(*model_, kColumnNumber), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
  }

  void SortIsStableForEqualKeys() {
    model_->AppendRows({RowFor(0, u"x"_s), RowFor(1, u"x"_s), RowFor(2, u"a"_s), RowFor(3, u"x"_s)});
    model_->SortRows(ByIpText);
    QList<int> records;
    for (int row = 0; row < model_->rowCount(); ++row) records << model_->Row(row).recordIndex;
    QCOMPARE(records, (QList<int>{2, 0, 1, 3}));
  }

  void ClearAndSetRowText() {
    model_->AppendRows({RowFor(0, u"1.1.1.1"_s), RowFor(1, u"2.2.2.2"_s)});
    QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);
    model_->SetRowText(1, kColumnGateway, u"9.9.9.9"_s);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(model_->index(1, kColumnGateway).data().toString(), u"9.9.9.9"_s);
    QCOMPARE(model_->index(0, kColumnGateway).data().toString(), u"192.168.1.1"_s);
    model_->Clear();
    QCOMPARE(model_->rowCount(), 0);
  }

 private:
  std::unique_ptr<CardListModel> model_;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

KESTRUM_WIDGET_TEST_MAIN(CardListModelTest)
#include "card_list_model_test.moc"
