// The language of kestrum-cli's values and messages (colours, scan modes,
// refusals, warnings): the system's, unless "--lang en|zh" names one. Column
// names, JSON keys and codes are the same in every language.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text_language.h"

namespace kestrum::cli {

// On Linux the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty: a "zh" language gives Chinese, anything else (C included) English.
// On Windows the user's UI language.
Language SystemLanguage();

// Takes "--lang en|zh" (or "--lang=...") out of `arguments`; an unknown
// language is an error, told in `error`.
std::optional<Language> TakeLanguageOption(std::vector<std::string>& arguments, std::string& error);

void SetOutputLanguage(Language language);
Language OutputLanguage();

}  // namespace kestrum::cli
