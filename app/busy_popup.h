// The frameless notice shown over the window while a search listens.
#pragma once

#include <QWidget>

class QLabel;

namespace kestrum {

class BusyPopup final : public QWidget {
  Q_OBJECT

 public:
  static constexpr QSize kSize{360, 120};

  // Centred over owner, which it belongs to.
  explicit BusyPopup(QWidget* owner);

 private:
  QLabel* message_;
};

}  // namespace kestrum
