#include "ui/Fonts.h"

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
  // come without a foundry, its Type 1 ones as urw. Substitutions cannot name a foundry, so the
  // font names it first; where it is not installed, the designed family and its stand-ins follow.
  if (family == QLatin1String("Book Antiqua")) {
    font.setFamilies({QStringLiteral("P052 [UKWN]"), family});
  }
  return font;
}

}  // namespace sonavex
