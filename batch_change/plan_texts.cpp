#include "plan_texts.h"

#include <array>
#include <cstddef>

namespace kestrum::batch {
namespace {

struct TextRow {
  PlanText text;
  const char* chinese;
};

constexpr std::array<TextRow, static_cast<std::size_t>(PlanText::kTextCount)> kTexts = {{
    {PlanText::kCardNotListed, "MAC 为 %1 的卡不在上次搜索的列表中"},
    {PlanText::kCardListedTwice, "有多张卡使用 MAC %1，无法区分"},
    {PlanText::kCardPlannedTwice, "MAC %1 在计划中出现了两次"},
    {PlanText::kValueRefused, "卡 %1：%2"},
    {PlanText::kSameNewIp, "多张卡将使用同一个 IP 地址 %1（MAC %2）"},
    {PlanText::kIpHeldOutsidePlan, "卡 %1 的新 IP 地址 %2 已被计划外的卡 %3 使用"},
    {PlanText::kSharedAddress, "多张卡使用同一当前地址 %1（MAC %2），一个请求会同时修改它们，只能一起修改服务器地址、端口和心跳"},
    {PlanText::kSharedWithOutside, "卡 %2 与计划外的卡 %3 使用同一当前地址 %1，修改请求也会改变计划外的卡"},
    {PlanText::kCycle, "这些卡互相交换地址，无法依次修改：%1"},
    {PlanText::kTooManyCards, "计划最多包含 %1 张卡"},
    {PlanText::kNoChangeToUndo, "历史中没有 %1 已确认的修改"},
    {PlanText::kChangedSince, "卡 %1 上次修改后的值是 %2，现在却是 %3：它已被另行修改，不恢复"},
    {PlanText::kOneRequestServes, "一个请求同时修改使用地址 %2 的 %1 张卡（MAC %3）"},
    {PlanText::kCardWarning, "卡 %1：%2"},
    {PlanText::kOutcomeConfirmed, "已确认"},
    {PlanText::kOutcomeAlreadyAtValues, "已是这些值"},
    {PlanText::kOutcomeNotChanged, "未修改"},
    {PlanText::kOutcomeOtherValues, "其他值"},
    {PlanText::kOutcomeNotFound, "未找到"},
}};

constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < kTexts.size(); ++i)
    if (static_cast<std::size_t>(kTexts[i].text) != i) return false;
  return true;
}
static_assert(RowsInOrder(), "one row per text, in the enum's order");

}  // namespace

std::string Text(PlanText text, std::initializer_list<std::string> arguments) {
  const std::string pattern = kTexts[static_cast<std::size_t>(text)].chinese;
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

}  // namespace kestrum::batch
