#include "TIPEdit.h"

#include "integer_text.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>

namespace {

constexpr int kOctetDigits = 3;

bool IsArrow(int key) { return key == Qt::Key_Left || key == Qt::Key_Right; }

// Editing commands that reach a plain edit as key combinations rather than
// as typed characters.
bool IsEditingShortcut(const QKeyEvent& event) {
  for (const QKeySequence::StandardKey command : {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Copy,
                                                  QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll}) {
    if (event.matches(command)) {
      return true;
    }
  }
  return false;
}

// A key that types a character, as opposed to one that moves, deletes or
// commands.
bool TypesCharacter(const QKeyEvent& event) {
  const QString text = event.text();
  return !text.isEmpty() && text.front().isPrint();
}

bool IsDigitText(const QString& text) { return text.size() == 1 && text.front() >= u'0' && text.front() <= u'9'; }

}  // namespace

TIPFieldEdit::TIPFieldEdit(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(kOctetDigits);
  setFrame(false);
  // The text sits at the top of the field like in a plain single-line edit.
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  connect(this, &QLineEdit::textEdited, this, [this] { editedByOperator_ = true; });
  connect(this, &QLineEdit::textChanged, this, &TIPFieldEdit::TextChanged);
  ShowText(QStringLiteral("0"));
}

void TIPFieldEdit::SetValue(quint8 value) {
  FValue = value;
  ShowText(QString::number(value));
}

void TIPFieldEdit::SetMin(quint8 value) {
  FMin = value;
  FMax = std::max(FMax, FMin);
}

void TIPFieldEdit::SetMax(quint8 value) {
  FMax = value;
  FMin = std::min(FMin, FMax);
}

int TIPFieldEdit::CurrentPosition() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

void TIPFieldEdit::SetCurrentPosition(int position) {
  const int clamped = std::clamp(position, 0, static_cast<int>(text().size()));
  deselect();
  setCursorPosition(clamped);
}

void TIPFieldEdit::ShowText(const QString& newText) {
  setText(newText);
  // Also when the text did not change and so no change check ran.
  SetCurrentPosition(0);
}

// Every change of the text ends here, after the edit has taken it. A change
// the program made leaves the caret at the start with nothing selected
// before the check runs, so that it never moves on to the next field.
void TIPFieldEdit::TextChanged() {
  const bool byOperator = editedByOperator_;
  editedByOperator_ = false;
  if (!byOperator) {
    SetCurrentPosition(0);
  }
  FieldChanged();
}

void TIPFieldEdit::FieldChanged() {
  const QString current = text();
  if (current.isEmpty()) {
    return;  // keeps FError and FValue; an empty field never moves on
  }
  const std::optional<int32_t> number = ParseIntegerText(current);
  if (!number || *number < FMin || *number > FMax) {
    FError = true;
    emit Rejected();
    // The highest accepted number: 255 over the full range. Setting it runs
    // this check again, which accepts it and clears FError.
    ShowText(QString::number(FMax));
  } else {
    FError = false;
    if (*number != FValue) {
      FValue = static_cast<quint8>(*number);
      emit ValueAccepted();
    }
  }
  if (!FError && text().size() == kOctetDigits && CurrentPosition() == kOctetDigits) {
    emit NextFieldRequested(true);
  }
}

void TIPFieldEdit::keyPressEvent(QKeyEvent* event) {
  if (IsArrow(event->key())) {
    if (!HandleArrowKey(*event)) {
      QLineEdit::keyPressEvent(event);
    }
    return;
  }
  if (event->key() == Qt::Key_Backspace) {
    HandleBackspace(event);
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->ignore();  // never typed into the field; the window may use it
    return;
  }
  if (IsEditingShortcut(*event) || !TypesCharacter(*event)) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (IsDigitText(event->text())) {
    QLineEdit::keyPressEvent(event);
  } else if (event->text() == QStringLiteral(".")) {
    HandleDot();
  }
  event->accept();  // every other character is discarded
}

bool TIPFieldEdit::HandleArrowKey(const QKeyEvent& event) {
  const int position = CurrentPosition();
  if (event.key() == Qt::Key_Right && position >= text().size()) {
    SetCurrentPosition(position);
    emit NextFieldRequested(false);
    return true;
  }
  if (event.key() == Qt::Key_Left && position == 0) {
    SetCurrentPosition(position);
    emit PrevFieldRequested(false);
    return true;
  }
  return false;
}

void TIPFieldEdit::HandleDot() {
  if (!hasSelectedText() && !text().isEmpty()) {
    emit NextFieldRequested(true);
  }
}

// At the start, the focus moves to the previous field first; the key itself
// still acts here, where it deletes the selection if there is one. Losing
// the focus drops a line edit's selection, so it is put back for the key.
void TIPFieldEdit::HandleBackspace(QKeyEvent* event) {
  if (CurrentPosition() == 0) {
    const int start = selectionStart();
    const int length = static_cast<int>(selectedText().size());
    emit PrevFieldRequested(false);
    if (length > 0 && !hasSelectedText()) {
      setSelection(start, length);
    }
  }
  QLineEdit::keyPressEvent(event);
}

// A plain edit selects its whole text when tabbed into; this field keeps
// its caret and selection as they were.
void TIPFieldEdit::focusInEvent(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason) {
    QFocusEvent neutral(event->type(), Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&neutral);
    return;
  }
  QLineEdit::focusInEvent(event);
}
