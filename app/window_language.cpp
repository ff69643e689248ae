#include "window_language.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

// The catalogues live in this static library: a program takes their
// resource only when something names it.
static void InitCatalogues() { Q_INIT_RESOURCE(kestrum_catalogues); }

namespace kestrum {
namespace {

constexpr char kSettingsKey[] = "language";

Language current = Language::kChinese;

QTranslator& EnglishCatalogue() {
  static QTranslator catalogue;
  return catalogue;
}

std::optional<Language> Named(const QString& code) {
  if (code == u"en") return Language::kEnglish;
  if (code == u"zh") return Language::kChinese;
  return std::nullopt;
}

QString Code(Language language) { return language == Language::kEnglish ? QStringLiteral("en") : QStringLiteral("zh"); }

QSettings UserSettings() { return QSettings(QStringLiteral("Kestrum"), QStringLiteral("Kestrum")); }

}  // namespace

std::optional<Language> LanguageFromArguments(const QStringList& arguments) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    if (arguments.at(i).startsWith(u"--lang=")) return Named(arguments.at(i).mid(7));
    if (arguments.at(i) == u"--lang" && i + 1 < arguments.size()) return Named(arguments.at(i + 1));
  }
  return std::nullopt;
}

Language RememberedLanguage() {
  return Named(UserSettings().value(QLatin1String(kSettingsKey)).toString()).value_or(Language::kChinese);
}

void RememberLanguage(Language language) { UserSettings().setValue(QLatin1String(kSettingsKey), Code(language)); }

void UseLanguage(Language language) {
  current = language;
  QTranslator& english = EnglishCatalogue();
  QCoreApplication::removeTranslator(&english);
  if (language == Language::kEnglish && english.isEmpty()) {
    InitCatalogues();
    if (!english.load(QStringLiteral(":/i18n/kestrum_en.qm"))) qWarning("Kestrum: the English catalogue is missing");
  }
  // Installing or removing a translator sends every widget LanguageChange.
  if (language == Language::kEnglish) QCoreApplication::installTranslator(&english);
}

Language CurrentLanguage() { return current; }

}  // namespace kestrum
