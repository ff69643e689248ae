// The look of the window's group boxes: a one-pixel etched frame that runs
// through the middle of the caption, as Windows draws it. The places of
// the controls inside a box assume that frame; Qt's own styles put the
// frame below the caption, across the top controls.
#pragma once

#include <QProxyStyle>

namespace kestrum {

class GroupBoxStyle final : public QProxyStyle {
  Q_OBJECT

 public:
  GroupBoxStyle();

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                       const QWidget* widget) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override;
};

}  // namespace kestrum
