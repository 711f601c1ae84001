#include "app/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace sonavex {

void mapDesignFonts() {
  const QStringList bookAntiqua{QStringLiteral("P052"), QStringLiteral("TeX Gyre Pagella")};
  QFont::insertSubstitutions(QStringLiteral("Book Antiqua"), bookAntiqua);
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Lucida Sans"), QStringLiteral("DejaVu Sans"));
}

QFont designFont(const QString& family) {
  QFont font(family);
  // Qt lists a family that several foundries ship as "Family [Foundry]"; P052's OpenType faces
  // come without a foundry, its Type 1 ones as urw. Substitutions cannot name a foundry.
  static const QString openTypeP052 = QStringLiteral("P052 [UKWN]");
  static const bool hasOpenTypeP052 = QFontDatabase::families().contains(openTypeP052);
  if (hasOpenTypeP052 && family == QLatin1String("Book Antiqua")) font.setFamilies({openTypeP052, family});
  return font;
}

}  // namespace sonavex
