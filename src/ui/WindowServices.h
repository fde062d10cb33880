// Services the three windows share: twips, the visual
// style step at the end of each window's load and the placing of dialogs.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace kestrom::ui {

// Window geometry is kept in twips, 15 to the pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;
constexpr int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}
constexpr int Twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// The last step of loading a window. Qt styles every window itself, so of the
// style engine's steps (check its state, set mode 1, start it, hide and show
// the window) only the hide and show remain: the window ends up shown.
void ActivateVisualStyle(QWidget& window);

// Where a dialog of outer size `dialog` goes: centred across the main
// window's outer frame and 1000 twips above its middle, moved back onto
// `screen` when it would leave it.
QPoint DialogPosition(const QRect& mainFrame, const QSize& dialog, const QRect& screen);

// Sets the window's font to the largest size, from 8.25 points down, at which
// every caption fits the control it was laid out for in twips.
void FitFont(QWidget& window);

// Shrinks a resizable window to the screen it opens on, leaving room for the
// frame the window manager adds, and moves it onto that screen.
void KeepOnScreen(QWidget& window);

// Moves the dialog to DialogPosition over the main window's screen.
void PlaceDialog(QWidget& dialog, const QWidget& mainWindow);

} // namespace kestrom::ui
