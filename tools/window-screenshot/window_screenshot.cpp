// Shows the window, runs one search as soon as it is up, and saves a
// picture of the window to the given file.
//
//   window_screenshot PICTURE.png                  the real library: inside
//       the private network of scripts/private-lan.sh only (it broadcasts)
//   window_screenshot --scripted-cards PICTURE.png a dozen scripted cards,
//       no network at all
//   window_screenshot --change-warning PICTURE.png the question before a
//       change of one of three scripted cards that share the factory
//       address; the picture is of the question box, which is then answered
//       No (no network)
//   window_screenshot --batch-preview PICTURE.png the batch dialog's preview
//       over a dozen scripted cards, eight of them selected: a new subnet
//       counting up and a new server (no network)
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "TIPEdit.h"
#include "card_fields.h"
#include "card_search_window.h"
#include "demo_cards.h"
#include "private_network_guard.h"
#include "scripted_cards.h"
#include "window_language.h"

using namespace kestrum;
using namespace kestrum::testing;

namespace {

constexpr const char* kScriptedFlag = "--scripted-cards";
constexpr const char* kChangeWarningFlag = "--change-warning";
constexpr const char* kBatchPreviewFlag = "--batch-preview";
// Time for the window to be mapped and painted before and after the search.
constexpr int kSettleMilliseconds = 300;

int Usage() {
  std::fprintf(stderr, "usage: window_screenshot [%s | %s | %s] PICTURE.png\n", kScriptedFlag, kChangeWarningFlag,
               kBatchPreviewFlag);
  return 2;
}

bool Save(QWidget& widget, const QString& picture) {
  if (!widget.grab().save(picture)) {
    std::fprintf(stderr, "window_screenshot: cannot write %s\n", qPrintable(picture));
    return false;
  }
  std::printf("window_screenshot: %s\n", qPrintable(picture));
  return true;
}

// Three cards as they leave the factory: one address, three MACs.
std::vector<ControlRecord> FactoryCards() {
  std::vector<ControlRecord> cards;
  for (const int last : {1, 2, 3}) {
    CardFields fields;
    fields.ip = {192, 168, 1, 250};
    fields.mac = {0x00, 0x1A, 0x4B, 0x00, 0x00, static_cast<std::uint8_t>(last)};
    cards.push_back(MakeCard(fields));
  }
  return cards;
}

// Grabs the question box once it is up (it is modal, so this runs inside
// it), then answers No.
void GrabQuestion(const QString& picture, int* status) {
  QTimer::singleShot(50, [picture, status] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return GrabQuestion(picture, status);
    *status = Save(*box, picture) ? 0 : 1;
    box->button(QMessageBox::No)->click();
  });
}

int ShowChangeWarning(const QString& picture) {
  ScriptedCards::Set(FactoryCards());
  TFrm_CardSearch window(ScriptedCards::Protocol());
  window.show();
  int status = 1;
  QTimer::singleShot(kSettleMilliseconds, &window, [&] {
    window.btnControlSearchClick();
    window.findChild<TIPEdit*>(QStringLiteral("ipdt_ip"))->SetIPString(QStringLiteral("192.168.1.201"));
    GrabQuestion(picture, &status);
    window.btnModifyClick();
    QApplication::exit(status);
  });
  return QApplication::exec();
}

// Fills the batch dialog once it is up (it is modal, so this runs inside
// it), previews, grabs it and closes it without sending.
void GrabBatchPreview(const QString& picture, int* status) {
  QTimer::singleShot(50, [picture, status] {
    auto* dialog = qobject_cast<BatchChangeDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return GrabBatchPreview(picture, status);
    const auto give = [dialog](const char* field, const char* value) {
      dialog->findChild<QCheckBox*>(QStringLiteral("change_") + QLatin1String(field))->setChecked(true);
      dialog->findChild<QLineEdit*>(QStringLiteral("value_") + QLatin1String(field))->setText(QLatin1String(value));
    };
    give("ip", "10.20.0.11");
    give("mask", "255.255.0.0");
    give("gateway", "10.20.0.1");
    give("serverIp", "10.20.0.5");
    give("serverPort", "9100");
    dialog->Preview();
    QTimer::singleShot(kSettleMilliseconds, dialog, [dialog, picture, status] {
      *status = Save(*dialog, picture) ? 0 : 1;
      dialog->reject();
    });
  });
}

int ShowBatchPreview(const QString& picture) {
  ScriptedCards::Set(DemoCards());
  TFrm_CardSearch window(ScriptedCards::Protocol());
  window.show();
  int status = 1;
  QTimer::singleShot(kSettleMilliseconds, &window, [&] {
    window.btnControlSearchClick();
    auto* list = window.findChild<QTableView*>(QStringLiteral("rzlistview1"));
    for (int row = 1; row < 9; ++row)
      list->selectionModel()->select(list->model()->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    GrabBatchPreview(picture, &status);
    window.ChangeSelectedCards();
    QApplication::exit(status);
  });
  return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool scripted = argc == 3 && std::strcmp(argv[1], kScriptedFlag) == 0;
  const bool changeWarning = argc == 3 && std::strcmp(argv[1], kChangeWarningFlag) == 0;
  const bool batchPreview = argc == 3 && std::strcmp(argv[1], kBatchPreviewFlag) == 0;
  if (argc != 2 && !scripted && !changeWarning && !batchPreview) return Usage();
  if (argc == 2) RequirePrivateNetwork(argv[0]);
  const QString picture = QString::fromLocal8Bit(argv[argc - 1]);

  QApplication application(argc, argv);
  // KESTRUM_LANG=en pictures the English window; Chinese otherwise, as a first start shows it.
  if (qEnvironmentVariable("KESTRUM_LANG") == QLatin1String("en")) UseLanguage(Language::kEnglish);
  if (changeWarning) return ShowChangeWarning(picture);
  if (batchPreview) return ShowBatchPreview(picture);
  ScriptedCards::Set(DemoCards());
  const CardProtocol protocol =
      scripted ? ScriptedCards::Protocol() : CardProtocol{&::GetControlList, &::ConfigControlPara};
  TFrm_CardSearch window(protocol);
  window.show();
  QTimer::singleShot(kSettleMilliseconds, &window, [&] {
    window.btnControlSearchClick();
    QTimer::singleShot(kSettleMilliseconds, &window, [&] { QApplication::exit(Save(window, picture) ? 0 : 1); });
  });
  return QApplication::exec();
}
