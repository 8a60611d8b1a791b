// Positions and sizes of the window's controls are given in twips; at 96 dpi a pixel is
// 15 twips, and Qt scales logical pixels on high-dpi screens.
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

namespace quobrel {

inline constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return {Px(left), Px(top), Px(width), Px(height)};
}

// Names a control as the window knows it and places it within its parent.
inline void Place(QWidget* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(name);
  control->setGeometry(TwipsRect(left, top, width, height));
}

}  // namespace quobrel
