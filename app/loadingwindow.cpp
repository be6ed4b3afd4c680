// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/loadingwindow.h"

#include "ui/mainwindowlayout.h"

#include <array>

namespace {

using MainWindowLayout::kBalloonFace;

// In stacking order, above the title picture.
constexpr std::array<GreetingWindow::LabelDesign, 4> kLabels = {{
    {"Label1", "Welcome to", 2760, 120, 1935, 375, kBalloonFace, 18},
    {"Label2", GreetingWindow::kCredits, 600, 2160, 6015, 375, "Arial", 12},
    {"Label4", "Loading...", 2880, 2520, 1815, 375, kBalloonFace, 20.25},
    {"Label3", GreetingWindow::kWebAddress, 960, 2880, 5295, 615, "Arial", 27.75},
}};

constexpr GreetingWindow::Design kDesign {"Loading", "Welcome to Bingo", kLabels, "welcome.wav"};

} // namespace

LoadingWindow::LoadingWindow(WavePlayer &sound, QWidget *parent)
    : GreetingWindow(kDesign, sound, parent)
{
}
