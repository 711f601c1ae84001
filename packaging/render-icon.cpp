// A build-time tool: renders the application icon's SVG into the PNG sizes of the hicolor icon
// theme, with QtSvg (the renderer the skin uses), so the PNGs are never committed and always match
// the SVG.
//
// Usage: sonavex_render_icon ICON.svg OUTPUT_DIR NAME SIZE...
// writes OUTPUT_DIR/SIZExSIZE/apps/NAME.png for each SIZE.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s ICON.svg OUTPUT_DIR NAME SIZE...\n", argv[0]);
    return 2;
  }
  // Drawing shapes into an image needs no QGuiApplication (and so no display, platform plugin or
  // runtime folder): the icon holds no text, the one thing that would want fonts.
  const QString svg = QString::fromLocal8Bit(argv[1]);
  const QString outputDir = QString::fromLocal8Bit(argv[2]);
  const QString name = QString::fromLocal8Bit(argv[3]);
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "cannot read the icon %s\n", argv[1]);
    return 1;
  }
  for (int i = 4; i < argc; ++i) {
    char* end = nullptr;
    const long size = std::strtol(argv[i], &end, 10);
    if (end == argv[i] || *end != '\0' || size < 1 || size > 1024) {
      std::fprintf(stderr, "not an icon size: %s\n", argv[i]);
      return 2;
    }
    const int px = static_cast<int>(size);
    QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // 96 dpi, whatever the machine: the same SVG gives the same bytes on every build.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setRenderHint(QPainter::SmoothPixmapTransform);
      renderer.render(&painter, QRectF(0, 0, px, px));
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outputDir).arg(px);
    const QString file = QStringLiteral("%1/%2.png").arg(folder, name);
    if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
      std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
