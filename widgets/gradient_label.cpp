#include "gradient_label.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

GradientLabel::GradientLabel(QWidget* parent) : QWidget(parent) { setAutoFillBackground(false); }

void GradientLabel::setCaption(const QString& caption) {
  if (caption == m_caption) {
    return;
  }
  m_caption = caption;
  updateGeometry();
  update();
}

QSize GradientLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(m_caption), metrics.height()};
}

void GradientLabel::paintEvent(QPaintEvent* /*event*/) {
  if (m_caption.isEmpty()) {
    return;
  }
  const QFontMetrics metrics(font());
  QPainterPath letters;
  letters.addText(0, metrics.ascent(), font(), m_caption);

  // The gradient spans one line of text, from its top to its bottom.
  QLinearGradient fill(0, 0, 0, metrics.height());
  fill.setColorAt(0, topColor());
  fill.setColorAt(1, palette().color(QPalette::Highlight));

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(letters, fill);
}
