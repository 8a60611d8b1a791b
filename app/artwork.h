// The window's pictures, drawn by the program itself.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace quobrel {

QPixmap BackgroundImage();                             // 579 × 531
QPixmap BannerImage(const QString& name, int height);  // 331 wide
QPixmap FolderIcon();                                  // 16 × 16
QIcon WindowIcon();                                    // 32 × 32

inline constexpr const char* kConversionBannerName = "Tavrik";
inline constexpr int kConversionBannerHeight = 83;
inline constexpr const char* kReplacementBannerName = "Lunesq";
inline constexpr int kReplacementBannerHeight = 75;

}  // namespace quobrel
