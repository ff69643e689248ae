#include "font_substitutes.h"

#include <QFont>
#include <QStringList>

namespace kestrum {

void InstallFontSubstitutes() {
  const QStringList narrowSans{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                               QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"), QStringLiteral("Arial")};
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), narrowSans);
  QFont::insertSubstitutions(QStringLiteral("Tahoma"), narrowSans);
}

}  // namespace kestrum
