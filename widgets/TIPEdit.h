#pragma once

// The IPv4 address edit: four octet fields side by side in a bordered box,
// with a large dot painted in each gap between them.

#include <QLineEdit>
#include <QWidget>

#include <array>
#include <cstdint>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPainter;
class QPaintEvent;
class QResizeEvent;
struct IPFieldLayout;

// One octet of the address. Its text is checked after every change, whoever
// made it (typing, pasting, the program): the field ends up holding nothing
// or a number from Min to Max.
class TIPFieldEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TIPFieldEdit(QWidget* parent = nullptr);

  // The last number the field accepted; writing it shows it in decimal.
  quint8 Value() const { return FValue; }
  void SetValue(quint8 value);

  quint8 Min() const { return FMin; }
  void SetMin(quint8 value);
  quint8 Max() const { return FMax; }
  void SetMax(quint8 value);

  // True while the text was found not to be a number in Min..Max.
  bool Error() const { return FError; }

  // Start of the selection, or the caret when nothing is selected.
  int CurrentPosition() const;
  // Clamped to 0..text length; leaves nothing selected.
  void SetCurrentPosition(int position);

 signals:
  // The text was rejected; raised before it is replaced.
  void Rejected();
  // The field accepted a number that differs from its previous value.
  void ValueAccepted();
  // The field asks its container to move the focus to a neighbour.
  void NextFieldRequested(bool Sel);
  void PrevFieldRequested(bool Sel);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void TextChanged();
  void FieldChanged();
  void ShowText(const QString& text);
  bool HandleArrowKey(const QKeyEvent& event);
  void HandleDot();
  void HandleBackspace(QKeyEvent* event);

  bool FError = false;
  quint8 FMin = 0;
  quint8 FMax = 255;
  quint8 FValue = 0;
  // Set by a change the operator made, so that a change the program made
  // can be told apart: only the latter puts the caret at the start.
  bool editedByOperator_ = false;
};

// The address control. The window reads and writes it as dotted text.
class TIPEdit : public QWidget {
  Q_OBJECT
  // Read by tools that look at the window from outside its code.
  Q_PROPERTY(QString ipString READ IPString)

 public:
  enum TBorderStyle { bsNone, bsSingle };
  Q_ENUM(TBorderStyle)

  static constexpr int kFieldCount = 4;

  explicit TIPEdit(QWidget* parent = nullptr);
  ~TIPEdit() override;

  TIPEdit(const TIPEdit&) = delete;
  TIPEdit& operator=(const TIPEdit&) = delete;

  // "a.b.c.d" from the four field values.
  QString IPString() const;
  // Ignored as a whole when one of the first three dots is missing; an
  // octet that is not a number from 0 to 255 becomes 255.
  void SetIPString(const QString& text);

  // Field 0 in the least significant byte: network byte order in memory.
  quint32 Addr() const;
  void SetAddr(quint32 address);

  bool Error() const;

  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);

  // Whether the keyboard focus stops at the control and its fields.
  bool TabStop() const;
  void SetTabStop(bool tabStop);

  // Background of the box and of the fields.
  QColor Color() const;
  void SetColor(const QColor& color);

  void ActiveNextField(bool Sel);
  void ActivePrevField(bool Sel);

  // Field 0 (leftmost octet) to 3; nullptr for any other index.
  TIPFieldEdit* Field(int index) const;

  QSize sizeHint() const override;

 signals:
  void OnChange();
  void OnError(int Field);

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  IPFieldLayout CurrentLayout() const;
  int DigitBaseline() const;
  void LayoutFields();
  QRect ClientRect() const;
  int FocusedFieldIndex() const;
  void PaintDots(QPainter& painter, const QRect& client) const;

  std::array<TIPFieldEdit*, kFieldCount> FFields{};
  TBorderStyle FBorderStyle = bsSingle;
  // Every move or resize repaints the whole control.
  const bool FFullRepaint = true;
  // Inside the border; clips the fields the way the box does.
  QWidget* clientArea_ = nullptr;
};
