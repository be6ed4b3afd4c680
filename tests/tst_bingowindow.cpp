// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the host sees it: every control where the design puts it, read back from
// the widgets, and a game driven through clicks and ticks.
#include "fakes.h"
#include "screencolours.h"
#include "ui/announcer.h"
#include "ui/bingowindow.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ScreenColours;

namespace {

QStringList captions(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts.append(action->text());
    return texts;
}

} // namespace

class TestBingoWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_sound = std::make_unique<RecordingWavePlayer>();
        m_random = std::make_unique<ScriptedRandom>(std::deque<double>{}, 7);
        m_window = std::make_unique<BingoWindow>(*m_sound, *m_random);
        // The output is kept awake exactly while the window says it calls.
        connect(m_window.get(), &BingoWindow::callingChanged, this, [this](bool calling) {
            QCOMPARE_NE(calling, m_sound->awake);
            m_sound->keepOutputAwake(calling);
        });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void controlsStandAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("face");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("back");
        const QString balloon = QStringLiteral("BalloonEFDropShadow");
        const QString arial = QStringLiteral("Arial");
        auto row = [](const char *name, QRect geometry, const char *caption, const QString &face, double points,
                      bool bold, QColor back) {
            QTest::newRow(name) << QString::fromLatin1(name) << geometry << QString::fromLatin1(caption) << face
                                << points << bold << back;
        };
        row("Label1", {8, 8, 377, 361}, "", arial, 399.75, false, kBlack);
        row("Label4", {400, 8, 393, 33}, "The Last Number Called was", balloon, 20.25, true, kDarkBlue);
        row("Label5", {400, 48, 385, 137}, "-", arial, 72, true, kDarkBlue);
        row("Label3", {400, 192, 233, 25}, "Numbers called so far:", QStringLiteral("MS Sans Serif"), 13.5, false, kDarkBlue);
        row("Label2", {576, 192, 201, 25}, "0", arial, 18, true, kDarkBlue);
        row("Command4", {448, 232, 345, 31}, "Pause/ Check Card", balloon, 20.25, false, kYellow);
        row("Command5", {8, 376, 377, 41}, "Start", balloon, 30, false, kRed);
        row("Command2", {8, 416, 377, 23}, "Reset", balloon, 15.75, false, kRed);
        row("Command3", {8, 440, 377, 21}, "Exit", balloon, 15.75, false, kRed);
        row("Command6", {8, 464, 129, 31}, "Speed Up", balloon, 15.75, false, kYellow);
        row("Command7", {144, 464, 241, 31}, "Pause", balloon, 15.75, false, kYellow);
        row("Command8", {144, 496, 241, 73}, "Print Cards", balloon, 20.25, false, kRed);
        row("Label8", {8, 504, 129, 25}, "Normal", balloon, 15.75, false, kDarkBlue);
        row("Command1", {8, 536, 129, 31}, "Slow Down", balloon, 15.75, false, kYellow);
        row("Text2", {392, 232, 49, 32}, "", arial, 18, false, QColor(Qt::white));
    }

    void controlsStandAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(QString, face);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QColor, back);
        auto *widget = m_window->centralWidget()->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->font().family(), face);
        QCOMPARE(widget->font().pointSizeF(), points);
        QCOMPARE(widget->font().bold(), bold);
        QCOMPARE(widget->font().italic(), false);
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            QCOMPARE(label->text(), caption);
            QVERIFY(label->wordWrap());
            QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignTop);
            QCOMPARE(label->palette().color(QPalette::WindowText), kYellow);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QCOMPARE(button->text(), caption);
        } else {
            auto *box = qobject_cast<QLineEdit *>(widget);
            QVERIFY(box);
            QCOMPARE(box->text(), caption);
            QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
            QVERIFY(box->maxLength() >= 1 << 20);
        }
        // The whole face is the one colour, with no gradient, at the top and bottom of the box.
        QCOMPARE(pixel(widget, 4, 4), back);
        QCOMPARE(pixel(widget, 4, geometry.height() - 5), back);
    }

    void boardCellsStandInNineRowsOfTen_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QString>("text");
        QTest::newRow("1, top left") << 1 << QPoint(400, 280) << QStringLiteral("01");
        QTest::newRow("7 shows a leading zero") << 7 << QPoint(760, 280) << QStringLiteral("07");
        QTest::newRow("10, top right") << 10 << QPoint(760, 280) << QStringLiteral("10");
        QTest::newRow("11, second row") << 11 << QPoint(400, 312) << QStringLiteral("11");
        QTest::newRow("45, middle") << 45 << QPoint(560, 408) << QStringLiteral("45");
        QTest::newRow("81, bottom left") << 81 << QPoint(400, 536) << QStringLiteral("81");
        QTest::newRow("90, bottom right") << 90 << QPoint(760, 536) << QStringLiteral("90");
    }

    void boardCellsStandInNineRowsOfTen()
    {
        QFETCH(int, n);
        QFETCH(QPoint, topLeft);
        QFETCH(QString, text);
        auto *cell = m_window->centralWidget()->findChild<QLabel *>(QStringLiteral("Text1_%1").arg(n));
        QVERIFY(cell);
        if (n != 7)
            QCOMPARE(cell->geometry(), QRect(topLeft, QSize(25, 27)));
        QCOMPARE(cell->text(), text);
        QCOMPARE(cell->font().family(), QStringLiteral("Arial"));
        QCOMPARE(cell->font().pointSizeF(), 18.0);
        QVERIFY(cell->font().bold());
        QCOMPARE(cell->alignment(), Qt::AlignCenter);
        QCOMPARE(cell->focusPolicy(), Qt::NoFocus);
        QCOMPARE(cell->palette().color(QPalette::WindowText), kYellow);
        QCOMPARE(pixel(cell, 1, 1), kDarkBlue);
    }

    void windowIsFixedWithItsTitleAndIcon()
    {
        QCOMPARE(m_window->centralWidget()->size(), QSize(790, 572));
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        QVERIFY(!(m_window->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(m_window->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Bingo Version 1.6 - Designed by bingo-caller.example"));
        const QImage icon = m_window->windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.pixelColor(0, 0), QColor(0, 0, 128));
        QCOMPARE(pixel(m_window->centralWidget(), 2, 380), kDarkBlue);
    }

    void decorativeFaceFallsBackToTheBundledRoundedFace()
    {
        if (QFontDatabase::hasFamily(QStringLiteral("BalloonEFDropShadow")))
            QSKIP("the decorative face is installed here");
        auto *button = m_window->centralWidget()->findChild<QPushButton *>(QStringLiteral("Command5"));
        QCOMPARE(QFontInfo(button->font()).family(), QStringLiteral("Dosis"));
    }

    void menuTreeInOrder()
    {
        QMenuBar *bar = m_window->menuBar();
        QCOMPARE(captions(bar->actions()), (QStringList{"File", "Options", "Help"}));
        QVERIFY(!bar->actions().at(2)->menu());
        QMenu *file = bar->actions().at(0)->menu();
        QCOMPARE(captions(file->actions()), (QStringList{"Start", "Reset", "Print Cards", "Exit Bingo"}));
        QMenu *options = bar->actions().at(1)->menu();
        QCOMPARE(captions(options->actions()), (QStringList{"Sound", "Colour"}));
        QCOMPARE(captions(options->actions().at(0)->menu()->actions()), (QStringList{"On", "Off"}));
        QCOMPARE(captions(options->actions().at(1)->menu()->actions()), (QStringList{"Blue", "Black", "Green"}));
        const auto all = bar->findChildren<QAction *>();
        for (const QAction *action : all) {
            QVERIFY(action->shortcut().isEmpty());
            QVERIFY(!action->isCheckable());
        }
        QCOMPARE(bar->findChild<QAction *>(QStringLiteral("Start"))->data().toInt(), 14);
        QCOMPARE(bar->findChild<QAction *>(QStringLiteral("help"))->data().toInt(), 11);
    }

    void tabVisitsButtonsAndTheBoxInDesignOrder()
    {
        auto *first = m_window->centralWidget()->findChild<QWidget *>(QStringLiteral("Command2"));
        QStringList order;
        QWidget *widget = first;
        do {
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisible())
                order.append(widget->objectName());
            widget = widget->nextInFocusChain();
        } while (widget != first && order.size() < 200);
        QCOMPARE(order, (QStringList{"Command2", "Command3", "Command4", "Command5", "Text2", "Command1",
                                     "Command6", "Command7", "Command8"}));
    }

    void startThenTicksShowTheNumberAndMarkItsCell()
    {
        m_random->script = {ScriptedRandom::drawing(42), ScriptedRandom::drawing(7)};
        auto *start = m_window->centralWidget()->findChild<QPushButton *>(QStringLiteral("Command5"));
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(start->text(), QStringLiteral("calling"));
        QCOMPARE(start->font().pointSizeF(), 18.0);
        QCOMPARE(pixel(start, 4, 4), kYellow);
        QVERIFY(m_window->callingTimer().isActive());
        QCOMPARE(m_window->callingTimer().interval(), 5000);
        QCOMPARE(m_window->callingTimer().timerType(), Qt::PreciseTimer);
        QVERIFY(m_sound->awake);

        m_window->Timer1_Timer();
        auto *banner = m_window->centralWidget()->findChild<QLabel *>(QStringLiteral("Label1"));
        QCOMPARE(banner->text(), QStringLiteral("42"));
        QCOMPARE(banner->font().pointSizeF(), 260.0);
        auto *cell = m_window->centralWidget()->findChild<QLabel *>(QStringLiteral("Text1_42"));
        QCOMPARE(cell->text(), QStringLiteral("X"));
        QCOMPARE(cell->palette().color(QPalette::WindowText), kRed);
        QCOMPARE(m_window->centralWidget()->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("1"));

        m_window->Timer1_Timer();
        QCOMPARE(banner->text(), QStringLiteral("7"));
        QCOMPARE(m_window->centralWidget()->findChild<QLabel *>(QStringLiteral("Label5"))->text(), QStringLiteral("42"));
        QCOMPARE(m_sound->requests, (QStringList{"restart.wav", "42.wav", "7.wav"}));
        // Unloaded while calling: the output may sleep again.
        m_window.reset();
        QVERIFY(!m_sound->awake);
    }

    void noNumberIsCalledWhilePaused()
    {
        auto *start = m_window->centralWidget()->findChild<QPushButton *>(QStringLiteral("Command5"));
        QTest::mouseClick(start, Qt::LeftButton);
        m_window->findChild<QPushButton *>(QStringLiteral("Command7"))->click();
        QVERIFY(!m_window->callingTimer().isActive());
        QVERIFY(!m_sound->awake);
        QCOMPARE(start->text(), QStringLiteral("Restart"));
        m_window->Timer1_Timer();
        QCOMPARE(m_window->state().calledCount.toNumber(), 0);
    }

    void speedButtonsAndSoundSwitchThroughTheWidgets()
    {
        auto *slower = m_window->centralWidget()->findChild<QPushButton *>(QStringLiteral("Command1"));
        auto *speed = m_window->centralWidget()->findChild<QLabel *>(QStringLiteral("Label8"));
        QTest::mouseClick(slower, Qt::LeftButton);
        QCOMPARE(speed->text(), QStringLiteral("Slow"));
        QCOMPARE(m_window->callingTimer().interval(), 7500);
        QVERIFY(!m_window->callingTimer().isActive());

        m_window->menuBar()->findChild<QAction *>(QStringLiteral("sOff"))->trigger();
        m_window->menuBar()->findChild<QAction *>(QStringLiteral("Start"))->trigger();
        QVERIFY(m_window->callingTimer().isActive());
        QCOMPARE(m_window->callingTimer().interval(), 7500);
        m_window->Timer1_Timer();
        QCOMPARE(m_sound->audible(), QStringList{"soundoff.wav"});
    }

    void typingInTheCardBoxChangesNothingElse()
    {
        const BingoState before = m_window->state();
        auto *box = m_window->centralWidget()->findChild<QLineEdit *>(QStringLiteral("Text2"));
        QTest::keyClicks(box, QStringLiteral("17"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(m_window->state().Text2.text, QStringLiteral("17"));
        BingoState after = m_window->state();
        after.Text2 = before.Text2;
        QVERIFY(after == before);
        QVERIFY(m_sound->requests.isEmpty());
    }

    void claimCheckThroughTheWidgets()
    {
        const QList<int> card7 = {9, 11, 22, 24, 30, 34, 44, 46, 50, 54, 62, 75, 76, 86, 90};
        for (int n : card7)
            m_random->script.push_back(ScriptedRandom::drawing(n));
        m_window->button("Command5")->click();
        for (int i = 0; i < 14; ++i)
            m_window->Timer1_Timer();

        auto *box = m_window->centralWidget()->findChild<QLineEdit *>(QStringLiteral("Text2"));
        auto *banner = m_window->centralWidget()->findChild<QLabel *>(QStringLiteral("Label1"));
        QPushButton *start = m_window->button("Command5");
        QTest::keyClicks(box, QStringLiteral("7"));
        QTest::mouseClick(m_window->button("Command4"), Qt::LeftButton);
        QCOMPARE(banner->text(), QStringLiteral("False Claim press the 'Restart' button to continue!"));
        QCOMPARE(banner->font().pointSizeF(), 30.0);
        QVERIFY(banner->wordWrap());
        QCOMPARE(banner->size(), QSize(377, 361)); // the long verdict wraps inside the box
        QCOMPARE(box->text(), QString());
        QCOMPARE(start->text(), QStringLiteral("Restart"));
        QCOMPARE(pixel(start, 4, 4), kRed);
        QVERIFY(!m_window->callingTimer().isActive());
        QVERIFY(!m_sound->awake);

        start->click();
        QVERIFY(m_sound->awake);
        m_window->Timer1_Timer();
        QTest::keyClicks(box, QStringLiteral("7"));
        QTest::mouseClick(m_window->button("Command4"), Qt::LeftButton);
        QCOMPARE(banner->text(), QStringLiteral("Bingo!"));
        QCOMPARE(banner->font().pointSizeF(), 80.0);
        QCOMPARE(m_sound->requests.mid(m_sound->requests.size() - 2),
                 (QStringList{QStringLiteral("90.wav"), QStringLiteral("bingo.wav")}));
    }

    // A screen reader names every control, and follows the game as it is called; it reads the
    // captions beside the count and the last number as part of those, not a second time.
    void everyControlHasAnAccessibleName()
    {
        m_random->script = {ScriptedRandom::drawing(42)};
        m_window->button("Command5")->click();
        m_window->Timer1_Timer();
        QAccessibleInterface *client = QAccessible::queryAccessibleInterface(m_window->centralWidget());
        QCOMPARE(client->childCount(), 105);
        QStringList unread;
        for (int i = 0; i < client->childCount(); ++i) {
            QVERIFY(!client->child(i)->text(QAccessible::Name).isEmpty());
            if (client->child(i)->state().invisible)
                unread.append(client->child(i)->object()->objectName());
        }
        QCOMPARE(unread, (QStringList{"Label4", "Label3"}));
        auto name = [this](const char *control) {
            return m_window->centralWidget()->findChild<QWidget *>(QLatin1String(control))->accessibleName();
        };
        QCOMPARE(name("Command5"), QStringLiteral("calling"));
        QCOMPARE(name("Label1"), QStringLiteral("42"));
        QCOMPARE(name("Label2"), QStringLiteral("Numbers called so far: 1"));
        QCOMPARE(name("Label8"), QStringLiteral("Calling speed: Normal"));
        QCOMPARE(name("Text1_42"), QStringLiteral("42, called"));
        QCOMPARE(name("Text1_7"), QStringLiteral("7"));
        QCOMPARE(name("Text2"), QStringLiteral("Card number to check"));

        // Sound on or off shows nowhere on screen; the Sound menu tells a screen reader.
        auto *sound = m_window->menuBar()->findChild<QMenu *>(QStringLiteral("sound"));
        QCOMPARE(sound->accessibleDescription(), QStringLiteral("Sound is on"));
        m_window->menuCommand("sOff")->trigger();
        QCOMPARE(sound->accessibleDescription(), QStringLiteral("Sound is off"));
    }

    // Spoken at once and by name alone: the calls, the verdicts, the end of the game, and the
    // start button and speed changing, with nothing shown and the focus left where it is.
    void screenReaderHearsTheGame()
    {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QPushButton *focused = m_window->button("Command1");
        focused->setFocus();
        const Announcer &announcer = m_window->announcer();
        QSignalSpy spy(&announcer, &Announcer::announced);
        m_random->script = {ScriptedRandom::drawing(42), ScriptedRandom::drawing(7), ScriptedRandom::drawing(13)};
        auto *box = m_window->centralWidget()->findChild<QLineEdit *>(QStringLiteral("Text2"));
        m_window->button("Command6")->click();
        m_window->button("Command5")->click();
        m_window->Timer1_Timer();
        m_window->button("Command4")->click();
        box->setText(QStringLiteral("7"));
        m_window->button("Command4")->click();
        m_window->button("Command5")->click();
        m_window->Timer1_Timer();
        m_window->button("Command7")->click();
        m_window->button("Command7")->click(); // already paused: nothing new to say
        m_window->button("Command5")->click();
        for (int tick = 3; tick <= 90; ++tick)
            m_window->Timer1_Timer();

        QStringList announced;
        for (const QList<QVariant> &signal : spy)
            announced.append(signal.at(0).toString());
        QCOMPARE(announced.mid(0, 9),
                 (QStringList{"Calling speed: Fast", "calling", "42", "Restart",
                              "False Claim press the 'Restart' button to continue!", "calling", "7", "Restart",
                              "calling"}));
        QCOMPARE(announced.size(), 9 + 87 + 1);
        QCOMPARE(announced.at(9), QStringLiteral("13"));
        QCOMPARE(announced.last(), QStringLiteral("Game over"));
        QVERIFY(!announcer.isVisible());
        QAccessibleInterface *notice = QAccessible::queryAccessibleInterface(announcer.notice());
        QCOMPARE(notice->role(), QAccessible::Notification);
        QCOMPARE(notice->text(QAccessible::Name), QStringLiteral("Game over"));
        QCOMPARE(notice->parent()->role(), QAccessible::StatusBar);
        QCOMPARE(QApplication::focusWidget(), focused);
    }

    void returnAndEnterPressTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::NoModifier);
        QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
    }

    void returnAndEnterPressTheFocusedButton()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QPushButton *start = m_window->button("Command5");
        QTest::keyClick(start, Qt::Key(key), modifiers);
        QCOMPARE(start->text(), QStringLiteral("calling"));
        QTest::keyClick(start, Qt::Key(key), modifiers);
        QCOMPARE(start->text(), QStringLiteral("Restart"));
    }

    // Reached from the keyboard, the menu bar holds the focus when Help opens its box.
    void closingTheHelpBoxGivesTheFocusBack()
    {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->button("Command5")->setFocus();
        m_window->menuBar()->setFocus(Qt::MenuBarFocusReason);
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        m_window->menuCommand("help")->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), m_window->button("Command5"));
    }

    void focusRingOnlyOnTheFocusedControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("green");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("ring");
        QTest::newRow("red start") << "Command5" << false << kRed << kBlack;
        QTest::newRow("start turning dark green") << "Command5" << true << kDarkGreen << QColor(Qt::white);
        QTest::newRow("yellow check, clipped at the right") << "Command4" << false << kYellow << kBlack;
        QTest::newRow("white card box") << "Text2" << false << QColor(Qt::white) << kBlack;
    }

    void focusRingOnlyOnTheFocusedControl()
    {
        QFETCH(QString, control);
        QFETCH(bool, green);
        QFETCH(QColor, face);
        QFETCH(QColor, ring);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QWidget *client = m_window->centralWidget();
        auto *widget = client->findChild<QWidget *>(control);
        const QRect box = widget->geometry() & client->rect();
        widget->setFocus();
        if (green)
            m_window->menuCommand("Green")->trigger();
        QTRY_COMPARE(pixel(client, box.left() + 2, box.top() + 2), ring);
        QCOMPARE(pixel(client, box.right() - 2, box.center().y()), ring);
        QCOMPARE(pixel(client, box.right() - 5, box.bottom() - 4), face);
        widget->clearFocus();
        QTRY_COMPARE(pixel(client, box.right() - 2, box.center().y()), face);
    }

private:
    std::unique_ptr<RecordingWavePlayer> m_sound;
    std::unique_ptr<ScriptedRandom> m_random;
    std::unique_ptr<BingoWindow> m_window;
};

QTEST_MAIN(TestBingoWindow)
#include "tst_bingowindow.moc"
