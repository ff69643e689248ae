#pragma once

// A caption whose letters are filled with a vertical gradient, teal at the
// top to the palette's highlight colour at the bottom. The text is anchored
// at the label's top-left corner; nothing else is painted, so the ground
// beneath shows through.

#include <QString>
#include <QWidget>

class QPaintEvent;

class GradientLabel : public QWidget {
  Q_OBJECT
  // Read by tools that look at the window from outside its code.
  Q_PROPERTY(QString caption READ Caption)

 public:
  explicit GradientLabel(QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  QSize sizeHint() const override;

  // The colour at the top of the letters.
  static QColor TopColor() { return {0x00, 0x80, 0x80}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};
