#include "app/Fonts.h"

#include <QFont>
#include <QStringList>

namespace sonavex {

void mapDesignFonts() {
  const QStringList bookAntiqua{QStringLiteral("P052"), QStringLiteral("TeX Gyre Pagella")};
  QFont::insertSubstitutions(QStringLiteral("Book Antiqua"), bookAntiqua);
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Lucida Sans"), QStringLiteral("DejaVu Sans"));
}

}  // namespace sonavex
