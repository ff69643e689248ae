// The window over the real Orvell and pindle, searching and changing cards
// that cardsim emulates on the harness's private network (run only through
// scripts/private-lan.sh; main() refuses anywhere else).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <array>
#include <fstream>
#include <memory>
#include <set>

#include "card_fields.h"
#include "card_field_texts.h"
#include "generated_cards.h"
#include "lan.h"
#include "window_driver.h"

namespace {

using kestrum::lan::CardSim;
using kestrum::testing::WindowDriver;
namespace rec = orvell::record;

// The application object lives from before the first test to after the
// last, and is gone before the program's static objects are.
class QtApplicationEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc_, argv_.data());
  }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[20] = "window_network_test";
  std::array<char*, 2> argv_{name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const ::testing::Environment* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

kestrum::CardProtocol RealLibrary() { return {&::GetControlList, &::ConfigControlPara}; }

std::string Lan1() { return kestrum::lan::Lans().at(0).ns; }

std::set<QString> Texts(const QStringList& list) { return {list.begin(), list.end()}; }

// The row that lists the card at this IP address (rows follow answer order).
int RowOf(const WindowDriver& driver, const QString& ip) {
  return static_cast<int>(driver.ColumnTexts(kestrum::kColumnIp).indexOf(ip));
}

TEST(WindowOnPrivateLan, ListsEveryCardAndShowsTheFirst) {
  const auto expected = cardsim::GenerateCards(3, orvell::AddressFromOctets(192, 168, 1, 100));
  CardSim cards(Lan1(), {"--count", "3", "--base-ip", "192.168.1.100"});
  WindowDriver driver(RealLibrary());
  driver.ClickSearch();

  ASSERT_EQ(driver.List()->model()->rowCount(), 3);
  EXPECT_EQ(driver.Status(), QStringLiteral("屏幕总数3"));
  EXPECT_EQ(driver.ColumnTexts(0), (QStringList{"1", "2", "3"}));
  std::set<QString> ips;
  std::set<QString> macs;
  for (const ControlRecord& card : expected) {
    ips.insert(kestrum::AddressText(rec::Ip(card)));
    macs.insert(kestrum::MacText(rec::MacAddress(card)));
  }
  EXPECT_EQ(Texts(driver.ColumnTexts(2)), ips);
  EXPECT_EQ(Texts(driver.ColumnTexts(5)), macs);
  EXPECT_EQ(driver.SelectedRows(), QList<int>{0});
  const QString firstIp = driver.ColumnTexts(2).at(0);
  EXPECT_EQ(driver.AddressText("ipdt_ip"), firstIp);
  EXPECT_EQ(kestrum::AddressText(driver.State().SelectedIp), firstIp);
  EXPECT_TRUE(driver.Find<QPushButton>("btnModify")->isEnabled());
}

TEST(WindowOnPrivateLan, FullTableOfCards) {
  CardSim cards(Lan1(), {"--count", "255", "--base-ip", "192.168.1.1"});
  WindowDriver driver(RealLibrary());
  driver.ClickSearch();
  EXPECT_EQ(driver.List()->model()->rowCount(), 255);
  EXPECT_EQ(driver.Status(), QStringLiteral("屏幕总数255"));
}

TEST(WindowOnPrivateLan, NoCardAnswers) {
  WindowDriver driver(RealLibrary());
  driver.ClickSearch();
  EXPECT_EQ(driver.List()->model()->rowCount(), 0);
  EXPECT_EQ(driver.Status(), QStringLiteral("屏幕总数0"));
  EXPECT_FALSE(driver.Find<QPushButton>("btnModify")->isEnabled());
}

TEST(WindowOnPrivateLan, ChangedCardIsFoundAtItsNewAddress) {
  CardSim cards(Lan1(), {"--count", "3", "--base-ip", "192.168.1.100"});
  WindowDriver driver(RealLibrary());
  driver.ClickSearch();
  const int row = RowOf(driver, QStringLiteral("192.168.1.101"));
  ASSERT_GE(row, 0);
  driver.ClickRow(row);
  driver.TypeAddress("ipdt_ip", QStringLiteral("192.168.1.201"));
  driver.TypeAddress("ip_remote", QStringLiteral("192.168.1.9"));
  driver.TypeText("edtremoteport", QStringLiteral("9000"));
  driver.TypeText("edt_heart", QStringLiteral("30"));
  driver.ClickModify();
  EXPECT_EQ(driver.Status(), QStringLiteral("修改成功"));
  EXPECT_EQ(driver.ColumnTexts(kestrum::kColumnIp).at(row), QStringLiteral("192.168.1.201"));

  driver.ClickSearch();
  EXPECT_EQ(Texts(driver.ColumnTexts(kestrum::kColumnIp)),
            (std::set<QString>{"192.168.1.100", "192.168.1.201", "192.168.1.102"}));
  const int changedRow = RowOf(driver, QStringLiteral("192.168.1.201"));
  ASSERT_GE(changedRow, 0);
  driver.ClickRow(changedRow);
  EXPECT_EQ(driver.AddressText("ip_remote"), QStringLiteral("192.168.1.9"));
  EXPECT_EQ(driver.EditText("edtremoteport"), QStringLiteral("9000"));
  EXPECT_EQ(driver.EditText("edt_heart"), QStringLiteral("30"));

  // The window now names the card by its new address: a second change
  // reaches it without a new selection.
  driver.TypeAddress("ipdt_ip", QStringLiteral("192.168.1.202"));
  driver.ClickModify();
  EXPECT_EQ(driver.Status(), QStringLiteral("修改成功"));
}

// Another window moves the card first; this window's change names the card
// by addresses it no longer has, so no card takes it.
TEST(WindowOnPrivateLan, CardAtAnotherAddressStaysUnchanged) {
  CardSim cards(Lan1(), {"--count", "2", "--base-ip", "192.168.1.100"});
  WindowDriver stale(RealLibrary());
  stale.ClickSearch();
  const int staleRow = RowOf(stale, QStringLiteral("192.168.1.100"));
  ASSERT_GE(staleRow, 0);
  stale.ClickRow(staleRow);
  {
    WindowDriver other(RealLibrary());
    other.ClickSearch();
    other.ClickRow(RowOf(other, QStringLiteral("192.168.1.100")));
    other.TypeAddress("ipdt_ip", QStringLiteral("192.168.1.150"));
    other.ClickModify();
    ASSERT_EQ(other.Status(), QStringLiteral("修改成功"));
  }

  stale.TypeAddress("ipdt_ip", QStringLiteral("192.168.1.160"));
  stale.ClickModify();
  EXPECT_EQ(stale.Status(), QStringLiteral("修改失败"));
  EXPECT_EQ(stale.ColumnTexts(kestrum::kColumnIp).at(staleRow), QStringLiteral("192.168.1.100"));
  EXPECT_EQ(kestrum::AddressText(stale.State().SelectedIp), QStringLiteral("192.168.1.100"));

  stale.ClickSearch();
  EXPECT_EQ(Texts(stale.ColumnTexts(kestrum::kColumnIp)), (std::set<QString>{"192.168.1.150", "192.168.1.101"}));
}

// Three cards fresh from the factory share one address. The request names
// the card only by that address, so all three take the change: the question
// said so, and the next search finds all three at the new address.
TEST(WindowOnPrivateLan, CardsSharingTheFactoryAddressAllTakeTheChangeTheWarningNamed) {
  std::string json = "[";
  for (const char* mac : {"00:1A:4B:00:00:01", "00:1A:4B:00:00:02", "00:1A:4B:00:00:03"})
    json += std::string(json.size() > 1 ? "," : "") + R"({"ip": "192.168.1.250", "mask": "255.255.255.0",)" +
            R"("gateway": "192.168.1.1", "mac": ")" + mac + R"("})";
  json += "]";
  const std::string path = kestrum::lan::TemporaryPath("factory.json");
  std::ofstream(path) << json;
  CardSim cards(Lan1(), {"--cards", path});
  WindowDriver driver(RealLibrary());
  driver.ClickSearch();
  ASSERT_EQ(driver.List()->model()->rowCount(), 3);
  driver.TypeAddress("ipdt_ip", QStringLiteral("192.168.1.201"));
  driver.ClickModify();
  ASSERT_EQ(driver.Confirmations(), 1);
  const QString warnings = driver.ConfirmationWarnings().join(QLatin1Char('\n'));
  EXPECT_TRUE(warnings.contains(QStringLiteral("3 张卡"))) << warnings.toStdString();
  EXPECT_TRUE(warnings.contains(QStringLiteral("00:1A:4B:00:00:03"))) << warnings.toStdString();
  EXPECT_EQ(driver.Status(), QStringLiteral("修改成功"));

  driver.ClickSearch();
  EXPECT_EQ(driver.ColumnTexts(kestrum::kColumnIp), (QStringList{"192.168.1.201", "192.168.1.201", "192.168.1.201"}));
}

}  // namespace
