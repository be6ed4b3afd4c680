// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the printable cards page at build time: make_cards_page OUTPUT.html
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include "cardspage.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cards_page OUTPUT.html\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);

    const QString html = cardsPageHtml();
    if (html.isEmpty()) {
        std::fprintf(stderr, "make_cards_page: a card of the card table does not fit on a ticket\n");
        return 1;
    }

    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        std::fprintf(stderr, "make_cards_page: cannot make the folder of %s\n", argv[1]);
        return 1;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html.toUtf8()) < 0 || !file.commit()) {
        std::fprintf(stderr, "make_cards_page: cannot write %s: %s\n", argv[1],
                     qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
