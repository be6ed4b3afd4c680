// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/colourvalue.h"

#include <QRect>

#include <array>
#include <string_view>

// The main window's design: where each control stands and how it looks when the window loads.
// Positions and sizes are in twips (1/1440 inch); fifteen twips make one pixel at 96 dpi.
namespace MainWindowLayout {

constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) { return twips / kTwipsPerPixel; }

constexpr int kClientWidthTwips = 11850;
constexpr int kClientHeightTwips = 8580;

inline constexpr char kBalloonFace[] = "BalloonEFDropShadow";

enum class Kind { Label, Button, TextBox };

struct ControlDesign
{
    std::string_view name;
    Kind kind;
    std::string_view caption;
    int left;
    int top;
    int width;
    int height;
    ColourValue backColour;
    std::string_view face;
    double points;
    bool bold;
    int tabIndex;

    QRect geometry() const { return {pixels(left), pixels(top), pixels(width), pixels(height)}; }
};

using Colours::ButtonText;
using Colours::DarkBlue;
using Colours::Red;
using Colours::Yellow;

// In stacking order: a later control lies above an earlier one where they overlap,
// so "Numbers called so far:" (Label3) is drawn over the count's box (Label2).
inline constexpr std::array<ControlDesign, 15> kControls = {{
    {"Label1", Kind::Label, "", 120, 120, 5655, 5415, ButtonText, "Arial", 399.75, false, 0},
    {"Label4", Kind::Label, "The Last Number Called was", 6000, 120, 5895, 495, DarkBlue, kBalloonFace, 20.25, true, 93},
    {"Label5", Kind::Label, "-", 6000, 720, 5775, 2055, DarkBlue, "Arial", 72, true, 94},
    {"Label2", Kind::Label, "0", 8640, 2880, 3015, 375, DarkBlue, "Arial", 18, true, 31},
    {"Label3", Kind::Label, "Numbers called so far:", 6000, 2880, 3495, 375, DarkBlue, "MS Sans Serif", 13.5, false, 92},
    {"Text2", Kind::TextBox, "", 5880, 3480, 735, 480, Colours::Window, "Arial", 18, false, 99},
    {"Command4", Kind::Button, "Pause/ Check Card", 6720, 3480, 5175, 465, Yellow, kBalloonFace, 20.25, false, 97},
    {"Command5", Kind::Button, "Start", 120, 5640, 5655, 615, Red, kBalloonFace, 30, false, 98},
    {"Command2", Kind::Button, "Reset", 120, 6240, 5655, 345, Red, kBalloonFace, 15.75, false, 95},
    {"Command3", Kind::Button, "Exit", 120, 6600, 5655, 315, Red, kBalloonFace, 15.75, false, 96},
    {"Command6", Kind::Button, "Speed Up", 120, 6960, 1935, 465, Yellow, kBalloonFace, 15.75, false, 101},
    {"Command7", Kind::Button, "Pause", 2160, 6960, 3615, 465, Yellow, kBalloonFace, 15.75, false, 103},
    {"Command8", Kind::Button, "Print Cards", 2160, 7440, 3615, 1095, Red, kBalloonFace, 20.25, false, 104},
    {"Label8", Kind::Label, "Normal", 120, 7560, 1935, 375, DarkBlue, kBalloonFace, 15.75, false, 102},
    {"Command1", Kind::Button, "Slow Down", 120, 8040, 1935, 465, Yellow, kBalloonFace, 15.75, false, 100},
}};

// The design of the named control; the name must be one of kControls.
const ControlDesign &control(std::string_view name);

// The board: cell n (1 to 90) in 9 rows of 10, numbered row by row from the top left.
constexpr int kBoardLeft = 6000;
constexpr int kBoardTop = 4200;
constexpr int kCellPitchX = 600;
constexpr int kCellPitchY = 480;
constexpr int kCellWidth = 375;
constexpr int kCellHeight = 405;
inline constexpr char kCellFace[] = "Arial";
constexpr double kCellPoints = 18;

constexpr int cellLeft(int n) { return kBoardLeft + kCellPitchX * ((n - 1) % 10); }
constexpr int cellTop(int n) { return kBoardTop + kCellPitchY * ((n - 1) / 10); }
inline QRect cellGeometry(int n)
{
    return {pixels(cellLeft(n)), pixels(cellTop(n)), pixels(kCellWidth), pixels(kCellHeight)};
}

} // namespace MainWindowLayout
