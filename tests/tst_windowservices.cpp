// SPDX-License-Identifier: GPL-3.0-or-later
// Colour themes, "Print Cards" and Help on the real window, read back from its pixels and from
// what it hands to the desktop.
#include "fakes.h"
#include "screencolours.h"
#include "ui/bingowindow.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace ScreenColours;

namespace {

QColor pixelOf(QWidget *widget, int x = 4, int y = 4) { return pixel(widget, x, y); }


} // namespace

// Stands in for the desktop's browser: QDesktopServices hands https addresses to it.
class UrlRecorder : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

class TestWindowServices : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_sound = std::make_unique<RecordingWavePlayer>();
        m_random = std::make_unique<ScriptedRandom>(std::deque<double>{}, 3);
        m_window = std::make_unique<BingoWindow>(*m_sound, *m_random);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void blackLeavesBannerDigitsAndYellowButtons()
    {
        m_window->menuCommand("Black")->trigger();
        QCOMPARE(pixelOf(m_window->centralWidget(), 2, 380), kBlack);
        QCOMPARE(pixelOf(control("Label1")), kBlack);
        QCOMPARE(pixelOf(control("Label5")), kBlack);
        QCOMPARE(pixelOf(control("Text1_1"), 1, 1), kBlack);
        QCOMPARE(control("Text1_1")->palette().color(QPalette::WindowText), kYellow);
        for (const char *red : {"Command5", "Command2", "Command3", "Command8"})
            QCOMPARE(pixelOf(control(red)), kRed);
        for (const char *yellow : {"Command1", "Command4", "Command6", "Command7"})
            QCOMPARE(pixelOf(control(yellow)), kYellow);
        QCOMPARE(pixelOf(control("Text2")), QColor(Qt::white));
        QCOMPARE(m_sound->requests, QStringList{"black.wav"});
    }

    void greenThenBlueBringsTheDesignBack()
    {
        m_window->menuCommand("Green")->trigger();
        QCOMPARE(pixelOf(m_window->centralWidget(), 2, 380), kGreen);
        QCOMPARE(pixelOf(control("Label8")), kGreen);
        QCOMPARE(pixelOf(control("Text1_90"), 1, 1), kGreen);
        QCOMPARE(pixelOf(control("Command8")), kDarkGreen);
        QCOMPARE(pixelOf(control("Command8"), 4, 60), kDarkGreen); // solid, no gradient
        QCOMPARE(pixelOf(control("Label1")), kBlack);

        m_window->menuCommand("blue")->trigger();
        QCOMPARE(pixelOf(m_window->centralWidget(), 2, 380), kDarkBlue);
        QCOMPARE(pixelOf(control("Text1_90"), 1, 1), kDarkBlue);
        QCOMPARE(pixelOf(control("Command8")), kRed);
    }

    void greenWhileCallingDrawsRedXOnGreen()
    {
        m_random->script = {ScriptedRandom::drawing(33)};
        m_window->button("Command5")->click();
        m_window->menuCommand("Green")->trigger();
        QVERIFY(m_window->callingTimer().isActive());
        m_window->Timer1_Timer();
        auto *cell = qobject_cast<QLabel *>(control("Text1_33"));
        QCOMPARE(cell->text(), QStringLiteral("X"));
        QCOMPARE(cell->palette().color(QPalette::WindowText), kRed);
        QCOMPARE(pixelOf(cell, 1, 1), kGreen);

        m_window->button("Command4")->click();
        QCOMPARE(pixelOf(control("Command5")), kRed);
        QCOMPARE(pixelOf(control("Command2")), kDarkGreen);
    }

    void printCardsByButtonAndMenuOpenTheSameAddress()
    {
        UrlRecorder browser;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "openUrl");
        m_window->button("Command5")->click();
        m_window->button("Command8")->click();
        m_window->menuCommand("print")->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

        const QUrl page(QStringLiteral("https://bingo-caller.example/cards/"));
        QCOMPARE(browser.opened, (QList<QUrl>{page, page}));
        QVERIFY(m_window->callingTimer().isActive());
        QCOMPARE(m_sound->requests, (QStringList{"restart.wav", "print.wav", "print.wav"}));
    }

    void helpShowsOneOkAndNoIcon()
    {
        QString text;
        QString title;
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            for (QAbstractButton *button : box->buttons())
                buttons.append(button->text());
            box->button(QMessageBox::Ok)->click();
        });
        m_window->menuCommand("help")->trigger();
        QCOMPARE(text, QStringLiteral("Please email 'caller@bingo-caller.example'"));
        QCOMPARE(title, QStringLiteral("Bingo"));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
        QVERIFY(m_sound->requests.isEmpty());
    }

private:
    QWidget *control(const char *name) { return m_window->centralWidget()->findChild<QWidget *>(QLatin1String(name)); }

    std::unique_ptr<RecordingWavePlayer> m_sound;
    std::unique_ptr<ScriptedRandom> m_random;
    std::unique_ptr<BingoWindow> m_window;
};

QTEST_MAIN(TestWindowServices)
#include "tst_windowservices.moc"
