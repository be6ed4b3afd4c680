// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>

class QWidget;

// What a screen reader is told about a widget, where the class alone would tell it wrong. Each
// call must come straight after the widget is made, before anything asks for its accessible
// interface: the interface is made once, on first use, and kept.
namespace AccessibleRoles {

// The widget is known by this role rather than the one its class gives it.
void setRole(QWidget *widget, QAccessible::Role role);

// The widget stays on screen but is left out of what a screen reader reads: for a caption whose
// words are already part of the name of the value it stands beside.
void hideFromScreenReader(QWidget *widget);

} // namespace AccessibleRoles
