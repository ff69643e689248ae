#include "batch_change_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "address_text.h"
#include "argument_cursor.h"
#include "batch_history.h"
#include "busy_popup.h"
#include "card_texts.h"
#include "delay_with_messages.h"
#include "history_file.h"
#include "window_language.h"

namespace kestrum {
namespace {

namespace rec = orvell::record;

enum Column { kColumnMac, kColumnBefore, kColumnAfter, kColumnResult, kColumnCount };

constexpr std::int32_t kPopupPaintMilliseconds = 20;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QString ValuesText(const batch::NetworkValues& values) {
  return Text(card_text::Address(values.ip) + " / " + card_text::Address(values.mask) + " / " +
              card_text::Address(values.gateway) + "  " + card_text::Address(values.serverIp) + ":" +
              std::to_string(values.serverPort) + "  " + std::to_string(values.heartbeat));
}

}  // namespace

bool AskBatchConfirmation(QWidget* parent, int cards, const QStringList& warnings) {
  QString question = BatchChangeDialog::tr("确定要修改这 %1 张卡吗").arg(cards);
  if (!warnings.isEmpty()) question += QStringLiteral("\n\n") + warnings.join(QLatin1Char('\n'));
  return QMessageBox::question(parent, BatchChangeDialog::tr("批量修改"), question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

BatchChangeDialog::BatchChangeDialog(std::vector<ControlRecord> listed, std::vector<std::size_t> chosen,
                                     batch::BatchNetwork network, QWidget* parent)
    : QDialog(parent), listed_(std::move(listed)), chosen_(std::move(chosen)), network_(std::move(network)) {
  setObjectName(QStringLiteral("batchChangeDialog"));
  setWindowTitle(tr("批量修改"));
  CreateControls();
  ShowCards();
}

void BatchChangeDialog::CreateControls() {
  auto* const layout = new QVBoxLayout(this);
  auto* const grid = new QGridLayout;
  const std::array<QString, kFieldCount> captions{tr("起始IP地址:"), tr("子网掩码:"), tr("网关:"),
                                                  tr("服务器IP:"),  tr("服务器端口:"), tr("心跳:")};
  const std::array<const char*, kFieldCount> names{"ip", "mask", "gateway", "serverIp", "serverPort", "heartbeat"};
  for (int field = 0; field < kFieldCount; ++field) {
    FieldEdit& edit = fields_[static_cast<std::size_t>(field)];
    edit.change = new QCheckBox(captions[static_cast<std::size_t>(field)], this);
    edit.change->setObjectName(QStringLiteral("change_") + QLatin1String(names[static_cast<std::size_t>(field)]));
    edit.value = new QLineEdit(this);
    edit.value->setObjectName(QStringLiteral("value_") + QLatin1String(names[static_cast<std::size_t>(field)]));
    edit.value->setPlaceholderText(tr("保持不变"));
    edit.value->setEnabled(false);
    connect(edit.change, &QCheckBox::toggled, edit.value, &QLineEdit::setEnabled);
    grid->addWidget(edit.change, field / 3, (field % 3) * 2);
    grid->addWidget(edit.value, field / 3, (field % 3) * 2 + 1);
  }
  layout->addLayout(grid);

  cards_ = new QTableWidget(0, kColumnCount, this);
  cards_->setObjectName(QStringLiteral("batchCards"));
  cards_->setHorizontalHeaderLabels({tr("Mac"), tr("修改前"), tr("修改后"), tr("结果")});
  cards_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  cards_->verticalHeader()->hide();
  cards_->verticalHeader()->setDefaultSectionSize(cards_->fontMetrics().height() + 6);
  cards_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(cards_, 1);

  notes_ = new QPlainTextEdit(this);
  notes_->setObjectName(QStringLiteral("batchNotes"));
  notes_->setReadOnly(true);
  notes_->setMaximumHeight(90);
  layout->addWidget(notes_);

  auto* const buttons = new QHBoxLayout;
  buttons->addStretch();
  preview_ = new QPushButton(tr("预览"), this);
  preview_->setObjectName(QStringLiteral("batchPreview"));
  apply_ = new QPushButton(tr("修改"), this);
  apply_->setObjectName(QStringLiteral("batchApply"));
  apply_->setEnabled(false);
  auto* const close = new QPushButton(tr("关闭"), this);
  buttons->addWidget(preview_);
  buttons->addWidget(apply_);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(preview_, &QPushButton::clicked, this, &BatchChangeDialog::Preview);
  connect(apply_, &QPushButton::clicked, this, &BatchChangeDialog::Apply);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(1000, 420);
}

// The plan's entries as the fields give them; nothing, with the bad fields
// named, when a value cannot be read.
std::optional<std::vector<batch::PlanEntry>> BatchChangeDialog::Entries(QStringList& errors) const {
  const auto given = [this](Field field) -> std::optional<std::string> {
    const FieldEdit& edit = fields_[static_cast<std::size_t>(field)];
    if (!edit.change->isChecked()) return std::nullopt;
    return edit.value->text().trimmed().toStdString();
  };
  const auto address = [&](Field field, const QString& caption) -> std::optional<std::uint32_t> {
    const auto text = given(field);
    if (!text) return std::nullopt;
    const auto parsed = command_line::ParseIpv4(*text);
    if (!parsed) errors << tr("%1不是有效的地址").arg(caption);
    return parsed;
  };
  const auto ip = address(kIp, tr("起始IP地址"));
  const auto mask = address(kMask, tr("子网掩码"));
  const auto gateway = address(kGateway, tr("网关"));
  const auto serverIp = address(kServerIp, tr("服务器IP"));
  std::optional<std::uint16_t> port;
  if (const auto text = given(kServerPort)) {
    port = command_line::ParseDecimal<std::uint16_t>(*text, 65535);
    if (!port) errors << tr("服务器端口应为 0 到 65535");
  }
  std::optional<std::uint8_t> heartbeat;
  if (const auto text = given(kHeartbeat)) {
    heartbeat = command_line::ParseDecimal<std::uint8_t>(*text, 255);
    if (!heartbeat) errors << tr("心跳应为 0 到 255");
  }
  if (!errors.isEmpty()) return std::nullopt;
  std::vector<std::uint32_t> ips;
  if (ip) ips = batch::CountUpAddresses(listed_, chosen_, *ip);
  std::vector<batch::PlanEntry> entries;
  for (std::size_t i = 0; i < chosen_.size(); ++i) {
    batch::PlanEntry entry;
    entry.mac = rec::MacAddress(listed_.at(chosen_[i]));
    if (ip) entry.ip = ips[i];
    entry.mask = mask;
    entry.gateway = gateway;
    entry.serverIp = serverIp;
    entry.serverPort = port;
    entry.heartbeat = heartbeat;
    entries.push_back(entry);
  }
  return entries;
}

void BatchChangeDialog::ShowCards() {
  cards_->setRowCount(static_cast<int>(chosen_.size()));
  for (std::size_t i = 0; i < chosen_.size(); ++i) {
    const ControlRecord& card = listed_.at(chosen_[i]);
    const int row = static_cast<int>(i);
    const auto set = [&](int column, const QString& text) { cards_->setItem(row, column, new QTableWidgetItem(text)); };
    set(kColumnMac, Text(card_text::Mac(rec::MacAddress(card))));
    set(kColumnBefore, ValuesText(batch::ValuesOf(card)));
    set(kColumnAfter, plan_ && i < plan_->cards.size() ? ValuesText(plan_->cards[i].after) : QString());
    QString outcome;
    if (i < results_.size()) outcome = Text(batch::Text(batch::OutcomeText(results_[i].outcome), CurrentLanguage()));
    set(kColumnResult, outcome);
  }
  cards_->resizeColumnsToContents();
}

void BatchChangeDialog::ShowNotes(const QStringList& refusals, const QStringList& warnings) {
  QStringList lines;
  for (const QString& refusal : refusals) lines << tr("不能修改：%1").arg(refusal);
  for (const QString& warning : warnings) lines << tr("警告：%1").arg(warning);
  notes_->setPlainText(lines.join(QLatin1Char('\n')));
}

void BatchChangeDialog::Preview() {
  plan_.reset();
  results_.clear();
  warnings_.clear();
  QStringList refusals;
  if (const auto entries = Entries(refusals)) {
    batch::PlanVerdict verdict = batch::MakePlan(listed_, *entries, CurrentLanguage());
    for (const std::string& refusal : verdict.refusals) refusals << Text(refusal);
    if (verdict.plan) {
      plan_ = std::move(verdict.plan);
      for (const std::string& note : plan_->notes) warnings_ << Text(note);
      for (const batch::PlannedCard& card : plan_->cards)
        for (const std::string& warning : card.warnings) warnings_ << Text(warning);
    }
  }
  ShowNotes(refusals, warnings_);
  ShowCards();
  apply_->setEnabled(plan_.has_value());
}

void BatchChangeDialog::Apply() {
  if (!plan_) return;
  if (confirm_ && !confirm_(this, static_cast<int>(plan_->cards.size()), warnings_)) return;
  apply_->setEnabled(false);
  preview_->setEnabled(false);
  {
    const auto popup = std::make_unique<BusyPopup>(this);
    popup->show();
    DelayWithMessages(kPopupPaintMilliseconds);
    results_ = batch::RunPlan(*plan_, network_);
  }
  Record();
  ShowCards();
  preview_->setEnabled(true);
  emit applied();
}

// A history that cannot be written stops nothing: it is said beside the
// warnings.
void BatchChangeDialog::Record() {
  if (!historyFile_) return;
  std::vector<std::string> notes(plan_->notes.begin(), plan_->notes.end());
  const std::string batchId = batch::NewBatchId();
  for (const history::HistoryEntry& entry :
       batch::BatchEntries(history::kProgramWindow, batchId, results_, notes)) {
    const std::string error = history::AppendEntry(*historyFile_, entry);
    if (!error.empty()) {
      notes_->appendPlainText(tr("修改记录未能写入：%1").arg(Text(error)));
      return;
    }
  }
}

}  // namespace kestrum
