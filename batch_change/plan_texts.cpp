#include "plan_texts.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace kestrum::batch {
namespace {

struct TextRow {
  PlanText text;
  const char* code;
  BilingualText words;
};

constexpr std::array<TextRow, static_cast<std::size_t>(PlanText::kTextCount)> kTexts = {{
    {PlanText::kCardNotListed, "card-not-listed",
     {"MAC 为 %1 的卡不在上次搜索的列表中", "Card %1 is not in the list of the last search"}},
    {PlanText::kCardListedTwice, "card-listed-twice",
     {"有多张卡使用 MAC %1，无法区分", "More than one card has MAC %1; they cannot be told apart"}},
    {PlanText::kCardPlannedTwice, "card-planned-twice",
     {"MAC %1 在计划中出现了两次", "MAC %1 is in the plan twice"}},
    {PlanText::kValueRefused, "value-refused", {"卡 %1：%2", "Card %1: %2"}},
    {PlanText::kSameNewIp, "same-new-ip",
     {"多张卡将使用同一个 IP 地址 %1（MAC %2）", "More than one card would get IP address %1 (MAC %2)"}},
    {PlanText::kIpHeldOutsidePlan, "ip-held-outside-plan",
     {"卡 %1 的新 IP 地址 %2 已被计划外的卡 %3 使用",
      "The new IP address %2 of card %1 is held by card %3, which is not in the plan"}},
    {PlanText::kSharedAddress, "shared-address",
     {"多张卡使用同一当前地址 %1（MAC %2），一个请求会同时修改它们，只能一起修改服务器地址、端口和心跳",
      "More than one card is at address %1 (MAC %2): one request changes them all, so only their server address, "
      "port and heartbeat can be changed, and only to the same values"}},
    {PlanText::kSharedWithOutside, "shared-with-outside-plan",
     {"卡 %2 与计划外的卡 %3 使用同一当前地址 %1，修改请求也会改变计划外的卡",
      "The current address %1 of %2 is also that of %3, outside the plan: the request would change %3 too"}},
    {PlanText::kCycle, "address-cycle",
     {"这些卡互相交换地址，无法依次修改：%1",
      "These cards swap addresses with one another and cannot be changed one after another: %1"}},
    {PlanText::kTooManyCards, "too-many-cards", {"计划最多包含 %1 张卡", "A plan holds at most %1 cards"}},
    {PlanText::kNoChangeToUndo, "no-change-to-undo",
     {"历史中没有 %1 已确认的修改", "The history holds no confirmed change of %1"}},
    {PlanText::kChangedSince, "changed-since",
     {"卡 %1 上次修改后的值是 %2，现在却是 %3：它已被另行修改，不恢复",
      "Card %1 was given %2 by its last change but now has %3: it was changed since, and is not restored"}},
    {PlanText::kOneRequestServes, "one-request-serves",
     {"一个请求同时修改使用地址 %2 的 %1 张卡（MAC %3）", "One request changes the %1 cards at address %2 (MAC %3)"}},
    {PlanText::kCardWarning, "card-warning", {"卡 %1：%2", "Card %1: %2"}},
    {PlanText::kOutcomeConfirmed, "confirmed", {"已确认", "Confirmed"}},
    {PlanText::kOutcomeAlreadyAtValues, "already-at-values", {"已是这些值", "Already at these values"}},
    {PlanText::kOutcomeNotChanged, "not-changed", {"未修改", "Not changed"}},
    {PlanText::kOutcomeOtherValues, "other-values", {"其他值", "Other values"}},
    {PlanText::kOutcomeNotFound, "not-found", {"未找到", "Not found"}},
}};

// The placeholders %1..%9 a text holds, one bit each.
constexpr unsigned Placeholders(std::string_view text) {
  unsigned found = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found |= 1u << (text[i + 1] - '1');
  return found;
}

constexpr bool IsCode(std::string_view code) {
  if (code.empty()) return false;
  for (const char c : code)
    if (!((c >= 'a' && c <= 'z') || c == '-')) return false;
  return true;
}

constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < kTexts.size(); ++i)
    if (static_cast<std::size_t>(kTexts[i].text) != i) return false;
  return true;
}

// Both languages say it, with the same values, under a code of its own.
constexpr bool RowsComplete() {
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    const std::string_view chinese = kTexts[i].words.chinese, english = kTexts[i].words.english;
    if (chinese.empty() || english.empty() || Placeholders(chinese) != Placeholders(english)) return false;
    if (!IsCode(kTexts[i].code)) return false;
    for (std::size_t j = 0; j < i; ++j)
      if (std::string_view(kTexts[j].code) == kTexts[i].code) return false;
  }
  return true;
}

static_assert(RowsInOrder(), "one row per text, in the enum's order");
static_assert(RowsComplete(), "every row in both languages with the same placeholders, and a unique code");

}  // namespace

std::string Text(PlanText text, Language language, std::initializer_list<std::string> arguments) {
  const std::string_view pattern = kTexts[static_cast<std::size_t>(text)].words.In(language);
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (pattern[i] == '%' && next >= '1' && next <= '9') {
      const auto index = static_cast<std::size_t>(next - '1');
      if (index < arguments.size()) out += *(arguments.begin() + index);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

const char* Code(PlanText text) { return kTexts[static_cast<std::size_t>(text)].code; }

const char* ListSeparator(Language language) { return BilingualText{"、", ", "}.In(language); }

}  // namespace kestrum::batch
