// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Shows a message to the host with a single "OK" and returns when it is closed.
class MessageShower
{
public:
    virtual ~MessageShower() = default;
    virtual void showMessage(const QString &text) = 0;
};

// "Please email '<contact address>'".
QString helpText();

// The Help command on the menu bar: the help message, nothing else.
void help_Click(MessageShower &messages, qint16 index);
