// The window's way to many cards at once: the selected rows in the list's
// order go to the batch dialog, whose search afterwards refreshes the list.
#include <algorithm>

#include "batch_history.h"
#include "card_list_model.h"
#include "card_search_window.h"
#include "card_texts.h"
#include "gradient_label.h"
#include "history_file.h"
#include "plan_texts.h"
#include "window_language.h"

#include <QItemSelectionModel>
#include <QTableView>

namespace kestrum {

void TFrm_CardSearch::ChangeSelectedCards() {
  std::vector<std::size_t> chosen;
  for (const QModelIndex& index : rzlistview1->selectionModel()->selectedRows())
    chosen.push_back(static_cast<std::size_t>(index.row()));
  if (chosen.empty()) return;
  std::sort(chosen.begin(), chosen.end());
  batch::BatchNetwork network;
  network.sendTogether = sendBatch_ ? sendBatch_ : [](std::span<const orvell::parameter::ParameterChange>) {};
  network.search = [this] {
    model_->Clear();
    SearchCard();
    return ListedCards();
  };
  BatchChangeDialog dialog(ListedCards(), std::move(chosen), std::move(network), this);
  dialog.SetConfirmation(confirmBatch_);
  if (historyFile_) dialog.SetHistoryFile(*historyFile_);
  dialog.exec();
  if (model_->rowCount() > 0 && rzlistview1->selectionModel()->selectedRows().isEmpty()) SelectFirstRow();
}

void TFrm_CardSearch::RestoreSelectedCard() {
  const QModelIndexList selected = rzlistview1->selectionModel()->selectedRows();
  if (selected.isEmpty() || !historyFile_) return;
  const ControlRecord card = state_.ControlTable.at(static_cast<std::size_t>(model_->Row(selected.first().row()).recordIndex));
  const std::string mac = card_text::Mac(orvell::record::MacAddress(card));
  // The card must still have what its last change gave it: a fresh search
  // tells.
  model_->Clear();
  SearchCard();
  const std::vector<ControlRecord> listed = ListedCards();
  const history::HistoryRead read = history::ReadHistory(*historyFile_);
  const batch::RestorePlan restore = batch::PlanRestore(read.entries, {mac, {}}, listed, CurrentLanguage());
  batch::PlanVerdict verdict;
  if (restore.refusals.empty()) verdict = batch::MakePlan(listed, restore.entries, CurrentLanguage());
  const auto& refusals = restore.refusals.empty() ? verdict.refusals : restore.refusals;
  if (!refusals.empty() || !verdict.plan) {
    QStringList lines;
    for (const std::string& refusal : refusals) lines << QString::fromStdString(refusal);
    refuseChange_(this, lines.join(QLatin1Char('\n')));
    if (model_->rowCount() > 0) SelectFirstRow();
    return;
  }
  QStringList warnings;
  for (const batch::PlannedCard& planned : verdict.plan->cards)
    for (const std::string& warning : planned.warnings) warnings << QString::fromStdString(warning);
  if (!confirmChange_(this, warnings)) {
    if (model_->rowCount() > 0) SelectFirstRow();
    return;
  }
  batch::BatchNetwork network;
  network.sendTogether = sendBatch_ ? sendBatch_ : [](std::span<const orvell::parameter::ParameterChange>) {};
  network.search = [this] {
    model_->Clear();
    SearchCard();
    return ListedCards();
  };
  const std::vector<batch::CardResult> results = batch::RunPlan(*verdict.plan, network);
  for (const history::HistoryEntry& entry :
       batch::BatchEntries(history::kProgramWindow, batch::NewBatchId(), results, verdict.plan->notes))
    history::AppendEntry(*historyFile_, entry);
  if (!results.empty()) {
    const batch::PlanText outcome = batch::OutcomeText(results.front().outcome);
    SetStatus([outcome] { return QString::fromStdString(batch::Text(outcome, CurrentLanguage())); });
  }
  if (model_->rowCount() > 0) SelectFirstRow();
}

}  // namespace kestrum
