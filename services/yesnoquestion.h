// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Asks the host something that Yes or No answers, over a window, and returns when it is
// answered: true for Yes, which is what Return gives.
class YesNoQuestion
{
public:
    virtual ~YesNoQuestion() = default;
    virtual bool ask(QWidget *over, const QString &text) = 0;
};
