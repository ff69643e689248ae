#include "card_search_window.h"

#include <QClipboard>
#include <QEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <memory>

#include "TIPEdit.h"
#include "busy_popup.h"
#include "card_list_model.h"
#include "card_field_texts.h"
#include "card_texts.h"
#include "crash_reports/kestrum_application.h"
#include "delay_with_messages.h"
#include "gradient_label.h"
#include "history_file.h"
#include "record_change.h"
#include "state_folder.h"
#include "window_language.h"

namespace kestrum {
namespace {

// Long enough for the busy popup to paint before the library blocks.
constexpr std::int32_t kPopupPaintMilliseconds = 20;

}  // namespace

void TFrm_CardSearch::SetStatus(std::function<QString()> status) {
  status_ = std::move(status);
  idsres->SetCaption(status_());
}

void TFrm_CardSearch::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    RetranslateTexts();
    const QModelIndexList selected = rzlistview1->selectionModel()->selectedRows();
    if (!selected.isEmpty())
      ShowCardCodes(state_.ControlTable.at(static_cast<std::size_t>(model_->Row(selected.first().row()).recordIndex)));
  }
  QWidget::changeEvent(event);
}

void TFrm_CardSearch::ChooseLanguage(Language language) {
  RememberLanguage(language);
  UseLanguage(language);
}

TFrm_CardSearch::~TFrm_CardSearch() { historyCatchUpStop_->store(true); }

void TFrm_CardSearch::btnControlSearchClick() {
  btnControlSearch->setEnabled(false);
  StartHistoryCatchUp();
  model_->Clear();
  {
    const auto popup = std::make_unique<BusyPopup>(this);
    popup->show();
    DelayWithMessages(kPopupPaintMilliseconds);
    SearchCard();
  }
  // Some platforms hand the activation to the popup and leave nobody
  // active once it is gone; the window takes it back, focus included.
  if (isVisible()) activateWindow();
  rzlistview1->viewport()->update();
  if (model_->rowCount() > 0) SelectFirstRow();
  const int count = model_->rowCount();
  SetStatus([count] { return tr("屏幕总数") + QString::number(count); });
  btnControlSearch->setEnabled(true);
}

void TFrm_CardSearch::SearchCard() {
  // A library that claims more records than it was given room for cannot
  // make the list read past the table.
  const std::int32_t found =
      std::min(protocol_.GetControlList(state_.ControlTable.data(), kControlTableCapacity), kControlTableCapacity);
  if (found <= 0) {
    btnModify->setEnabled(false);
    return;
  }
  btnModify->setEnabled(true);
  const auto& lastChanges = LastChanges();
  QList<CardRow> rows;
  rows.reserve(found);
  for (int i = 0; i < found; ++i) {
    const ControlRecord& card = state_.ControlTable.at(static_cast<std::size_t>(i));
    CardRow row;
    row.recordIndex = i;
    row.SetText(kColumnNumber, QString::number(i + 1));
    row.SetText(kColumnScreenNo, QString::number(orvell::record::ScreenNo(card)));
    row.SetText(kColumnIp, AddressText(orvell::record::Ip(card)));
    row.SetText(kColumnMask, AddressText(orvell::record::Mask(card)));
    row.SetText(kColumnGateway, AddressText(orvell::record::Gateway(card)));
    row.SetText(kColumnMac, MacText(orvell::record::MacAddress(card)));
    if (const auto last = lastChanges.find(card_text::Mac(orvell::record::MacAddress(card))); last != lastChanges.end())
      row.lastChange = last->second;
    rows.append(std::move(row));
  }
  model_->AppendRows(std::move(rows));
}

void TFrm_CardSearch::SelectFirstRow() {
  rzlistview1->selectionModel()->setCurrentIndex(model_->index(0, kColumnNumber),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TFrm_CardSearch::rzlistview1ColumnClick(int Column) {
  if (Column == state_.SortedColumn) {
    state_.Descending = !state_.Descending;
  } else {
    state_.SortedColumn = Column;
    state_.Descending = false;
  }
  model_->SortRows(
      [this](const CardRow& first, const CardRow& second) { return rzlistview1Compare(first, second) < 0; });
  model_->Renumber();
}

int TFrm_CardSearch::rzlistview1Compare(const CardRow& Item1, const CardRow& Item2) const {
  const int Compare = CompareListTexts(Item1.Text(state_.SortedColumn), Item2.Text(state_.SortedColumn));
  return state_.Descending ? -Compare : Compare;
}

void TFrm_CardSearch::RzListView1SelectItem() {
  const QModelIndexList selected = rzlistview1->selectionModel()->selectedRows();
  if (selected.isEmpty()) {
    btnModify->setEnabled(false);
    return;
  }
  try {
    const CardRow& row = model_->Row(selected.first().row());
    ShowCard(row, state_.ControlTable.at(static_cast<std::size_t>(row.recordIndex)));
  } catch (...) {
    // A failing step leaves what the earlier steps showed; the operator
    // gets no message from a selection.
  }
}

void TFrm_CardSearch::ShowCard(const CardRow& row, const ControlRecord& card) {
  namespace field = orvell::record;
  btnModify->setEnabled(true);
  ipdt_ip->SetIPString(row.Text(kColumnIp));
  ipdt_mask->SetIPString(row.Text(kColumnMask));
  ipdt_gateway->SetIPString(row.Text(kColumnGateway));
  ControlMac->setText(row.Text(kColumnMac));
  IDSControlWidth->setText(QString::number(field::Width(card)));
  IDSControlHeight->setText(QString::number(field::Height(card)));
  IDSControlPNO->setText(QString::number(field::ScreenNo(card)));
  ShowCardCodes(card);
  const TypeAndVersion typeAndVersion = SplitTypeVersion(TypeVersionText(card));
  // Any host can answer a search: its texts are shown, never obeyed.
  IDSControlType->setText(ShownText(typeAndVersion.type));
  IDSControlVersion->setText(ShownText(typeAndVersion.version));
  edt_heart->setText(QString::number(field::Heartbeat(card)));
  ip_remote->SetIPString(AddressText(field::ServerIp(card)));
  edtremoteport->setText(QString::number(field::ServerPort(card)));
  state_.SelectedIp = field::Ip(card);
  state_.SelectedMask = field::Mask(card);
  state_.SelectedGateway = field::Gateway(card);
}

void TFrm_CardSearch::ShowCardCodes(const ControlRecord& card) {
  namespace field = orvell::record;
  IDSControlDBColor->setText(ColourText(field::ColorStyle(card)));
  IDSControlBaud->setText(BaudRateText(field::BaudCode(card)));
  IDSControlScanStyle->setText(ScanStyleText(field::ScanStyle(card)));
  IDSControlLineOrder->setText(LineOrderText(field::LineOrder(card)));
  IDSControlRGChange->setText(RgChangeText(field::RgChange(card)));
}

void TFrm_CardSearch::btnModifyClick() {
  // A change needs a card whose row and record can follow it.
  const QPersistentModelIndex row = SelectedRow();
  if (!row.isValid()) return;
  const PanelTexts texts = ReadPanel();
  const ModifyRequest request =
      MakeModifyRequest(texts, {state_.SelectedIp, state_.SelectedGateway, state_.SelectedMask});
  QStringList warnings;
  if (!ChangeAllowed(request, warnings)) return;
  if (!row.isValid()) return;  // the row went while the question was open
  const ControlRecord before = state_.ControlTable.at(static_cast<std::size_t>(model_->Row(row.row()).recordIndex));
  const bool confirmed = SendModifyRequest(protocol_, request) == 1;
  if (confirmed) {
    ShowConfirmedChange(row.row(), texts, request.change);
    SetStatus([] { return tr("修改成功"); });
  } else {
    SetStatus([] { return tr("修改失败"); });
  }
  RecordChange(before, request.change, confirmed, warnings);
}

void TFrm_CardSearch::ModifyClickedReportingErrors() {
  try {
    btnModifyClick();
  } catch (...) {
    KestrumApplication::ReportException(std::current_exception(), QStringLiteral("TFrm_CardSearch::btnModifyClick"));
  }
}

QPersistentModelIndex TFrm_CardSearch::SelectedRow() const {
  const QModelIndexList selected = rzlistview1->selectionModel()->selectedRows();
  return selected.isEmpty() ? QPersistentModelIndex() : QPersistentModelIndex(selected.first());
}

PanelTexts TFrm_CardSearch::ReadPanel() const {
  return {ipdt_ip->IPString(),   ipdt_gateway->IPString(), ipdt_mask->IPString(), edt_heart->text(),
          edtremoteport->text(), ip_remote->IPString(),    ControlMac->text()};
}

std::vector<ControlRecord> TFrm_CardSearch::ListedCards() const {
  std::vector<ControlRecord> listed;
  for (int row = 0; row < model_->rowCount(); ++row)
    listed.push_back(state_.ControlTable.at(static_cast<std::size_t>(model_->Row(row).recordIndex)));
  return listed;
}

bool TFrm_CardSearch::ChangeAllowed(const ModifyRequest& request, QStringList& warnings) {
  const auto& change = request.change;
  const CardAddresses current{change.oldIp, change.oldGateway, change.oldMask};
  const CardAddresses requested{change.newIp, change.newGateway, change.newMask};
  const ChangeVerdict verdict = CheckChange(ListedCards(), current, requested);
  if (verdict.refusal) {
    refuseChange_(this, QString::fromStdString(RefusalText(*verdict.refusal, requested, CurrentLanguage())));
    return false;
  }
  for (const ChangeWarning& warning : verdict.warnings)
    warnings << QString::fromStdString(WarningText(warning, current, requested, CurrentLanguage()));
  return confirmChange_(this, warnings);
}

void TFrm_CardSearch::ShowConfirmedChange(int row, const PanelTexts& texts,
                                          const orvell::parameter::ParameterChange& change) {
  model_->SetRowText(row, kColumnIp, texts.ip);
  model_->SetRowText(row, kColumnGateway, texts.gateway);
  model_->SetRowText(row, kColumnMask, texts.mask);
  ControlRecord& card = state_.ControlTable.at(static_cast<std::size_t>(model_->Row(row).recordIndex));
  orvell::parameter::ApplyToRecord(card, change);
  // The card now answers to its new addresses: a second change must name
  // them, even before its row is selected again.
  state_.SelectedIp = change.newIp;
  state_.SelectedGateway = change.newGateway;
  state_.SelectedMask = change.newMask;
}

void TFrm_CardSearch::RecordChange(const ControlRecord& before, const orvell::parameter::ParameterChange& sent,
                                   bool confirmed, const QStringList& warnings) {
  if (!historyFile_) return;
  std::vector<std::string> lines;
  for (const QString& warning : warnings) lines.push_back(warning.toStdString());
  const history::HistoryEntry entry =
      history::ChangeSentNow(history::kProgramWindow, before, sent, confirmed, std::move(lines));
  const std::string error = history::AppendEntry(*historyFile_, entry);
  if (error.empty()) {
    NameLastChange(entry);
    return;
  }
  // A history that cannot be written never stops a change; told once. The
  // sentence names the file, its path shown as card texts are.
  if (historyFailureTold_) return;
  historyFailureTold_ = true;
  historyFailed_(this, QString::fromStdString(error));
}

void TFrm_CardSearch::SetChangeHistoryFile(std::string file) {
  historyFile_ = std::move(file);
  StartHistoryCatchUp();
}

void TFrm_CardSearch::StartHistoryCatchUp() {
  if (!historyFile_ || historyCatchUp_.valid()) return;
  const std::uint64_t number = ++historyCatchUpNumber_;
  // The window outlives the look (its future waits for it), so the notice
  // can be posted to it.
  historyCatchUp_ = std::async(std::launch::async, [this, number, file = *historyFile_, from = historyRead_,
                                                    stop = historyCatchUpStop_] {
    HistoryCatchUp caught;
    caught.scan = history::ScanHistory(file, from, [&](history::HistoryEntry&& entry) {
      caught.appended.insert_or_assign(entry.mac, LastChangeOf(entry));  // newest last
      return !stop->load();
    });
    QMetaObject::invokeMethod(this, [this, number] { HistoryCatchUpDone(number); }, Qt::QueuedConnection);
    return caught;
  });
}

bool TFrm_CardSearch::TakeHistoryCatchUp() {
  if (!historyCatchUp_.valid() || historyCatchUp_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
    return false;
  HistoryCatchUp caught = historyCatchUp_.get();
  if (caught.scan.error.empty()) {
    if (caught.scan.startedOver) lastChanges_.clear();
    // Moved over node by node: a first look at a long history found an
    // entry for every card, and two copies of them would double the peak.
    while (!caught.appended.empty()) {
      auto moved = lastChanges_.insert(caught.appended.extract(caught.appended.begin()));
      if (!moved.inserted) moved.position->second = std::move(moved.node.mapped());
    }
    historyRead_ = caught.scan.cursor;
  }
  emit ChangeHistoryRead();
  return true;
}

void TFrm_CardSearch::HistoryCatchUpDone(std::uint64_t number) {
  // The notice leaves the look just before its result is ready: the wait is
  // that short. A notice of an older look, already taken in, is stale.
  if (number != historyCatchUpNumber_ || !historyCatchUp_.valid()) return;
  historyCatchUp_.wait();
  if (!TakeHistoryCatchUp()) return;
  // A row already named keeps its name: a change sent meanwhile named it
  // with what the look may have ended before.
  for (int row = 0; row < model_->rowCount(); ++row) {
    if (model_->Row(row).lastChange) continue;
    if (const auto last = lastChanges_.find(model_->Row(row).Text(kColumnMac).toStdString()); last != lastChanges_.end())
      model_->SetRowLastChange(row, last->second);
  }
}

const std::map<std::string, LastChange>& TFrm_CardSearch::LastChanges() {
  // A short history is read long before the search has listened; the rows
  // of a search that comes before a long one is read are named afterwards.
  TakeHistoryCatchUp();
  return lastChanges_;
}

void TFrm_CardSearch::NameLastChange(const history::HistoryEntry& entry) {
  const QString mac = QString::fromStdString(entry.mac);
  for (int row = 0; row < model_->rowCount(); ++row)
    if (model_->Row(row).Text(kColumnMac) == mac) model_->SetRowLastChange(row, LastChangeOf(entry));
}

void TFrm_CardSearch::CopySelectedRow() {
  const QPersistentModelIndex row = SelectedRow();
  if (row.isValid()) QGuiApplication::clipboard()->setText(TabSeparatedRow(*model_, row.row()));
}

void TFrm_CardSearch::CopySelectedColumn(int column) {
  const QPersistentModelIndex row = SelectedRow();
  if (row.isValid()) QGuiApplication::clipboard()->setText(model_->Row(row.row()).Text(column));
}

void TFrm_CardSearch::ExportList() {
  const QString file = chooseExportFile_(this);
  if (file.isEmpty()) return;
  std::vector<NumberedCard> cards;
  for (int row = 0; row < model_->rowCount(); ++row) {
    const CardRow& listed = model_->Row(row);
    cards.push_back({listed.Text(kColumnNumber).toULongLong(),
                     state_.ControlTable.at(static_cast<std::size_t>(listed.recordIndex))});
  }
  const std::string csv = ListCsv(cards);
  QSaveFile out(file);
  if (out.open(QIODevice::WriteOnly) &&
      out.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size()) && out.commit())
    return;
  QMessageBox::warning(this, tr("提示"), tr("无法导出到 %1：%2").arg(file, out.errorString()));
}

void TFrm_CardSearch::OpenHistoryFolder() {
  if (!historyFile_ || historyFile_->empty()) return;
  const QString folder = QFileInfo(QString::fromStdString(*historyFile_)).absolutePath();
  MakeFolder(folder.toStdString());  // before the first change it may not be there yet
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace kestrum
