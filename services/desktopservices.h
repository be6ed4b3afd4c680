// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/printcards.h"
#include "services/helpmessage.h"
#include "services/yesnoquestion.h"

class QWidget;

// Opens pages through the desktop's URL handler, over https.
class DesktopPageOpener : public PageOpener
{
public:
    void openPage(const QString &address) override;
};

// A modal message box over the given window: no icon, "OK" only, titled with the program's name.
class MessageBoxShower : public MessageShower
{
public:
    explicit MessageBoxShower(QWidget *owner) : m_owner(owner) {}
    void showMessage(const QString &text) override;

private:
    QWidget *m_owner;
};

// A modal message box with "Yes" and "No", titled with the program's name; "Yes" is the default
// button, and Escape or the box's close button answer "No".
class MessageBoxQuestion : public YesNoQuestion
{
public:
    bool ask(QWidget *over, const QString &text) override;
};
