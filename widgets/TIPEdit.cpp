#include "TIPEdit.h"

#include "ip_field_layout.h"
#include "integer_text.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStringList>
#include <qdrawutil.h>

#include <algorithm>

namespace {

constexpr QSize kDefaultSize(125, 21);
constexpr int kDefaultFontPoints = 9;
constexpr int kBorderWidth = 2;  // sunken edge, two pixels on each side
constexpr int kDotFontPoints = 18;
// A frameless line edit leaves one pixel above its top-aligned text.
constexpr int kFieldTextTopMargin = 1;
constexpr int kHighestOctet = 255;
constexpr quint8 kRejectedOctet = kHighestOctet;
// Moving back puts the caret here, which stops at the end of a shorter text.
constexpr int kPrevFieldCaret = 3;
constexpr int kBitsPerOctet = 8;
constexpr quint32 kOctetMask = 0xFFu;

// One octet of an address text: a number from 0 to 255, else 255.
quint8 OctetFromText(QStringView text) {
  const std::optional<int32_t> number = ParseIntegerText(text);
  if (!number || *number < 0 || *number > kHighestOctet) {
    return kRejectedOctet;
  }
  return static_cast<quint8>(*number);
}

}  // namespace

TIPEdit::TIPEdit(QWidget* parent) : QWidget(parent) {
  clientArea_ = new QWidget(this);
  for (int i = 0; i < kFieldCount; ++i) {
    auto* field = new TIPFieldEdit(clientArea_);
    FFields[static_cast<size_t>(i)] = field;
    connect(field, &TIPFieldEdit::Rejected, this, [this, i] { emit OnError(i); });
    connect(field, &TIPFieldEdit::ValueAccepted, this, &TIPEdit::OnChange);
    connect(field, &TIPFieldEdit::NextFieldRequested, this, &TIPEdit::ActiveNextField);
    connect(field, &TIPFieldEdit::PrevFieldRequested, this, &TIPEdit::ActivePrevField);
  }
  // Focus given to the control goes to field 0; tabbing passes through the
  // fields in index order.
  setFocusProxy(FFields[0]);
  resize(kDefaultSize);
  QFont boldFont = font();
  boldFont.setPointSize(kDefaultFontPoints);
  boldFont.setBold(true);
  setFont(boldFont);
  setCursor(Qt::IBeamCursor);
  SetTabStop(true);
  SetColor(palette().color(QPalette::Base));
  LayoutFields();
}

// The fields go first, in index order, while the control is still whole.
TIPEdit::~TIPEdit() {
  for (TIPFieldEdit*& field : FFields) {
    delete field;
    field = nullptr;
  }
}

QString TIPEdit::IPString() const {
  QStringList octets;
  for (const TIPFieldEdit* field : FFields) {
    octets << QString::number(field->Value());
  }
  return octets.join(u'.');
}

void TIPEdit::SetIPString(const QString& text) {
  std::array<quint8, kFieldCount> octets{};
  QStringView rest(text);
  for (int i = 0; i < kFieldCount; ++i) {
    const qsizetype dot = rest.indexOf(u'.');
    const QStringView octetText = dot < 0 ? rest : rest.left(dot);
    octets[static_cast<size_t>(i)] = OctetFromText(octetText);
    rest = rest.mid(octetText.size());
    if (i < kFieldCount - 1) {
      if (!rest.startsWith(u'.')) {
        return;  // a missing dot leaves the address as it was
      }
      rest = rest.mid(1);
    }
  }
  for (int i = 0; i < kFieldCount; ++i) {
    FFields[static_cast<size_t>(i)]->SetValue(octets[static_cast<size_t>(i)]);
  }
}

quint32 TIPEdit::Addr() const {
  quint32 address = 0;
  for (int i = kFieldCount - 1; i >= 0; --i) {
    address = (address << kBitsPerOctet) | FFields[static_cast<size_t>(i)]->Value();
  }
  return address;
}

void TIPEdit::SetAddr(quint32 address) {
  for (TIPFieldEdit* field : FFields) {
    field->SetValue(static_cast<quint8>(address & kOctetMask));
    address >>= kBitsPerOctet;
  }
}

bool TIPEdit::Error() const {
  return std::any_of(FFields.begin(), FFields.end(), [](const TIPFieldEdit* field) { return field->Error(); });
}

bool TIPEdit::ReadOnly() const { return FFields[0]->isReadOnly(); }

void TIPEdit::SetReadOnly(bool readOnly) {
  if (readOnly == ReadOnly()) {
    return;
  }
  for (TIPFieldEdit* field : FFields) {
    field->setReadOnly(readOnly);
  }
}

void TIPEdit::SetBorderStyle(TBorderStyle style) {
  if (style == FBorderStyle) {
    return;
  }
  FBorderStyle = style;
  LayoutFields();
  update();
}

bool TIPEdit::TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }

void TIPEdit::SetTabStop(bool tabStop) {
  // The control takes no clicks itself: a click on its surface focuses
  // field 0 only when no field has the focus (mousePressEvent).
  setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
  for (TIPFieldEdit* field : FFields) {
    field->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

QColor TIPEdit::Color() const { return palette().color(QPalette::Base); }

void TIPEdit::SetColor(const QColor& color) {
  QPalette own = palette();
  own.setColor(QPalette::Base, color);
  setPalette(own);  // reaches the fields, which inherit the control's palette
  update();
}

void TIPEdit::ActiveNextField(bool Sel) {
  const int focused = FocusedFieldIndex();
  if (focused < 0 || focused >= kFieldCount - 1) {
    return;
  }
  TIPFieldEdit* target = FFields[static_cast<size_t>(focused + 1)];
  if (Sel) {
    target->selectAll();
  } else {
    target->SetCurrentPosition(0);
  }
  target->setFocus(Qt::OtherFocusReason);
}

void TIPEdit::ActivePrevField(bool Sel) {
  const int focused = FocusedFieldIndex();
  if (focused < 1) {
    return;
  }
  TIPFieldEdit* target = FFields[static_cast<size_t>(focused - 1)];
  if (Sel) {
    target->selectAll();
  } else {
    target->SetCurrentPosition(kPrevFieldCaret);
  }
  target->setFocus(Qt::OtherFocusReason);
}

TIPFieldEdit* TIPEdit::Field(int index) const {
  if (index < 0 || index >= kFieldCount) {
    return nullptr;
  }
  return FFields[static_cast<size_t>(index)];
}

QSize TIPEdit::sizeHint() const { return kDefaultSize; }

int TIPEdit::FocusedFieldIndex() const {
  for (int i = 0; i < kFieldCount; ++i) {
    const TIPFieldEdit* field = FFields[static_cast<size_t>(i)];
    if (field != nullptr && field->hasFocus()) {
      return i;
    }
  }
  return -1;
}

bool TIPEdit::event(QEvent* event) {
  if (event->type() == QEvent::CursorChange) {
    for (TIPFieldEdit* field : FFields) {
      if (field != nullptr) {
        field->setCursor(cursor());
      }
    }
  }
  return QWidget::event(event);
}

void TIPEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    LayoutFields();
    update();
  } else if (event->type() == QEvent::PaletteChange) {
    update();
  }
  QWidget::changeEvent(event);
}

void TIPEdit::resizeEvent(QResizeEvent* event) {
  LayoutFields();
  if (FFullRepaint) {
    update();
  }
  QWidget::resizeEvent(event);
}

void TIPEdit::mousePressEvent(QMouseEvent* event) {
  if (FocusedFieldIndex() < 0) {
    FFields[0]->setFocus(Qt::MouseFocusReason);
  }
  QWidget::mousePressEvent(event);
}

QRect TIPEdit::ClientRect() const {
  if (FBorderStyle == bsSingle) {
    return rect().adjusted(kBorderWidth, kBorderWidth, -kBorderWidth, -kBorderWidth);
  }
  return rect();
}

IPFieldLayout TIPEdit::CurrentLayout() const {
  const int dpi = logicalDpiY();
  return ComputeIPFieldLayout(width(), height(), FontPointSize(font(), dpi), FontPixelHeight(font(), dpi));
}

// Where the digits stand on their baseline, inside the border: their ink is
// centred in the box whatever the font's ascent, as the box is barely
// higher than the digits.
int TIPEdit::DigitBaseline() const {
  const QFontMetrics metrics(font());
  return (height() - 2 * kBorderWidth + metrics.capHeight()) / 2;
}

void TIPEdit::LayoutFields() {
  if (clientArea_ == nullptr || FFields[0] == nullptr) {
    return;
  }
  clientArea_->setGeometry(ClientRect());
  const IPFieldLayout layout = CurrentLayout();
  // A top-aligned line edit puts its baseline one pixel plus the ascent
  // below its top; the margin moves it onto the digits' baseline.
  const int textTopMargin = DigitBaseline() - layout.Top - kFieldTextTopMargin - QFontMetrics(font()).ascent();
  for (int i = 0; i < kFieldCount; ++i) {
    TIPFieldEdit* field = FFields[static_cast<size_t>(i)];
    field->setGeometry(layout.FieldLeft(i), layout.Top, layout.FieldWidth, height() - 2);
    field->setTextMargins(0, textTopMargin, 0, 0);
  }
}

void TIPEdit::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect client = ClientRect();
  painter.fillRect(client, Color());
  if (FBorderStyle == bsSingle) {
    qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
  }
  PaintDots(painter, client);
}

// Each dot stands in a gap, just right of the field before it, on the
// digits' baseline; the fields paint themselves on top. Fonts
// differ in where their dot's ink lies, so the ink is placed rather than the
// character cell: centred in the gap, resting on the digits' baseline.
void TIPEdit::PaintDots(QPainter& painter, const QRect& client) const {
  const IPFieldLayout layout = CurrentLayout();
  QFont dotFont = font();
  dotFont.setBold(true);
  dotFont.setPointSize(kDotFontPoints);
  const QString dot = QStringLiteral(".");
  const QRect ink = QFontMetrics(dotFont).tightBoundingRect(dot);
  const int baseline = client.top() + DigitBaseline();

  painter.save();
  painter.setClipRect(client);
  painter.setFont(dotFont);
  painter.setPen(palette().color(QPalette::Text));
  for (int gap = 0; gap < kFieldCount - 1; ++gap) {
    const int gapLeft = client.left() + layout.FieldLeft(gap) + layout.FieldWidth;
    const int inkLeft = gapLeft + (layout.Gap - ink.width()) / 2;
    painter.drawText(QPoint(inkLeft - ink.left(), baseline - ink.bottom()), dot);
  }
  painter.restore();
}
