// The pictures the program draws itself: battery indicator, logo, application icon.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace lapdex::ui {

// Battery picture resources: 140 none, 141..145 and 143 by level (see batteryPicture).
inline constexpr int kBatteryNone = 140;
inline constexpr int kLogoPicture = 156;

// Resource number of the battery picture of `level`; 140 for anything but 1 to 5.
int batteryPictureFor(int level);
// The 130 × 26 battery picture: five cells separated by black lines, filled from the right.
QPixmap batteryPicture(int resource);
// Number of filled cells and their colour for a battery picture resource.
int filledCells(int resource);
// The 123 × 23 logo on a white background (white is the transparent colour).
QPixmap logoPicture();
// The application icon (resource 128).
QIcon applicationIcon();
// Any numbered picture of the templates (battery pictures and the logo).
QPixmap pictureResource(int resource);

}  // namespace lapdex::ui
