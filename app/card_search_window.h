// TFrm_CardSearch, the program's one window: the search button, the card
// list, the details panel of the selected card and the status label.
#pragma once

#include <QPersistentModelIndex>
#include <QStringList>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch_change_dialog.h"
#include "card_list_copy.h"
#include "card_protocol.h"
#include "card_row.h"
#include "change_checks.h"
#include "change_confirmation.h"
#include "change_history_texts.h"
#include "history_entry.h"
#include "history_file.h"
#include "modify_request.h"
#include "orvell.h"
#include "text_language.h"

class GradientLabel;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStyle;
class QTableView;
class QToolButton;
class TIPEdit;

namespace kestrum {

class CardListModel;

inline constexpr std::int32_t kControlTableCapacity = 255;
using ControlTableArray = std::array<ControlRecord, kControlTableCapacity>;

// What the window remembers besides its controls' contents.
struct CardSearchState {
  // The column of the last sort and its direction; searches keep them.
  std::int32_t SortedColumn = 0;
  bool Descending = false;
  // Filled by each search; rows of the list point into it.
  ControlTableArray ControlTable{};
  // The current addresses (network byte order) of the card last selected,
  // sent as its old addresses when it is changed.
  std::uint32_t SelectedIp = 0;
  std::uint32_t SelectedMask = 0;
  std::uint32_t SelectedGateway = 0;
};

// The Windows faces the window's fonts name: "MS Sans Serif", "Tahoma",
// "Arial". Where the system lacks them, the window asks for faces with
// Arial's character widths instead, in this order: Windows' own, then
// Liberation Sans (Debian's fonts-liberation2, which the set-up installs),
// Arimo (fonts-croscore), Nimbus Sans, Arial itself. A wider face such as
// DejaVu Sans cuts the last digit off an address edit's field.
QStringList WindowsFaces();
QStringList ArialMetricFaces();

// The dynamic property under which a control keeps its untranslated text.
extern const char* const kSourceTextProperty;

class TFrm_CardSearch final : public QWidget {
  Q_OBJECT

 public:
  static constexpr QSize kClientSize{929, 430};

  explicit TFrm_CardSearch(const CardProtocol& protocol, QWidget* parent = nullptr);
  // Stops a look at the history that is still under way.
  ~TFrm_CardSearch() override;

  const CardSearchState& State() const { return state_; }
  // Who answers "确定要修改参数吗"; by default the operator, in a message box.
  void SetChangeConfirmation(ChangeConfirmation confirm) { confirmChange_ = std::move(confirm); }
  // Who tells the operator that a change is refused; by default a message box.
  void SetChangeRefusalNotice(ChangeRefusalNotice notice) { refuseChange_ = std::move(notice); }
  // Where every change sent is recorded (UTF-8), and read from for the rows'
  // tooltips; without one nothing is recorded. Empty: the history cannot be
  // kept, which the operator hears of at the first change. Reading it starts
  // now, off the GUI thread, so that the first search finds it read.
  void SetChangeHistoryFile(std::string file);
  // Who tells the operator, once per run, that the history cannot be
  // written; by default a message box.
  void SetHistoryFailureNotice(HistoryFailureNotice notice) { historyFailed_ = std::move(notice); }
  // Who chooses the file the list is exported to; by default the platform's
  // save dialog.
  void SetExportFileChooser(ExportFileChooser choose) { chooseExportFile_ = std::move(choose); }
  // How the selected cards' plan is sent, one step's requests together; the
  // program passes the library's export, tests a script.
  void SetBatchSender(BatchSender send) { sendBatch_ = std::move(send); }
  // Who answers the one question before the selected cards are changed; by
  // default the operator, in a message box.
  void SetBatchConfirmation(BatchConfirmation confirm) { confirmBatch_ = std::move(confirm); }

  // Opens the dialog that changes every selected card at once; the list is
  // refreshed by the search that verifies them.
  void ChangeSelectedCards();
  // Gives the selected card back the values it had before its last
  // confirmed change, after a search shows it still has what that change
  // gave it; asked as a single change is.
  void RestoreSelectedCard();

  // Runs one search: busy popup, the library call, one row per card, the
  // first row selected and the count in idsres.
  void btnControlSearchClick();
  // Sorts by the clicked column (the same column again reverses the
  // direction), then numbers the rows from the top.
  void rzlistview1ColumnClick(int Column);
  // Negative when Item1 goes before Item2 in the current sort.
  int rzlistview1Compare(const CardRow& Item1, const CardRow& Item2) const;
  // Shows the selected row's card in the panel; with no row selected it
  // only disables btnModify, so a change cannot go to a card no longer
  // selected.
  void RzListView1SelectItem();
  // Sends the panel's values to the selected card once the operator
  // confirmed; on the card's confirmation its row, its record and the
  // remembered addresses follow. A heartbeat or port text that is no
  // integer, or does not fit the card, leaves as an OperatorError before
  // anything is asked or sent. Addresses no card can work with are refused
  // with a notice; the question lists what else the change will do (other
  // cards sharing the address, an address in use, a gateway outside the
  // subnet). Does nothing without a selected row.
  void btnModifyClick();

  // The list's context menu (Ctrl+C copies the row too): the selected row
  // as tab-separated text under the headings, its IP or its MAC alone, the
  // whole list as CSV, and the history file's folder.
  void CopySelectedRow();
  void CopySelectedColumn(int column);
  void ExportList();
  void OpenHistoryFolder();
  // Chosen from the list's menu "Language / 语言": takes effect at once and
  // is remembered for the next start.
  void ChooseLanguage(Language language);

 signals:
  // A look at the history was taken in, or found that it cannot be read; the
  // listed rows are named from what it found.
  void ChangeHistoryRead();

 protected:
  // On QEvent::LanguageChange every text of the window is set anew; the
  // list, its selection and the panel's edits stay as they are.
  void changeEvent(QEvent* event) override;

 private:
  void AddLanguageMenu();
  void RetranslateTexts();
  // The texts of the selected card's codes (colour, baud rate, scan mode,
  // decoding, red/green) in the current language.
  void ShowCardCodes(const ControlRecord& card);
  // The screen reader's names of the controls that show no text of their
  // own: the search button, the address edits' fields, the one-line edits.
  void NameControlsForScreenReaders();
  // The status label's text, kept as a function so a new language can say it again.
  void SetStatus(std::function<QString()> status);
  void CreateControls();
  void CreateScreenGroup(QStyle* groupBoxStyle);
  void CreateDriveGroup(QStyle* groupBoxStyle);
  void CreateNetworkGroup(QStyle* groupBoxStyle);
  void ConfigureList();
  void AddListActions();
  void SetTabOrder();
  void CentreOnScreen();

  void SearchCard();
  void SelectFirstRow();
  void ShowCard(const CardRow& row, const ControlRecord& card);

  // btnModify's clicked slot: btnModifyClick, with whatever leaves it handed
  // to the crash reporting here, since an exception must not unwind through
  // Qt's signal delivery.
  void ModifyClickedReportingErrors();
  QPersistentModelIndex SelectedRow() const;
  PanelTexts ReadPanel() const;
  // The records of the listed cards, in the order of the list.
  std::vector<ControlRecord> ListedCards() const;
  // Whether the change may go ahead: refused ones are told, warned ones
  // asked; `warnings` are those the operator went ahead despite.
  bool ChangeAllowed(const ModifyRequest& request, QStringList& warnings);
  // Appends the change to the history and names it in the card's rows.
  void RecordChange(const ControlRecord& before, const orvell::parameter::ParameterChange& sent, bool confirmed,
                    const QStringList& warnings);
  // The last recorded change of each MAC, for the rows' tooltips, brought up
  // to date with what the last look found if it is done; never waits for it.
  const std::map<std::string, LastChange>& LastChanges();
  // Takes in what the finished look found (a history that cannot be read
  // leaves the changes as they were); false while it is under way.
  bool TakeHistoryCatchUp();
  // A look finished: the listed rows are named from it, unless a search
  // took it in already.
  void HistoryCatchUpDone(std::uint64_t number);
  // What one look at the history found: the newest entry of each MAC
  // appended since the look before.
  struct HistoryCatchUp {
    std::map<std::string, LastChange> appended;
    history::HistoryScan scan;
  };
  // Starts the next look off the GUI thread, unless one is under way, so
  // that a long history is read while the window goes on and never holds it
  // up; the rows a search listed meanwhile are named when it is done.
  void StartHistoryCatchUp();
  void NameLastChange(const history::HistoryEntry& entry);
  void ShowConfirmedChange(int row, const PanelTexts& texts, const orvell::parameter::ParameterChange& change);

  CardProtocol protocol_;
  ChangeConfirmation confirmChange_ = AskChangeConfirmation;
  BatchSender sendBatch_;
  BatchConfirmation confirmBatch_ = AskBatchConfirmation;
  ChangeRefusalNotice refuseChange_ = ShowChangeRefusal;
  HistoryFailureNotice historyFailed_ = ShowHistoryFailure;
  ExportFileChooser chooseExportFile_ = AskExportFile;
  std::optional<std::string> historyFile_;
  std::map<std::string, LastChange> lastChanges_;
  history::HistoryCursor historyRead_;
  std::future<HistoryCatchUp> historyCatchUp_;
  std::uint64_t historyCatchUpNumber_ = 0;  // of the latest look started
  std::shared_ptr<std::atomic<bool>> historyCatchUpStop_ = std::make_shared<std::atomic<bool>>(false);
  bool historyFailureTold_ = false;
  std::function<QString()> status_;
  CardSearchState state_;
  CardListModel* model_ = nullptr;

  QFrame* sPanel1 = nullptr;
  QToolButton* btnControlSearch = nullptr;
  QTableView* rzlistview1 = nullptr;
  QGroupBox* grpscreenpara = nullptr;
  QGroupBox* grpControlInfo = nullptr;
  QGroupBox* grpHardPara = nullptr;
  GradientLabel* idsres = nullptr;
  QLabel* addressCaption_ = nullptr;

  QLabel* IDSControlType = nullptr;
  QLabel* IDSControlVersion = nullptr;
  QLabel* IDSControlPNO = nullptr;
  QLabel* IDSControlBaud = nullptr;
  QLabel* IDSControlWidth = nullptr;
  QLabel* IDSControlHeight = nullptr;
  QLabel* IDSControlDBColor = nullptr;
  QLabel* IDSControlScanStyle = nullptr;
  QLabel* IDSControlLineOrder = nullptr;
  QLabel* IDSControlRGChange = nullptr;

  TIPEdit* ipdt_ip = nullptr;
  TIPEdit* ipdt_mask = nullptr;
  TIPEdit* ipdt_gateway = nullptr;
  QLineEdit* ControlMac = nullptr;
  TIPEdit* ip_remote = nullptr;
  QLineEdit* edtremoteport = nullptr;
  QLineEdit* edt_heart = nullptr;
  QPushButton* btnModify = nullptr;
};

}  // namespace kestrum
