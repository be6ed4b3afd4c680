// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/desktopservices.h"

#include "services/maker.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void DesktopPageOpener::openPage(const QString &address)
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + address));
}

void MessageBoxShower::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QLatin1String(Maker::kProgramName), text, QMessageBox::Ok, m_owner);
    box.exec();
}

bool MessageBoxQuestion::ask(QWidget *over, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QLatin1String(Maker::kProgramName), text,
                    QMessageBox::Yes | QMessageBox::No, over);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
