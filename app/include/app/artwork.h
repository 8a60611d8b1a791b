// The window's pictures, drawn by the program itself.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class QPainter;

namespace quobrel {

QPixmap BackgroundImage();                             // 579 × 531
QPixmap BannerImage(const QString& name, int height);  // 331 wide
QPixmap FolderIcon();                                  // 16 × 16
QIcon WindowIcon();                                    // 16 × 16 to 128 × 128

// The window's icon, painted into a square of SIZE × SIZE at the painter's origin: for
// WindowIcon() and for the icon files the build installs.
void PaintWindowIcon(QPainter& painter, qreal size);

inline constexpr const char* kConversionBannerName = "Tavrik";
inline constexpr int kConversionBannerHeight = 83;
inline constexpr const char* kReplacementBannerName = "Lunesq";
inline constexpr int kReplacementBannerHeight = 75;

}  // namespace quobrel
