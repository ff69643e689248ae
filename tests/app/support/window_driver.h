// Drives a TFrm_CardSearch over scripted cards the way an operator would:
// mouse clicks on the search button, the headings, the rows and the modify
// button, and keys typed into the panel's edits. The question before a
// change is answered by the driver (Yes unless told otherwise), so no modal
// box blocks a test.
#pragma once

#include <QStringList>
#include <memory>
#include <vector>

#include "card_search_window.h"

class QTableView;

namespace kestrum::testing {

class WindowDriver {
 public:
  // A shown window whose searches find the given cards.
  explicit WindowDriver(std::vector<ControlRecord> cards = {});
  // A shown window over the given library calls, e.g. the real ones.
  explicit WindowDriver(const CardProtocol& protocol);
  ~WindowDriver();
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;

  TFrm_CardSearch& Window() { return *window_; }
  const CardSearchState& State() const { return window_->State(); }

  template <typename Control>
  Control* Find(const char* name) const {
    return window_->findChild<Control*>(QString::fromLatin1(name));
  }

  void ClickSearch();
  void ClickHeading(int column);
  void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  void ClickModify();

  // Replaces a plain edit's text by typing; an empty text deletes it.
  void TypeText(const char* edit, const QString& text);
  // Types each octet of dotted text into its field of an address edit.
  void TypeAddress(const char* edit, const QString& dotted);

  // The answer to the next questions before a change.
  void AnswerConfirmation(bool yes) { confirmationAnswer_ = yes; }
  int Confirmations() const { return confirmations_; }
  QWidget* ConfirmationOwner() const { return confirmationOwner_; }
  // The warnings the last question listed.
  QStringList ConfirmationWarnings() const { return confirmationWarnings_; }
  // The reasons of every change refused so far.
  QStringList Refusals() const { return refusals_; }

  QTableView* List() const;
  QStringList ColumnTexts(int column) const;
  // Rows of the selection, top to bottom.
  QList<int> SelectedRows() const;
  QString LabelText(const char* name) const;
  QString AddressText(const char* name) const;
  QString EditText(const char* name) const;
  QString Status() const;

 private:
  std::unique_ptr<TFrm_CardSearch> window_;
  bool confirmationAnswer_ = true;
  int confirmations_ = 0;
  QWidget* confirmationOwner_ = nullptr;
  QStringList confirmationWarnings_;
  QStringList refusals_;
};

}  // namespace kestrum::testing
