// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/helpmessage.h"

#include "services/maker.h"

QString helpText()
{
    return QStringLiteral("Please email '%1'").arg(QLatin1String(Maker::kContactAddress));
}

void help_Click(MessageShower &messages, qint16)
{
    messages.showMessage(helpText());
}
