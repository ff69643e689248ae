// The window in both languages: the operator's choice retranslates every
// text at once and keeps the list, the selection and the panel's edits; every
// control a screen reader reaches has a name; every caption, button and
// heading shows its whole text in its room (run at 100, 125 and 150 %).
#include <QAccessible>
#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>
#include <QtTest>

#include "card_fields.h"
#include "offscreen_test_main.h"
#include "window_driver.h"
#include "window_language.h"

using namespace kestrum;
using namespace kestrum::testing;
using namespace Qt::StringLiterals;

namespace {

ControlRecord Card(std::uint8_t last) {
  CardFields fields;
  fields.ip = {192, 168, 1, last};
  fields.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, last};
  fields.scanStyle = 11;
  fields.serverPort = 9999;
  fields.heartbeat = 10;
  return MakeCard(fields);
}

// As the menu does; the widgets hear of it through posted events.
void Choose(Language language) {
  UseLanguage(language);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

bool HasChinese(const QString& text) { return text.contains(QRegularExpression(u"[\\x{4e00}-\\x{9fff}]"_s)); }

// The captions, buttons and headings: the texts of the program, not of a card.
QList<std::pair<QString, QString>> FixedTexts(TFrm_CardSearch& window) {
  QList<std::pair<QString, QString>> texts;
  for (QWidget* control : window.findChildren<QWidget*>()) {
    if (!control->property(kSourceTextProperty).isValid()) continue;
    if (auto* label = qobject_cast<QLabel*>(control)) texts.append({control->objectName(), label->text()});
    if (auto* group = qobject_cast<QGroupBox*>(control)) texts.append({control->objectName(), group->title()});
    if (auto* button = qobject_cast<QAbstractButton*>(control)) texts.append({control->objectName(), button->text()});
  }
  return texts;
}

void CollectUnnamed(QAccessibleInterface* node, QStringList& unnamed) {
  if (node == nullptr) return;
  auto* const widget = qobject_cast<QWidget*>(node->object());
  const QAccessible::Role role = node->role();
  const bool control = role == QAccessible::PushButton || role == QAccessible::EditableText ||
                       role == QAccessible::StaticText || role == QAccessible::Table;
  if (widget != nullptr && widget->isVisible() && control && node->text(QAccessible::Name).trimmed().isEmpty() &&
      !(role == QAccessible::StaticText && qobject_cast<QLabel*>(widget) != nullptr &&
        qobject_cast<QLabel*>(widget)->text().isEmpty()))
    unnamed << widget->objectName() + u" ("_s + widget->metaObject()->className() + u")"_s;
  if (widget == nullptr && node->object() == nullptr) return;  // the list's cells: rows read as today
  if (role == QAccessible::Table) return;
  for (int i = 0; i < node->childCount(); ++i) CollectUnnamed(node->child(i), unnamed);
}

}  // namespace

class WindowLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { Choose(Language::kChinese); }

  void SwitchingRetranslatesAndKeepsTheEdits() {
    WindowDriver driver({Card(100), Card(101)});
    driver.ClickSearch();
    driver.ClickRow(1);
    driver.TypeText("edt_heart", u"42"_s);
    QCOMPARE(driver.LabelText("IDSControlScanStyle"), u"8扫16行16折下"_s);

    Choose(Language::kEnglish);
    for (const auto& [name, text] : FixedTexts(driver.Window()))
      QVERIFY2(!text.isEmpty() && !HasChinese(text), qPrintable(name + u": "_s + text));
    QCOMPARE(driver.LabelText("IDSControlScanStyle"), u"1/8 scan, 16 rows, 16 folds down"_s);
    QCOMPARE(driver.Status(), u"Screens: 2"_s);
    QCOMPARE(driver.List()->model()->headerData(3, Qt::Horizontal).toString(), u"Subnet mask"_s);
    QCOMPARE(driver.EditText("edt_heart"), u"42"_s);
    QCOMPARE(driver.SelectedRows(), QList<int>{1});
    QCOMPARE(driver.ColumnTexts(2).size(), 2);

    Choose(Language::kChinese);
    QCOMPARE(driver.LabelText("IDSControlScanStyle"), u"8扫16行16折下"_s);
    QCOMPARE(driver.LabelText("IDSControlMask"), u"子网掩码:"_s);
    QCOMPARE(driver.Status(), u"屏幕总数2"_s);
  }

  void EveryControlIsNamedAndEveryTextFits_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("Chinese") << false;
    QTest::newRow("English") << true;
  }
  void EveryControlIsNamedAndEveryTextFits() {
    QFETCH(bool, english);
    Choose(english ? Language::kEnglish : Language::kChinese);
    WindowDriver driver({Card(100)});
    driver.ClickSearch();

    QStringList unnamed;
    CollectUnnamed(QAccessible::queryAccessibleInterface(&driver.Window()), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
    QCOMPARE(QAccessible::queryAccessibleInterface(driver.Find<QWidget>("idsres"))->text(QAccessible::Name),
             driver.Status());

    QStringList cut;
    for (QWidget* control : driver.Window().findChildren<QWidget*>()) {
      if (!control->property(kSourceTextProperty).isValid()) continue;
      const QFontMetrics metrics(control->font());
      int room = control->contentsRect().width();
      QString text;
      if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        text = button->text();
        room -= 2 * control->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control);
      }
      if (auto* group = qobject_cast<QGroupBox*>(control)) {
        text = group->title();
        room -= 16;  // the caption starts 8 pixels in; as much room at the far end
      }
      if (metrics.horizontalAdvance(text) > room) cut << control->objectName() + u": "_s + text;
    }
    const QHeaderView* headings = driver.List()->horizontalHeader();
    for (int column = 1; column < headings->count(); ++column) {
      const QString text = headings->model()->headerData(column, Qt::Horizontal).toString();
      if (headings->fontMetrics().horizontalAdvance(text) + 8 > headings->sectionSize(column))
        cut << u"heading "_s + QString::number(column) + u": "_s + text;
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u"; ")));
  }
};

KESTRUM_WIDGET_TEST_MAIN(WindowLanguageTest)
#include "window_language_test.moc"
