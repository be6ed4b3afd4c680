// SPDX-License-Identifier: GPL-3.0-or-later
// The screen kept on while a game is calling, as a desktop sees it: a session bus of the test's
// own (dbus-daemon) and fake_desktop on it, offering each desktop's idle inhibit in turn, one that
// never answers, or none. Games are played through the program's own wiring and the desktop's
// log is read line by line: every line the caller causes must be the one expected next.
#include "app/caller.h"
#include "app/closingwindow.h"
#include "app/loadingwindow.h"
#include "app/solecaller.h"
#include "fakes.h"
#include "services/desktopservices.h"
#include "services/idleinhibitor.h"
#include "ui/bingowindow.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

int g_warnings = 0;
QtMessageHandler g_shown = nullptr;

// A private session bus that goes with the object. It starts no services of its own: a desktop
// portal installed on the machine must not answer in place of the test's desktop.
class PrivateBus
{
public:
    PrivateBus()
    {
        QFile config(m_folder.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                    "<policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                                    "<allow own=\"*\"/></policy></busconfig>")
                         .arg(m_folder.path())
                         .toUtf8());
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                      QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(10000))
            address = QString::fromLatin1(m_daemon.readLine().trimmed());
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    QString address;

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
};

// fake_desktop on a bus, and what it has printed.
class FakeDesktop
{
public:
    FakeDesktop(const QString &address, const QStringList &offered)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        m_process.setProcessEnvironment(environment);
        m_process.start(qEnvironmentVariable("BINGO_FAKE_DESKTOP"), offered);
    }
    ~FakeDesktop()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Waits for the next line the desktop prints; false, saying what came instead, if it does
    // not match `pattern` in whole.
    bool next(const QString &pattern)
    {
        if (!QTest::qWaitFor([this] { return m_process.canReadLine(); }, 10000)) {
            qWarning("the desktop said nothing where \"%s\" was expected", qPrintable(pattern));
            return false;
        }
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        if (QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(line).hasMatch())
            return true;
        qWarning("the desktop said \"%s\" where \"%s\" was expected", qPrintable(line), qPrintable(pattern));
        return false;
    }

    QProcess m_process;
};

void countWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(u"bingo: the desktop may blank the screen during a game: "))
        ++g_warnings;
    g_shown(type, context, message);
}

void click(BingoWindow *bingo, const char *name)
{
    bingo->button(name)->click();
}

} // namespace

class TestScreenKeeper : public QObject
{
    Q_OBJECT

private slots:
    // Run with BINGO_TEST_HOLD_SCREEN naming a bus, this program is the caller that
    // aKilledCallerLeavesNothingHeld kills: it keeps the screen on and waits.
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("BINGO_TEST_HOLD_SCREEN")) {
            IdleInhibitor keeper(qEnvironmentVariable("BINGO_TEST_HOLD_SCREEN"));
            keeper.keepScreenOn(true);
            QCoreApplication::exec();
        }
        g_shown = qInstallMessageHandler(countWarnings);
    }

    void init() { g_warnings = 0; }

    void cleanup()
    {
        m_caller.reset();
        m_keeper.reset();
        m_sole.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void oneInhibitIsHeldExactlyWhileCalling_data()
    {
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<int>("flags");
        QTest::newRow("portal") << QStringList{"portal"} << "portal" << 12;
        QTest::newRow("screen saver") << QStringList{"screensaver"} << "screensaver" << 0;
        QTest::newRow("session manager") << QStringList{"session"} << "session" << 12;
        QTest::newRow("all three: the portal") << QStringList{"portal", "screensaver", "session"} << "portal" << 12;
        QTest::newRow("portal refuses: the screen saver")
            << QStringList{"failing-portal", "screensaver", "session"} << "screensaver" << 0;
        QTest::newRow("no portal: the screen saver") << QStringList{"screensaver", "session"} << "screensaver" << 0;
        QTest::newRow("portal that cannot inhibit: the session manager")
            << QStringList{"refusing-portal", "session"} << "session" << 12;
    }

    void oneInhibitIsHeldExactlyWhileCalling()
    {
        QFETCH(QStringList, offered);
        QFETCH(QString, asked);
        QFETCH(int, flags);
        PrivateBus bus;
        FakeDesktop desktop(bus.address, offered);
        QVERIFY(desktop.next(QStringLiteral("ready")));
        BingoWindow *bingo = startGame(bus.address);
        const QString taken = QStringLiteral("inhibit %1 :\\S+ flags=%2 reason=Calling a bingo game held=1").arg(asked).arg(flags);
        const QString released = QStringLiteral("release %1 :\\S+ held=0").arg(asked);

        click(bingo, "Command5");
        QVERIFY(desktop.next(taken));
        click(bingo, "Command7"); // a pause
        QVERIFY(desktop.next(released));
        click(bingo, "Command5");
        QVERIFY(desktop.next(taken));
        bingo->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("7"));
        click(bingo, "Command4"); // a claim
        QVERIFY(desktop.next(released));
        click(bingo, "Command5");
        QVERIFY(desktop.next(taken));
        for (int tick = 1; tick <= 90; ++tick) // the end of the game
            bingo->Timer1_Timer();
        QVERIFY(desktop.next(released));

        click(bingo, "Command2"); // Reset
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bingo = m_caller->shell().bingo();
        click(bingo, "Command5");
        QVERIFY(desktop.next(taken));
        click(bingo, "Command2"); // Reset while calling
        QVERIFY(desktop.next(released));
        bingo = m_caller->shell().bingo();
        // Pause and Restart ten times over, faster than the desktop answers: one inhibit.
        for (int i = 0; i < 10; ++i) {
            click(bingo, "Command5");
            click(bingo, "Command7");
        }
        click(bingo, "Command5");
        QVERIFY(desktop.next(taken));
        click(bingo, "Command3"); // Exit
        QVERIFY(desktop.next(released));
        m_caller->shell().closing()->Timer1_Timer();
        QCOMPARE(g_warnings, 0);
    }

    void aKilledCallerLeavesNothingHeld()
    {
        PrivateBus bus;
        FakeDesktop desktop(bus.address, {QStringLiteral("portal")});
        QVERIFY(desktop.next(QStringLiteral("ready")));
        QProcess caller;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("BINGO_TEST_HOLD_SCREEN"), bus.address);
        caller.setProcessEnvironment(environment);
        caller.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(desktop.next(QStringLiteral("inhibit portal :\\S+ flags=12 reason=.* held=1")));
        caller.kill(); // SIGKILL
        QVERIFY(caller.waitForFinished());
        QVERIFY(desktop.next(QStringLiteral("gone :\\S+ held=0")));
    }

    // A desktop that takes the request and never answers holds up no handler, and the end.
    void aDesktopThatNeverAnswersHoldsUpNothing()
    {
        PrivateBus bus;
        FakeDesktop desktop(bus.address, {QStringLiteral("silent-portal")});
        QVERIFY(desktop.next(QStringLiteral("ready")));
        BingoWindow *bingo = startGame(bus.address);
        QElapsedTimer clock;
        clock.start();
        click(bingo, "Command5");
        bingo->Timer1_Timer();
        click(bingo, "Command7");
        click(bingo, "Command5");
        bingo->Timer1_Timer();
        QVERIFY(clock.elapsed() < 2000);
        QVERIFY(desktop.next(QStringLiteral("unanswered portal :\\S+")));
        QCOMPARE(bingo->state().calledCount.toNumber(), 2);
        clock.restart();
        click(bingo, "Command3");
        m_caller->shell().closing()->Timer1_Timer();
        cleanup();
        QCOMPARE(m_ends, QList<int>{0});
        QVERIFY(clock.elapsed() < 2000);
    }

    void noBusOrNoDesktopLeavesTheGameAsItWas_data()
    {
        QTest::addColumn<bool>("busRuns");
        QTest::newRow("no session bus") << false;
        QTest::newRow("no desktop on the bus") << true;
    }

    void noBusOrNoDesktopLeavesTheGameAsItWas()
    {
        QFETCH(bool, busRuns);
        PrivateBus bus;
        QTemporaryDir nowhere;
        BingoWindow *bingo = startGame(busRuns ? bus.address : QStringLiteral("unix:path=") + nowhere.filePath(QStringLiteral("bus")));
        click(bingo, "Command5");
        bingo->Timer1_Timer();
        QTRY_COMPARE(g_warnings, 1);
        click(bingo, "Command7");
        click(bingo, "Command5");
        bingo->Timer1_Timer();
        QTest::qWait(300);
        QCOMPARE(g_warnings, 1); // one line for the whole evening
        QCOMPARE(bingo->state().calledCount.toNumber(), 2);
    }

private:
    // The program with the screen kept on through the bus at `busAddress`, handed over to the
    // main window.
    BingoWindow *startGame(const QString &busAddress)
    {
        m_ends.clear();
        m_sole = std::make_unique<SoleCaller>(m_data.path());
        Q_ASSERT(m_sole->claim());
        m_keeper = std::make_unique<IdleInhibitor>(busAddress);
        m_caller = std::make_unique<Caller>(*m_sole, m_sound, *m_keeper, m_random, m_question,
                                            [this](int status) { m_ends.append(status); });
        m_caller->shell().start();
        m_caller->shell().loading()->Timer1_Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_caller->shell().bingo();
    }

    QTemporaryDir m_data;
    RecordingWavePlayer m_sound;
    ScriptedRandom m_random;
    MessageBoxQuestion m_question;
    std::unique_ptr<SoleCaller> m_sole;
    std::unique_ptr<IdleInhibitor> m_keeper;
    std::unique_ptr<Caller> m_caller;
    QList<int> m_ends;
};

QTEST_MAIN(TestScreenKeeper)
#include "tst_screenkeeper.moc"
