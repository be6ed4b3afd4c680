// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/closingwindow.h"

#include "ui/mainwindowlayout.h"

#include <array>

namespace {

// Like the splash window's, less "Loading...", with the credits and the address a little
// closer together.
constexpr std::array<GreetingWindow::LabelDesign, 3> kLabels = {{
    {"Label1", "Thank you for playing", 1920, 120, 3615, 375, MainWindowLayout::kBalloonFace, 18},
    {"Label2", GreetingWindow::kCredits, 600, 2280, 6015, 375, "Arial", 12},
    {"Label3", GreetingWindow::kWebAddress, 960, 2760, 5295, 615, "Arial", 27.75},
}};

constexpr GreetingWindow::Design kDesign {"Closing", "Thank you for playing Bingo", kLabels, "thanks.wav"};

} // namespace

ClosingWindow::ClosingWindow(WavePlayer &sound, QWidget *parent)
    : GreetingWindow(kDesign, sound, parent)
{
}
