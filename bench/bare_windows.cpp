// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt program that changes windows as the caller does, with nothing of the caller's own:
// a borderless 479 x 238 greeting window for 2 s, then a main window of the caller's size with
// an "Exit" button where the caller has its own (shown before the greeting window is hidden);
// "Exit" shows a second greeting window and then hides the main window, and that window ends
// the program 2 s later. "Start" calls a number every 2.5 s: it shows it in a 260-point banner
// and plays its wave file from the working folder with PlaySound, and nothing else. The Windows
// benchmark times it beside the caller under the same Wine.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include <windows.h>
#include <mmsystem.h>

namespace {

void showCentred(QWidget *window)
{
    window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                                            window->screen()->availableGeometry()));
    window->show();
}

// A greeting window that runs whenDone once, 2 s after it was made.
QWidget *greeting(const std::function<void()> &whenDone)
{
    auto *window = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
    window->setFixedSize(479, 238);
    window->setAutoFillBackground(true);
    window->setPalette(QPalette(QColor(0, 0, 192)));
    QTimer::singleShot(2000, Qt::PreciseTimer, window, whenDone);
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);

    QWidget *main = nullptr;
    QWidget *splash = nullptr;
    splash = greeting([&] {
        auto *window = new QMainWindow;
        window->setWindowTitle(QStringLiteral("Bare Qt window"));
        window->menuBar()->addMenu(QStringLiteral("File"));
        auto *client = new QWidget(window);
        client->setFixedSize(790, 572);
        window->setCentralWidget(client);
        auto *exit = new QPushButton(QStringLiteral("Exit"), client);
        exit->setGeometry(8, 440, 377, 21);
        auto *banner = new QLabel(client);
        banner->setGeometry(8, 8, 377, 361);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(260);
        banner->setFont(font);
        banner->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        auto *start = new QPushButton(QStringLiteral("Start"), client);
        start->setGeometry(8, 376, 377, 41);
        auto *calling = new QTimer(window);
        QObject::connect(start, &QPushButton::clicked, calling, [calling] { calling->start(2500); });
        QObject::connect(calling, &QTimer::timeout, banner, [banner] {
            static std::vector<int> numbers = [] {
                std::vector<int> all(90);
                std::iota(all.begin(), all.end(), 1);
                std::shuffle(all.begin(), all.end(), std::mt19937(42));
                return all;
            }();
            static size_t next = 0;
            const int n = numbers[next++ % numbers.size()];
            banner->setText(QString::number(n));
            PlaySoundW(reinterpret_cast<LPCWSTR>(QStringLiteral("%1.wav").arg(n).utf16()), nullptr,
                       SND_FILENAME | SND_ASYNC);
        });
        QObject::connect(exit, &QPushButton::clicked, window, [&] {
            QWidget *farewell = greeting([] { QCoreApplication::quit(); });
            showCentred(farewell);
            main->hide();
            main->deleteLater();
        });
        window->setFixedSize(window->sizeHint());
        main = window;
        showCentred(main);
        splash->hide();
        splash->deleteLater();
    });
    showCentred(splash);
    return app.exec();
}
