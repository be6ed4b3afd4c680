// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/announcer.h"

#include "ui/accessibleroles.h"

#include <QTimer>

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
    QAccessible::installActivationObserver(this);
}

Announcer::~Announcer()
{
    QAccessible::removeActivationObserver(this);
}

void Announcer::announce(const QString &text)
{
    if (text.isEmpty())
        return;
    m_notice->setAccessibleName(text);
    m_unheard = !QAccessible::isActive();
    handOver();
    emit announced(text);
}

void Announcer::accessibilityActiveChanged(bool active)
{
    // Told as the bridge switches on, before it can send anything: hand over once it has.
    if (active && m_unheard)
        QTimer::singleShot(0, this, [this] {
            m_unheard = false;
            handOver();
        });
}

void Announcer::handOver()
{
    // Qt 6.4 has no announcement event. Its AT-SPI bridge turns ObjectShow into
    // "object:state-changed:showing", which Orca presents for a notification.
    QAccessibleEvent shown(m_notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#ifdef Q_OS_WIN
    // Qt's UI Automation bridge raises a text value change as UiaRaiseNotificationEvent
    // (ImportantMostRecent). On AT-SPI the same event would only log a warning.
    QAccessibleValueChangeEvent notification(window(), m_notice->accessibleName());
    QAccessible::updateAccessibility(&notification);
#endif
}
