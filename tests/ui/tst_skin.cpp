// The skin: every asset renders at the usual pixel ratios and is kept once made, a missing one is
// harmless, the About sheet animates, and the skinned controls act and report as their kinds.
#include <QAccessible>
#include <QFontInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "ui/Fonts.h"
#include "ui/Skin.h"
#include "ui/SkinButton.h"
#include "ui/SkinImage.h"

using namespace sonavex;

namespace {
int mostOpaque(const QImage& image) {
  int alpha = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) alpha = qMax(alpha, qAlpha(image.pixel(x, y)));
  return alpha;
}
QAccessible::Role roleOf(QWidget& widget) {
  return QAccessible::queryAccessibleInterface(&widget)->role();
}
}  // namespace

class tst_skin : public QObject {
  Q_OBJECT

 private slots:
  // A warning (an SVG feature the renderer skips, say) is a fault here.
  void init() { QTest::failOnWarning(QRegularExpression(".*")); }

  // Each asset the windows name draws something, at any size and ratio; the About sheet's frames.
  void everyAssetRendersAtEveryRatio() {
    for (const char* name : {"player-body", "player-decoration", "close-normal", "close-hover", "minimise-normal",
                             "minimise-hover", "seekbar", "seekbar-fill", "playlist-background", "playlist-side",
                             "hide-normal", "hide-hover", "about-icon", "toggle-normal", "toggle-hover", "volume-arc",
                             "volume-fill", "check-off", "check-on", "about-animation"}) {
      for (qreal ratio : {1.0, 1.5, 2.0}) {
        const QPixmap pixmap = skinPixmap(name, {40, 30}, ratio);
        QCOMPARE(std::pair(pixmap.size(), pixmap.devicePixelRatio()), std::pair(QSize(40, 30) * ratio, ratio));
        QVERIFY2(mostOpaque(pixmap.toImage()) == 255, name);
      }
    }
    QList<QImage> frames;  // the About sheet's fourteen, each its own
    for (int i = 0; i < 14; ++i) {
      const QImage frame = skinFrame("about-animation", {70, 103}, i, 14, 2).toImage();
      QVERIFY2(frame.size() == QSize(140, 206) && !frames.contains(frame), qPrintable(QString::number(i)));
      frames.append(frame);
    }
  }

  void theLastTwoRenderingsAreKeptAndAMissingAssetIsBlank() {
    const QSize size(21, 23);
    const qint64 first = skinPixmap("close-normal", size, 1).cacheKey();
    QCOMPARE(skinPixmap("close-normal", size, 1).cacheKey(), first);
    const qint64 sharper = skinPixmap("close-normal", size, 2).cacheKey();
    QVERIFY(sharper != first);
    QCOMPARE(skinPixmap("close-normal", size, 1).cacheKey(), first);
    // A window resized through many sizes keeps only the newest two.
    for (int width = 22; width < 40; ++width) skinPixmap("close-normal", {width, 23}, 1);
    QVERIFY(skinPixmap("close-normal", size, 1).cacheKey() != first);
    QVERIFY(skinPixmap("close-normal", size, 2).cacheKey() != sharper);
    const QImage missing = skinPixmap("no-such-asset", {30, 20}, 1.5).toImage();
    QCOMPARE(std::pair(missing.size(), mostOpaque(missing)), std::pair(QSize(45, 30), 0));
  }

  void theButtonHoversShrinksLongCaptionsAndIsAPushButton() {
    mapDesignFonts();
    const struct { const char* caption; bool shrinks; } cases[] = {
        {"&file", false}, {"a caption far too long", true}, {"", false}};
    for (const auto& c : cases) {
      SkinButton button(c.caption);
      button.resize(60, 20);
      QFont font = button.font();
      font.setPointSizeF(button.captionPointSize());
      const qreal width = QFontMetricsF(font).size(Qt::TextShowMnemonic, c.caption).width();
      QCOMPARE(button.captionPointSize() < SkinButton::kCaptionPointSize, c.shrinks);
      QVERIFY2(width <= 58 || button.captionPointSize() == SkinButton::kSmallestPointSize, c.caption);
    }
    SkinButton button("&file");
    QSignalSpy hovered(&button, &SkinButton::hovered);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(&button, &enter);
    QCOMPARE(std::pair(hovered.count(), roleOf(button)), std::pair(qsizetype{1}, QAccessible::Button));
    QCOMPARE(QAccessible::queryAccessibleInterface(&button)->text(QAccessible::Name), "file");
  }

  void theImageReportsClicksReleasesAndItsRole() {
    QWidget window;
    SkinImage image("about-icon", &window);
    image.setGeometry(0, 0, 25, 25);
    QCOMPARE(roleOf(image), QAccessible::Graphic);
    image.setAccessibleRole(QAccessible::Button);
    QCOMPARE(roleOf(image), QAccessible::Button);
    QSignalSpy clicked(&image, &SkinImage::clicked);
    QSignalSpy released(&image, &SkinImage::released);
    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(5, 6));
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(40, 6));
    QCOMPARE(std::pair(clicked.count(), released.count()), std::pair(qsizetype{1}, qsizetype{3}));
    QCOMPARE(std::pair(released.at(0).at(0).value<Qt::MouseButton>(), released.at(0).at(1).toPoint()),
             std::pair(Qt::LeftButton, QPoint(5, 6)));
  }

  // Each designed family resolves to one of its free stand-ins, so the packages are installed.
  void designedFontsMapToInstalledFamilies() {
    mapDesignFonts();
    const std::pair<const char*, QStringList> families[] = {{"Book Antiqua", {"P052", "TeX Gyre Pagella"}},
        {"MS Sans Serif", {"Liberation Sans"}}, {"Arial", {"Liberation Sans"}}, {"Lucida Sans", {"DejaVu Sans"}}};
    for (const auto& [designed, free] : families) {
      // A family installed by more than one foundry is reported as "Family [Foundry]".
      const QString family = QFontInfo(designFont(designed)).family().section(QStringLiteral(" ["), 0, 0);
      QVERIFY2(free.contains(family), qPrintable(family));
    }
  }
};

QTEST_MAIN(tst_skin)
#include "tst_skin.moc"
