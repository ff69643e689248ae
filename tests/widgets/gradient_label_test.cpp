// The gradient caption: teal at the top of the letters, the highlight colour
// at the bottom, and nothing painted around them.

#include "gradient_label.h"
#include "offscreen_test_main.h"

#include <QImage>

#include <optional>

namespace {

const QColor kGround(255, 255, 255);
const QColor kHighlight(255, 128, 0);

int Distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// The pixel of a row that differs most from the ground, if any differs.
std::optional<QColor> StrongestInRow(const QImage& image, int y) {
  std::optional<QColor> strongest;
  for (int x = 0; x < image.width(); ++x) {
    const QColor c = image.pixelColor(x, y);
    if (c != kGround && (!strongest || Distance(c, kGround) > Distance(*strongest, kGround))) {
      strongest = c;
    }
  }
  return strongest;
}

}  // namespace

class GradientLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void KeepsCaptionAndFont();
  void LettersRunFromTealToHighlightOnUntouchedGround();
};

void GradientLabelTest::KeepsCaptionAndFont() {
  GradientLabel label;
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPixelSize(13);
  label.setFont(tahoma);
  label.SetCaption(QStringLiteral("屏幕总数 3"));
  QCOMPARE(label.Caption(), QStringLiteral("屏幕总数 3"));
  QCOMPARE(label.font().pixelSize(), 13);
  QVERIFY(label.sizeHint().width() > 0);
}

void GradientLabelTest::LettersRunFromTealToHighlightOnUntouchedGround() {
  QWidget ground;
  ground.setAutoFillBackground(true);
  QPalette palette = ground.palette();
  palette.setColor(QPalette::Window, kGround);
  palette.setColor(QPalette::Highlight, kHighlight);
  ground.setPalette(palette);
  ground.resize(300, 100);

  auto* label = new GradientLabel(&ground);
  QFont font;
  font.setPixelSize(60);
  font.setBold(true);
  label->setFont(font);
  label->SetCaption(QStringLiteral("HHH"));
  label->setGeometry(10, 10, 280, 80);

  const QImage image = ground.grab(label->geometry()).toImage();

  int firstRow = -1;
  int lastRow = -1;
  for (int y = 0; y < image.height(); ++y) {
    if (StrongestInRow(image, y)) {
      firstRow = firstRow < 0 ? y : firstRow;
      lastRow = y;
    }
  }
  QVERIFY2(firstRow >= 0, "nothing was drawn");
  QVERIFY(lastRow - firstRow > 20);

  // A few rows into the letters, away from the anti-aliased edges.
  const QColor top = *StrongestInRow(image, firstRow + 2);
  const QColor bottom = *StrongestInRow(image, lastRow - 2);
  QVERIFY2(Distance(top, GradientLabel::TopColor()) < Distance(top, kHighlight), qPrintable(top.name()));
  QVERIFY2(Distance(bottom, kHighlight) < Distance(bottom, GradientLabel::TopColor()), qPrintable(bottom.name()));

  // Above, below and right of the letters the ground is untouched.
  for (const QPoint p : {QPoint(0, 0), QPoint(image.width() - 1, 0), QPoint(image.width() - 1, image.height() - 1),
                         QPoint(0, image.height() - 1), QPoint(image.width() / 2, lastRow + 3)}) {
    QCOMPARE(image.pixelColor(p), kGround);
  }
}

KESTRUM_WIDGET_TEST_MAIN(GradientLabelTest)
#include "gradient_label_test.moc"
