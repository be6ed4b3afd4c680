// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/greetingwindow.h"

// The splash window: "Welcome to" above the title, "Loading..." below it, and "welcome.wav" as
// it loads. The program starts by loading and showing it.
class LoadingWindow : public GreetingWindow
{
    Q_OBJECT

public:
    explicit LoadingWindow(WavePlayer &sound, QWidget *parent = nullptr);
};
