// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controlpainting.h"

#include <QApplication>
#include <QPalette>
#include <QPushButton>

QColor toQColor(ColourValue value)
{
    if (Colours::isSystemColour(value)) {
        const QPalette palette = QApplication::palette();
        switch (value) {
        case Colours::Window:
            return palette.color(QPalette::Base);
        case Colours::WindowText:
            return palette.color(QPalette::Text);
        default:
            return palette.color(QPalette::ButtonText);
        }
    }
    return QColor(Colours::red(value), Colours::green(value), Colours::blue(value));
}

void setBackColour(QWidget *widget, ColourValue value)
{
    QPalette palette = widget->palette();
    const QColor colour = toQColor(value);
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
}

void setForeColour(QWidget *widget, ColourValue value)
{
    QPalette palette = widget->palette();
    const QColor colour = toQColor(value);
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void setButtonFace(QPushButton *button, ColourValue value)
{
    const QString face = toQColor(value).name();
    const QString text = toQColor(Colours::ButtonText).name();
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2;"
                                         " border: 1px outset %1; padding: 0px; outline: none; }"
                                         "QPushButton:pressed { border-style: inset; }")
                              .arg(face, text));
}
