// The dialog that changes the selected cards at once: per field "keep" or a
// value (the IP as a start address counting up over the cards in the list's
// order), a preview of every card's values before and after with every
// warning, one confirmation counting the cards, then one result per card as
// the search after the plan found it.
#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch_plan.h"
#include "batch_run.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace kestrum {

// Asks once before the plan is sent; true to send.
using BatchConfirmation = std::function<bool(QWidget* parent, int cards, const QStringList& warnings)>;
// The operator's answer, in a message box that counts the cards, No first.
bool AskBatchConfirmation(QWidget* parent, int cards, const QStringList& warnings);
// Sends one step's requests together and listens once.
using BatchSender = decltype(batch::BatchNetwork::sendTogether);

class BatchChangeDialog final : public QDialog {
  Q_OBJECT

 public:
  // `listed`: the cards of the last search in the list's order; `chosen`:
  // the indices of the selected ones in it.
  BatchChangeDialog(std::vector<ControlRecord> listed, std::vector<std::size_t> chosen, batch::BatchNetwork network,
                    QWidget* parent);

  void SetConfirmation(BatchConfirmation confirm) { confirm_ = std::move(confirm); }
  // Where the plan's entries are recorded; none: not recorded.
  void SetHistoryFile(std::string file) { historyFile_ = std::move(file); }

  void Preview();
  void Apply();
  const std::vector<batch::CardResult>& Results() const { return results_; }

 signals:
  // The plan was sent and the cards searched for: the list may be refreshed.
  void applied();

 private:
  enum Field { kIp, kMask, kGateway, kServerIp, kServerPort, kHeartbeat, kFieldCount };
  struct FieldEdit {
    QCheckBox* change = nullptr;
    QLineEdit* value = nullptr;
  };

  void CreateControls();
  std::optional<std::vector<batch::PlanEntry>> Entries(QStringList& errors) const;
  void ShowCards();
  void ShowNotes(const QStringList& refusals, const QStringList& warnings);
  void Record();

  std::vector<ControlRecord> listed_;
  std::vector<std::size_t> chosen_;
  batch::BatchNetwork network_;
  BatchConfirmation confirm_;
  std::optional<std::string> historyFile_;
  std::optional<batch::Plan> plan_;
  QStringList warnings_;
  std::vector<batch::CardResult> results_;

  std::array<FieldEdit, kFieldCount> fields_{};
  QTableWidget* cards_ = nullptr;
  QPlainTextEdit* notes_ = nullptr;
  QPushButton* preview_ = nullptr;
  QPushButton* apply_ = nullptr;
};

}  // namespace kestrum
