// The address edit's construction defaults, where its fields stand, what it
// paints, and its teardown.

#include "address_edit_window.h"
#include "ip_field_layout.h"
#include "offscreen_test_main.h"

#include <QImage>
#include <QPointer>

#include <memory>

namespace {

// Darkest pixel (smallest sum of channels) in a rectangle of the image.
int DarkestIn(const QImage& image, const QRect& area) {
  int darkest = 3 * 255;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      darkest = std::min(darkest, c.red() + c.green() + c.blue());
    }
  }
  return darkest;
}

}  // namespace

class TIPEditAppearanceTest : public QObject {
  Q_OBJECT

 private slots:
  void ConstructionDefaults();
  void LayoutFormula_data();
  void LayoutFormula();
  void FontMeasures_data();
  void FontMeasures();
  void FieldsOfWindowSizedControl();
  void FieldsFollowResizeAndFont();
  void BorderStyleMovesClientArea();
  void SettersReachEveryField();
  void PaintsBorderFillAndThreeDots();
  void TeardownWithFocusInAField();
};

void TIPEditAppearanceTest::ConstructionDefaults() {
  TIPEdit edit;
  QCOMPARE(edit.size(), QSize(125, 21));
  QCOMPARE(edit.font().pointSize(), 9);
  QVERIFY(edit.font().bold());
  QCOMPARE(edit.cursor().shape(), Qt::IBeamCursor);
  QCOMPARE(edit.BorderStyle(), TIPEdit::bsSingle);
  QVERIFY(edit.TabStop());
  QCOMPARE(edit.Color(), QApplication::palette().color(QPalette::Base));
  QCOMPARE(edit.Field(-1), nullptr);
  QCOMPARE(edit.Field(4), nullptr);
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    const TIPFieldEdit* field = edit.Field(i);
    QVERIFY(field != nullptr);
    QVERIFY(edit.isAncestorOf(field));
    QCOMPARE(field->maxLength(), 3);
    QVERIFY(!field->hasFrame());
    QVERIFY(field->alignment() & Qt::AlignHCenter);
    QCOMPARE(field->cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(field->font(), edit.font());
    QVERIFY(field->focusPolicy() & Qt::TabFocus);
    QVERIFY(!field->Error());
  }
}

void TIPEditAppearanceTest::LayoutFormula_data() {
  QTest::addColumn<QSize>("control");
  QTest::addColumn<int>("points");
  QTest::addColumn<int>("pixels");
  QTest::addColumn<QList<int>>("expected");  // W, G, X0, Y

  QTest::newRow("window's edits") << QSize(118, 21) << 9 << 12 << QList<int>{27, 4, -3, 2};
  QTest::newRow("new control") << QSize(125, 21) << 9 << 12 << QList<int>{27, 4, 0, 2};
  QTest::newRow("negative sizes count as positive") << QSize(118, 21) << -9 << -12 << QList<int>{27, 4, -3, 2};
  QTest::newRow("10 points") << QSize(150, 25) << 10 << 13 << QList<int>{30, 4, 7, 4};
  QTest::newRow("odd remainders truncate toward zero") << QSize(101, 11) << 9 << 12 << QList<int>{27, 4, -11, -2};
  QTest::newRow("large font") << QSize(200, 40) << 18 << 24 << QList<int>{54, 7, -20, 6};
}

void TIPEditAppearanceTest::LayoutFormula() {
  QFETCH(QSize, control);
  QFETCH(int, points);
  QFETCH(int, pixels);
  QFETCH(QList<int>, expected);
  const IPFieldLayout layout = ComputeIPFieldLayout(control.width(), control.height(), points, pixels);
  QCOMPARE((QList<int>{layout.FieldWidth, layout.Gap, layout.Left, layout.Top}), expected);
}

void TIPEditAppearanceTest::FontMeasures_data() {
  QTest::addColumn<QFont>("font");
  QTest::addColumn<int>("dpi");
  QTest::addColumn<int>("points");
  QTest::addColumn<int>("pixels");

  QFont nine;
  nine.setPointSize(9);
  QFont thirteenPixels;
  thirteenPixels.setPixelSize(13);
  QTest::newRow("9 pt at 96 dpi") << nine << 96 << 9 << 12;
  QTest::newRow("9 pt at 72 dpi") << nine << 72 << 9 << 9;
  QTest::newRow("9 pt at 120 dpi") << nine << 120 << 9 << 15;
  QTest::newRow("13 px at 96 dpi") << thirteenPixels << 96 << 10 << 13;
}

void TIPEditAppearanceTest::FontMeasures() {
  QFETCH(QFont, font);
  QFETCH(int, dpi);
  QFETCH(int, points);
  QFETCH(int, pixels);
  QCOMPARE(FontPointSize(font, dpi), points);
  QCOMPARE(FontPixelHeight(font, dpi), pixels);
}

// The window's address edits: 118 x 21 with a 9 pt font that is 12 pixels
// high at the usual 96 dpi.
void TIPEditAppearanceTest::FieldsOfWindowSizedControl() {
  QWidget window;
  auto* edit = new TIPEdit(&window);
  edit->setGeometry(89, 18, 118, 21);
  window.show();
  if (edit->logicalDpiY() != 96) {
    QSKIP("the screen's logical dpi is not 96");
  }
  const QList<QRect> expected = {QRect(-3, 2, 27, 19), QRect(28, 2, 27, 19), QRect(59, 2, 27, 19),
                                 QRect(90, 2, 27, 19)};
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    QCOMPARE(edit->Field(i)->geometry(), expected.at(i));
    // Inside the two-pixel border.
    QCOMPARE(edit->Field(i)->mapTo(edit, QPoint(0, 0)), expected.at(i).topLeft() + QPoint(2, 2));
  }
}

void TIPEditAppearanceTest::FieldsFollowResizeAndFont() {
  TIPEdit edit;
  edit.show();
  QFont font = edit.font();
  font.setPixelSize(12);
  edit.setFont(font);
  const int points = FontPointSize(font, edit.logicalDpiY());
  const IPFieldLayout layout = ComputeIPFieldLayout(160, 30, points, 12);
  edit.resize(160, 30);
  QCOMPARE(edit.Field(3)->geometry(), QRect(layout.FieldLeft(3), layout.Top, layout.FieldWidth, 28));

  font.setPixelSize(20);
  edit.setFont(font);
  const IPFieldLayout larger = ComputeIPFieldLayout(160, 30, FontPointSize(font, edit.logicalDpiY()), 20);
  QCOMPARE(edit.Field(1)->geometry(), QRect(larger.FieldLeft(1), larger.Top, larger.FieldWidth, 28));
  QVERIFY(larger.FieldWidth > layout.FieldWidth);
}

void TIPEditAppearanceTest::BorderStyleMovesClientArea() {
  TIPEdit edit;
  const QRect framed = edit.Field(0)->geometry();
  QCOMPARE(edit.Field(0)->mapTo(&edit, QPoint(0, 0)), framed.topLeft() + QPoint(2, 2));
  edit.SetBorderStyle(TIPEdit::bsNone);
  QCOMPARE(edit.BorderStyle(), TIPEdit::bsNone);
  // The formulas subtract the border either way: same field geometry.
  QCOMPARE(edit.Field(0)->geometry(), framed);
  QCOMPARE(edit.Field(0)->mapTo(&edit, QPoint(0, 0)), framed.topLeft());
}

void TIPEditAppearanceTest::SettersReachEveryField() {
  QWidget window;
  auto* edit = new TIPEdit(&window);
  edit->setCursor(Qt::PointingHandCursor);
  edit->SetColor(QColor(10, 20, 30));
  edit->SetTabStop(false);
  QFont font = edit->font();
  font.setPointSize(12);
  edit->setFont(font);
  for (int i = 0; i < TIPEdit::kFieldCount; ++i) {
    const TIPFieldEdit* field = edit->Field(i);
    QCOMPARE(field->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(field->palette().color(QPalette::Base), QColor(10, 20, 30));
    QVERIFY(!(field->focusPolicy() & Qt::TabFocus));
    QCOMPARE(field->font().pointSize(), 12);
  }
  QVERIFY(!edit->TabStop());
  QCOMPARE(edit->Color(), QColor(10, 20, 30));
}

void TIPEditAppearanceTest::PaintsBorderFillAndThreeDots() {
  QWidget window;
  auto* edit = new TIPEdit(&window);
  edit->setGeometry(0, 0, 118, 21);
  const QColor fill(255, 255, 200);
  edit->SetColor(fill);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Text, Qt::black);
  edit->setPalette(palette);
  edit->SetIPString(QStringLiteral("1.1.1.1"));
  window.resize(200, 40);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  const QImage image = edit->grab().toImage();
  QCOMPARE(image.size(), QSize(118, 21));
  // The client area is filled with the control's colour; the sunken edge is not.
  QCOMPARE(image.pixelColor(117 - 3, 3), fill);
  for (const QPoint edge :
       {QPoint(0, 0), QPoint(1, 10), QPoint(117, 20), QPoint(116, 19), QPoint(60, 0), QPoint(60, 20)}) {
    QCOMPARE(image.pixelColor(edge).alpha(), 255);
    QVERIFY(image.pixelColor(edge) != fill);
  }
  // Sunken: dark at the top and left, light at the bottom and right.
  QVERIFY(image.pixelColor(0, 10).lightness() < image.pixelColor(117, 10).lightness());
  QVERIFY(image.pixelColor(60, 0).lightness() < image.pixelColor(60, 20).lightness());

  // A dark dot in each gap between two fields.
  const int border = 2;
  for (int gap = 0; gap < 3; ++gap) {
    const QRect field = edit->Field(gap)->geometry().translated(border, border);
    const QRect gapArea(field.right() + 1, border, edit->Field(gap + 1)->x() - field.right() + 1, 21 - 2 * border);
    QVERIFY2(DarkestIn(image, gapArea.intersected(image.rect())) < 3 * 128,
             qPrintable(QStringLiteral("no dot in gap %1").arg(gap)));
  }
}

void TIPEditAppearanceTest::TeardownWithFocusInAField() {
  AddressEditWindow window;
  QVERIFY(window.WaitUntilActive());
  QPointer<TIPFieldEdit> field = window.Field(2);
  window.FocusField(2, 0);
  delete window.edit;
  QVERIFY(field.isNull());
  // The window's focus chain still works without the control.
  window.before->setFocus();
  AddressEditWindow::Press(Qt::Key_Tab);
  QCOMPARE(AddressEditWindow::Focused(), window.after);
}

KESTRUM_WIDGET_TEST_MAIN(TIPEditAppearanceTest)
#include "tipedit_appearance_test.moc"
