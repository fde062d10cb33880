#include "ui/WindowServices.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace kestrom::ui {
namespace {

constexpr float kRaiseTwips = 1000.0f;

int Clamp(int start, int length, int areaStart, int areaLength) {
    int last = areaStart + areaLength - length;
    return std::max(areaStart, std::min(start, last));
}

constexpr qreal kLargestPoints = 8.25;
constexpr qreal kSmallestPoints = 6.5;
constexpr int kGroupTitleMargins = 16;
constexpr int kButtonTextMargins = 12;

// The width a control needs to show its caption whole; 0 for other widgets.
int CaptionWidth(const QWidget& control) {
    if (auto* frame = qobject_cast<const QGroupBox*>(&control))
        return frame->fontMetrics().horizontalAdvance(frame->title()) + kGroupTitleMargins;
    if (auto* button = qobject_cast<const QPushButton*>(&control))
        return button->fontMetrics().horizontalAdvance(button->text()) + kButtonTextMargins;
    if (qobject_cast<const QAbstractButton*>(&control) || qobject_cast<const QLabel*>(&control))
        return control.sizeHint().width();
    return 0;
}

bool CaptionsFit(const QWidget& window) {
    for (const QWidget* child : window.findChildren<QWidget*>())
        if (CaptionWidth(*child) > child->width()) return false;
    return true;
}

} // namespace

void FitFont(QWidget& window) {
    QFont font = window.font();
    for (qreal points = kLargestPoints; points >= kSmallestPoints; points -= 0.25) {
        font.setPointSizeF(points);
        window.setFont(font);
        if (CaptionsFit(window)) return;
    }
}

void ActivateVisualStyle(QWidget& window) {
    // Started is always true for Qt's own styling; there is no mode to set.
    window.hide();
    window.show();
}

QPoint DialogPosition(const QRect& mainFrame, const QSize& dialog, const QRect& screen) {
    // In twips and single precision, as the dialogs have always been placed.
    float left = float(Twips(mainFrame.width())) / 2 - float(Twips(dialog.width())) / 2;
    float top =
        float(Twips(mainFrame.height())) / 2 - float(Twips(dialog.height())) / 2 - kRaiseTwips;
    int x = mainFrame.x() + int(std::lround(left / kTwipsPerPixel));
    int y = mainFrame.y() + int(std::lround(top / kTwipsPerPixel));
    if (screen.isValid()) {
        x = Clamp(x, dialog.width(), screen.x(), screen.width());
        y = Clamp(y, dialog.height(), screen.y(), screen.height());
    }
    return {x, y};
}

void KeepOnScreen(QWidget& window) {
    QScreen* screen = window.screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window.resize(window.size().boundedTo(area.size() * 0.9));
    const QSize outer = window.frameGeometry().size().boundedTo(area.size());
    window.move(Clamp(window.x(), outer.width(), area.x(), area.width()),
                Clamp(window.y(), outer.height(), area.y(), area.height()));
}

void PlaceDialog(QWidget& dialog, const QWidget& mainWindow) {
    QScreen* screen = mainWindow.screen();
    QRect area = screen ? screen->availableGeometry() : QRect();
    dialog.move(DialogPosition(mainWindow.frameGeometry(), dialog.frameGeometry().size(), area));
}

} // namespace kestrom::ui
