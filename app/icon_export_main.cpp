// Writes the window's icon as files of an icon theme, for the build to install:
//   quobrel-icons THEME_FOLDER NAME SIZE...
// gives THEME_FOLDER/SIZExSIZE/apps/NAME.png for each SIZE and
// THEME_FOLDER/scalable/apps/NAME.svg.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <iostream>

#include "app/artwork.h"

namespace {

// The folder PATH of the theme, made if missing; or an empty string when it cannot be.
QString MadeFolder(const QDir& theme, const QString& path) {
  return theme.mkpath(path) ? theme.filePath(path) : QString();
}

bool WritePng(const QDir& theme, const QString& name, int size) {
  const QString folder = MadeFolder(theme, QString("%1x%1/apps").arg(size));
  if (folder.isEmpty()) return false;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  quobrel::PaintWindowIcon(painter, size);
  painter.end();
  return image.save(folder + "/" + name + ".png", "PNG");
}

bool WriteSvg(const QDir& theme, const QString& name) {
  const QString folder = MadeFolder(theme, "scalable/apps");
  if (folder.isEmpty()) return false;
  // The drawing's own grid, which any size scales.
  constexpr int kGrid = 32;
  QSvgGenerator svg;
  svg.setFileName(folder + "/" + name + ".svg");
  svg.setSize(QSize(kGrid, kGrid));
  svg.setViewBox(QRect(0, 0, kGrid, kGrid));
  svg.setTitle("Quobrel");
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  quobrel::PaintWindowIcon(painter, kGrid);
  return painter.end();
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() < 4) {
    std::cerr << "Usage: quobrel-icons THEME_FOLDER NAME SIZE...\n";
    return 2;
  }
  const QDir theme(arguments[1]);
  const QString& name = arguments[2];
  for (const QString& sizeText : arguments.mid(3)) {
    bool isNumber = false;
    const int size = sizeText.toInt(&isNumber);
    if (!isNumber || size <= 0) {
      std::cerr << "quobrel-icons: not a size: " << sizeText.toStdString() << '\n';
      return 2;
    }
    if (!WritePng(theme, name, size)) {
      std::cerr << "quobrel-icons: cannot write the " << size << " px icon in "
                << theme.path().toStdString() << '\n';
      return 1;
    }
  }
  if (!WriteSvg(theme, name)) {
    std::cerr << "quobrel-icons: cannot write the scalable icon in " << theme.path().toStdString()
              << '\n';
    return 1;
  }
  return 0;
}
