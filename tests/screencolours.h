// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

// The colours the windows must show, exactly, and a way to read one back off the screen.
namespace ScreenColours {
inline const QColor kDarkBlue(0, 0, 192);
inline const QColor kYellow(255, 255, 0);
inline const QColor kRed(255, 0, 0);
inline const QColor kBlack(0, 0, 0);
inline const QColor kGreen(0, 128, 0);
inline const QColor kDarkGreen(0, 64, 0);
} // namespace ScreenColours

// The colour the widget paints at (x, y), as grabbed offscreen.
inline QColor pixel(QWidget *widget, int x, int y)
{
    return widget->grab().toImage().pixelColor(x, y);
}
