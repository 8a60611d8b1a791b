#include "app/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quobrel {
namespace {

const QColor kIndigo(0x2B, 0x3A, 0x67);
const QColor kMist(0xE8, 0xEE, 0xF4);
const QColor kVermilion(0xD9, 0x4F, 0x2B);

}  // namespace

QPixmap BackgroundImage() {
  QPixmap pixmap(579, 531);
  QPainter painter(&pixmap);
  QLinearGradient sky(0, 0, 0, pixmap.height());
  sky.setColorAt(0, kMist);
  sky.setColorAt(1, QColor(0xC9, 0xD6, 0xE3));
  painter.fillRect(pixmap.rect(), sky);
  // Faint waves, a seigaiha pattern, in the lower right.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(255, 255, 255, 90), 1.2));
  for (int row = 0; row < 9; ++row) {
    for (int column = 0; column < 10; ++column) {
      const QPointF centre(300 + column * 32 + (row % 2) * 16, 300 + row * 28);
      for (int ring = 1; ring <= 3; ++ring) {
        painter.drawArc(QRectF(centre.x() - ring * 6, centre.y() - ring * 6, ring * 12, ring * 12),
                        0, 180 * 16);
      }
    }
  }
  return pixmap;
}

QPixmap BannerImage(const QString& name, int height) {
  QPixmap pixmap(331, height);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient band(0, 0, pixmap.width(), 0);
  band.setColorAt(0, kIndigo);
  band.setColorAt(0.7, QColor(0x46, 0x5C, 0x93));
  band.setColorAt(1, QColor(0x46, 0x5C, 0x93, 0));
  QPainterPath shape;
  shape.addRoundedRect(QRectF(4, 8, pixmap.width() - 8, height - 16), 10, 10);
  painter.fillPath(shape, band);
  // A red sun behind the name.
  painter.setBrush(kVermilion);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(36, height / 2.0), height * 0.28, height * 0.28);
  QFont font("Noto Serif CJK JP");
  font.setStyleHint(QFont::Serif);
  font.setPixelSize(height * 2 / 5);
  font.setBold(true);
  font.setLetterSpacing(QFont::PercentageSpacing, 115);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(66, 0, pixmap.width() - 66, height), Qt::AlignVCenter | Qt::AlignLeft,
                   name);
  return pixmap;
}

QPixmap FolderIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QColor(0x8A, 0x6A, 0x10));
  painter.setBrush(QColor(0xF2, 0xC9, 0x4C));
  painter.drawRect(1, 3, 6, 3);   // the tab
  painter.drawRect(1, 5, 13, 9);  // the folder
  return pixmap;
}

void PaintWindowIcon(QPainter& painter, qreal size) {
  // Drawn on a grid of 32 × 32, scaled to the size asked for.
  painter.save();
  painter.scale(size / 32, size / 32);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kIndigo);
  painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  // Half and full: a narrow and a wide bar.
  painter.setBrush(kVermilion);
  painter.drawRect(QRectF(7, 8, 5, 16));
  painter.setBrush(kMist);
  painter.drawRect(QRectF(15, 8, 10, 16));
  painter.restore();
}

QIcon WindowIcon() {
  // Drawn at each size the title bar, task bar or switcher may ask for, so none is blurred.
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintWindowIcon(painter, size);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace quobrel
