// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/focusring.h"

#include <QApplication>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kWidth = 3;

// Relative luminance as WCAG defines it, 0 for black to 1 for white.
double luminance(const QColor &colour)
{
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

QColor ringColourOn(const QColor &face)
{
    // Above this luminance black contrasts more than white does: (L + 0.05) / 0.05 > 1.05 / (L + 0.05).
    constexpr double kEvenContrast = 0.179;
    return luminance(face) > kEvenContrast ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

FocusRing::FocusRing(QWidget *parent)
    : QFocusFrame(parent)
{
    setObjectName(QStringLiteral("focusRing"));
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        follow(now && parentWidget()->isAncestorOf(now) ? now : nullptr);
    });
}

void FocusRing::follow(QWidget *control)
{
    m_control = control;
    if (!control) {
        hide();
        return;
    }
    // A control that runs past the window's edge gets its ring on the part that shows.
    setGeometry(control->geometry() & parentWidget()->rect());
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent *)
{
    if (!m_control)
        return;
    const QColor face = m_control->palette().color(m_control->backgroundRole());
    QPainter painter(this);
    painter.setClipRegion(QRegion(rect()) - QRegion(rect().adjusted(kWidth, kWidth, -kWidth, -kWidth)));
    painter.fillRect(rect(), ringColourOn(face));
}
