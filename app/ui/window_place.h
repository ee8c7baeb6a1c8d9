// Windows that fit the screen they open on and come back at the size and place the user left
// them at (kept per user in the program's Qt settings).
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace lapdex::ui {

// Where sizes and places are kept. Nothing is kept until the program chooses the user's
// settings, so tests and tools never touch them; a test may choose an INI file of its own.
void keepWindowPlacesInUserSettings();
void keepWindowPlacesInFile(const QString& iniPath);
void keepNoWindowPlaces();

// From the first time `window` is shown: its remembered size and place under `key` (else its own
// size, centred on its screen), fitted into the screen; whenever it is hidden, they are kept.
// The keeper is a child of `window`.
void rememberWindowPlace(QWidget& window, const QString& key);

// The part of `window`'s screen that windows may cover (without panels), in its coordinates.
QRect availableArea(const QWidget& window);

// Shrinks `window` (not below its minimum size) until its frame fits into the available area of
// its screen and moves it wholly inside.
void fitIntoScreen(QWidget& window);

// Makes `window` (without a parent) an ordinary top-level window: its own taskbar entry, raised
// by a click above the main window, with minimise, maximise and close; it fits the screen and
// comes back at its remembered size and place under `key`.
void makeOrdinaryWindow(QWidget& window, const QString& key);

// Remembers `window`'s size and place under `key` now (done on hiding).
void keepWindowPlace(const QWidget& window, const QString& key);

}  // namespace lapdex::ui
