#include "font_substitutes.h"

#include <QFont>

namespace kestrum {

QStringList WindowsFaces() {
  return {QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"), QStringLiteral("Arial")};
}

QStringList ArialMetricFaces() {
  return {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
          QStringLiteral("Nimbus Sans"), QStringLiteral("Arial")};
}

void InstallFontSubstitutes() {
  // Without an entry of its own, "Arial" would follow fontconfig's aliases,
  // which end in DejaVu Sans when no Arial-metric face is installed.
  for (const QString& face : WindowsFaces()) {
    QStringList substitutes = ArialMetricFaces();
    substitutes.removeAll(face);
    QFont::insertSubstitutions(face, substitutes);
  }
}

}  // namespace kestrum
