#include "output_language.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace kestrum::cli {
namespace {

Language chosen = Language::kEnglish;

std::optional<Language> Named(const std::string& code) {
  if (code == "en") return Language::kEnglish;
  if (code == "zh") return Language::kChinese;
  return std::nullopt;
}

}  // namespace

Language SystemLanguage() {
#if defined(_WIN32)
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? Language::kChinese : Language::kEnglish;
#else
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    return std::string(value).rfind("zh", 0) == 0 ? Language::kChinese : Language::kEnglish;
  }
  return Language::kEnglish;
#endif
}

std::optional<Language> TakeLanguageOption(std::vector<std::string>& arguments, std::string& error) {
  std::optional<Language> language;
  for (std::size_t i = 0; i < arguments.size();) {
    std::string code;
    std::size_t taken = 0;
    if (arguments[i].rfind("--lang=", 0) == 0) {
      code = arguments[i].substr(7);
      taken = 1;
    } else if (arguments[i] == "--lang") {
      if (i + 1 < arguments.size()) code = arguments[i + 1];
      taken = i + 1 < arguments.size() ? 2 : 1;
    }
    if (taken == 0) {
      ++i;
      continue;
    }
    language = Named(code);
    if (!language) {
      error = "--lang takes en or zh, not \"" + code + "\"";
      return std::nullopt;
    }
    arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                    arguments.begin() + static_cast<std::ptrdiff_t>(i + taken));
  }
  return language;
}

void SetOutputLanguage(Language language) { chosen = language; }

Language OutputLanguage() { return chosen; }

}  // namespace kestrum::cli
