// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/displayfonts.h"

#include "ui/mainwindowlayout.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void installDisplayFonts()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;

    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/assets/fonts/Dosis-ExtraBold.otf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty())
        QFont::insertSubstitution(QLatin1String(MainWindowLayout::kBalloonFace), families.first());
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
}
