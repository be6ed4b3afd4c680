// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/announcer.h"

#include "ui/accessibleroles.h"

#include <QAccessible>

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    AccessibleRoles::setRole(this, QAccessible::StatusBar);
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    hide();

    m_notice = new QWidget(this);
    AccessibleRoles::setRole(m_notice, QAccessible::Notification);
    m_notice->setObjectName(QStringLiteral("announcement"));
    m_notice->setFocusPolicy(Qt::NoFocus);
}

void Announcer::announce(const QString &text)
{
    if (text.isEmpty())
        return;
    m_notice->setAccessibleName(text);
    // Qt 6.4 has no announcement event. Its AT-SPI bridge turns ObjectShow into
    // "object:state-changed:showing", which Orca presents for a notification.
    QAccessibleEvent shown(m_notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#ifdef Q_OS_WIN
    // Qt's UI Automation bridge raises a text value change as UiaRaiseNotificationEvent
    // (ImportantMostRecent). On AT-SPI the same event would only log a warning.
    QAccessibleValueChangeEvent notification(window(), text);
    QAccessible::updateAccessibility(&notification);
#endif
    emit announced(text);
}
