// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/greetingwindow.h"

// The farewell window: "Thank you for playing" above the title, and "thanks.wav" as it loads.
// Its tick is the last thing the program does.
class ClosingWindow : public GreetingWindow
{
    Q_OBJECT

public:
    explicit ClosingWindow(WavePlayer &sound, QWidget *parent = nullptr);
};
