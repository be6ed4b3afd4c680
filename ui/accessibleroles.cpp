// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/accessibleroles.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace AccessibleRoles {
namespace {

constexpr char kRoleProperty[] = "bingoAccessibleRole";
constexpr char kHiddenProperty[] = "bingoHiddenFromScreenReader";

class OverriddenWidget : public QAccessibleWidget
{
public:
    OverriddenWidget(QWidget *widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role)
    {
    }

    // Hidden here means what "aria-hidden" means on the web: AT-SPI then reports the widget as
    // neither showing nor visible, and Qt's UI Automation bridge skips it when walking the tree.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (widget()->property(kHiddenProperty).toBool())
            state.invisible = true;
        return state;
    }
};

QAccessibleInterface *overriddenInterface(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new OverriddenWidget(static_cast<QWidget *>(object), QAccessible::Role(role.toInt()));
}

void installFactory()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(overriddenInterface);
}

} // namespace

void setRole(QWidget *widget, QAccessible::Role role)
{
    installFactory();
    widget->setProperty(kRoleProperty, int(role));
}

void hideFromScreenReader(QWidget *widget)
{
    if (!widget->property(kRoleProperty).isValid())
        setRole(widget, QAccessible::StaticText);
    widget->setProperty(kHiddenProperty, true);
}

} // namespace AccessibleRoles
