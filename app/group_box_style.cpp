#include "group_box_style.h"

#include <QPainter>
#include <QStyleOptionGroupBox>

namespace kestrum {
namespace {

// The caption starts this far from the box's left edge.
constexpr int kCaptionLeft = 8;
// Space either side of the caption's text, where the frame line breaks.
constexpr int kCaptionPadding = 2;

int CaptionHeight(const QStyleOption& option) { return option.fontMetrics.height(); }

QRect CaptionRect(const QStyleOptionGroupBox& box) {
  const int width = box.fontMetrics.horizontalAdvance(box.text) + 2 * kCaptionPadding;
  return {box.rect.left() + kCaptionLeft, box.rect.top(), width, CaptionHeight(box)};
}

QRect FrameRect(const QStyleOption& option) { return option.rect.adjusted(0, CaptionHeight(option) / 2, 0, 0); }

}  // namespace

GroupBoxStyle::GroupBoxStyle() = default;

QRect GroupBoxStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                                    const QWidget* widget) const {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (control != CC_GroupBox || box == nullptr) {
    return QProxyStyle::subControlRect(control, option, subControl, widget);
  }
  switch (subControl) {
    case SC_GroupBoxFrame:
      return FrameRect(*box);
    case SC_GroupBoxLabel:
      return CaptionRect(*box);
    case SC_GroupBoxContents:
      return FrameRect(*box).adjusted(2, CaptionHeight(*box) / 2, -2, -2);
    default:
      return QProxyStyle::subControlRect(control, option, subControl, widget);
  }
}

void GroupBoxStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                       const QWidget* widget) const {
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (control != CC_GroupBox || box == nullptr) {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    return;
  }
  const QRect caption = CaptionRect(*box);
  painter->save();
  // Etched frame: a shadow line with a light line inside it, broken where
  // the caption stands.
  painter->setClipRegion(QRegion(box->rect).subtracted(caption));
  const QRect frame = FrameRect(*box);
  painter->setPen(box->palette.color(QPalette::Light));
  painter->drawRect(frame.adjusted(1, 1, -1, -1));
  painter->setPen(box->palette.color(QPalette::Mid));
  painter->drawRect(frame.adjusted(0, 0, -2, -2));
  painter->restore();
  drawItemText(painter, caption.adjusted(kCaptionPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, box->palette,
               box->state.testFlag(State_Enabled), box->text, QPalette::WindowText);
}

}  // namespace kestrum
