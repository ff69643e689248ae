// The window's language: Chinese, the source language of every text, until
// the operator chooses English from the list's menu. The choice is kept per
// user (QSettings: the registry on Windows, ~/.config on Linux); "--lang en"
// or "--lang zh" on the command line overrides it for one run.
#pragma once

#include <QStringList>
#include <optional>

#include "text_language.h"

namespace kestrum {

// The language "--lang" names in `arguments` (the program's name first), if
// it names one.
std::optional<Language> LanguageFromArguments(const QStringList& arguments);
// The operator's last choice; Chinese before any.
Language RememberedLanguage();
void RememberLanguage(Language language);

// Makes `language` the program's: its catalogue (embedded in the program) is
// installed, and every widget hears QEvent::LanguageChange.
void UseLanguage(Language language);
Language CurrentLanguage();

}  // namespace kestrum
