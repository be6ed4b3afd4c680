// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/colourvalue.h"

#include <QColor>

class QPushButton;
class QWidget;

// Resolves a colour value to what the screen shows; system colours come from the palette.
QColor toQColor(ColourValue value);

// Paints a label's or board cell's box and its text through the palette, so recolouring the
// whole board never re-parses a style sheet.
void setBackColour(QWidget *widget, ColourValue value);
void setForeColour(QWidget *widget, ColourValue value);

// Fills a button's face with exactly this colour. A plain palette colour is drawn as a gradient
// by the Fusion style; a style sheet that also sets a border paints the face solid.
void setButtonFace(QPushButton *button, ColourValue value);
