// SPDX-License-Identifier: GPL-3.0-or-later
// The screen kept on while a game is calling, as a desktop sees it: a session bus of the test's
// own (dbus-daemon) with fake_desktop on it, offering each desktop's idle inhibit in turn, one
// that never answers, or none. Games are played through the program's own wiring, and every line
// the desktop prints must be the one expected next.
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
#include <optional>

namespace {

int g_warnings = 0;
QtMessageHandler g_shown = nullptr;

void countWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    g_warnings += type == QtWarningMsg && message.startsWith(u"bingo: the desktop may blank the screen during a game: ");
    g_shown(type, context, message);
}

// A bus that goes with the object, and fake_desktop on it offering `offered` (none: no desktop).
class Desktop
{
public:
    explicit Desktop(const QStringList &offered)
    {
        m_bus.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--config-file=") + QFINDTESTDATA("private-bus.conf"), QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1"), QStringLiteral("--address=unix:dir=") + m_folder.path()});
        if (!m_bus.waitForReadyRead(10000))
            return;
        address = QString::fromLatin1(m_bus.readLine().trimmed());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        m_desktop.setProcessEnvironment(environment);
        if (!offered.isEmpty())
            m_desktop.start(qEnvironmentVariable("BINGO_FAKE_DESKTOP"), offered);
    }
    ~Desktop()
    {
        for (QProcess *process : {&m_desktop, &m_bus}) {
            process->kill();
            process->waitForFinished();
        }
    }

    // Waits for the next line the desktop prints: false, saying what came, unless all of it
    // matches `pattern`.
    bool next(const QString &pattern, int waitMs = 10000)
    {
        const bool said = QTest::qWaitFor([this] { return m_desktop.canReadLine(); }, waitMs);
        const QString line = said ? QString::fromUtf8(m_desktop.readLine()).trimmed() : QStringLiteral("nothing");
        if (QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(line).hasMatch())
            return true;
        qWarning("the desktop said \"%s\" where \"%s\" was expected", qPrintable(line), qPrintable(pattern));
        return false;
    }

    // A line on the desktop's standard input: "refuse", "leave" or "return".
    void tell(const char *command) { m_desktop.write(QByteArray(command) + '\n'); }

    QString address;

private:
    QTemporaryDir m_folder;
    QProcess m_bus;
    QProcess m_desktop;
};

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
        // What the first Start says before it is held; "!refuse": the portal refuses once its
        // answer has been taken.
        QTest::addColumn<QStringList>("before");
        const QString portalHeld = QStringLiteral("inhibit portal :\\S+ flags=12 reason=.* held=1");
        const QString refused = QStringLiteral("refused portal :\\S+");
        QTest::newRow("portal") << QStringList{"portal"} << "portal" << 12 << QStringList();
        QTest::newRow("screen saver") << QStringList{"screensaver"} << "screensaver" << 0 << QStringList();
        QTest::newRow("session manager") << QStringList{"session"} << "session" << 12 << QStringList();
        QTest::newRow("all three: the portal")
            << QStringList{"portal", "screensaver", "session"} << "portal" << 12 << QStringList();
        QTest::newRow("no portal: the screen saver")
            << QStringList{"screensaver", "session"} << "screensaver" << 0 << QStringList();
        // Its answer is lost to the call's timeout: what it holds all the same is let go.
        QTest::newRow("a portal that answers too late: the session manager")
            << QStringList{"silent-portal", "session"} << "session" << 12
            << QStringList{portalHeld, QStringLiteral("release portal :\\S+ held=0")};
        QTest::newRow("a portal that cannot inhibit, its word before its answer: the session manager")
            << QStringList{"refusing-portal", "session"} << "session" << 12 << QStringList{refused};
        QTest::newRow("a portal that cannot inhibit, its word after its answer: the session manager")
            << QStringList{"portal", "session"} << "session" << 12 << QStringList{portalHeld, "!refuse", refused};
    }

    // Asked first the next time is the desktop that answered last, so a portal that could not
    // inhibit or answered too late is asked only once.
    void oneInhibitIsHeldExactlyWhileCalling()
    {
        QFETCH(QStringList, offered);
        QFETCH(QString, asked);
        QFETCH(int, flags);
        QFETCH(QStringList, before);
        Desktop desktop(offered);
        QVERIFY(desktop.next(QStringLiteral("ready")));
        BingoWindow *bingo = startGame(desktop.address);
        const QString taken = QStringLiteral("inhibit %1 :\\S+ flags=%2 reason=Calling a bingo game held=1").arg(asked).arg(flags);
        const QString released = QStringLiteral("release %1 :\\S+ held=0").arg(asked);
        struct Step
        {
            std::function<void()> act;
            QStringList says;
        };
        const Step steps[] = {
            {[&] { click(bingo, "Command5"); }, before + QStringList{taken}}, // Start
            {[&] { click(bingo, "Command7"); }, {released}},                  // a pause
            {[&] { click(bingo, "Command5"); }, {taken}},                     // Restart
            {[&] { // a claim
                 bingo->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("7"));
                 click(bingo, "Command4");
             },
             {released}},
            {[&] { click(bingo, "Command5"); }, {taken}},
            {[&] { // the end of the game
                 for (int tick = 1; tick <= 90; ++tick)
                     bingo->Timer1_Timer();
             },
             {released}},
            {[&] {
                 click(bingo, "Command2"); // Reset
                 bingo = m_caller->shell().bingo();
                 click(bingo, "Command5");
             },
             {taken}},
            {[&] {
                 click(bingo, "Command2"); // Reset while calling
                 bingo = m_caller->shell().bingo();
             },
             {released}},
            {[&] { // calling stops before the desktop's answer is seen: what it answers is let go
                 click(bingo, "Command5");
                 click(bingo, "Command7");
             },
             {taken, released}},
            {[&] { // pause and Restart ten times over, faster than the desktop answers
                 for (int i = 0; i < 10; ++i) {
                     click(bingo, "Command5");
                     click(bingo, "Command7");
                 }
                 click(bingo, "Command5");
             },
             {taken}},
            {[&] { click(bingo, "Command3"); }, {released}}, // Exit
        };
        for (size_t step = 0; step < std::size(steps); ++step) {
            steps[step].act();
            for (const QString &line : steps[step].says) {
                if (line == u"!refuse") {
                    QTRY_VERIFY(m_keeper->holder() == IdleInhibitor::Desktop::Portal);
                    desktop.tell("refuse");
                } else {
                    QVERIFY2(desktop.next(line), qPrintable(QStringLiteral("step %1").arg(step)));
                }
            }
        }
        QCOMPARE(g_warnings, 0);
    }

    // The desktop's services end in the middle of a game and start again, empty: the inhibit is
    // asked for again as soon as one is there, once, and only while calling.
    void theScreenIsKeptOnThroughARestartOfTheDesktop()
    {
        Desktop desktop({QStringLiteral("portal"), QStringLiteral("screensaver"), QStringLiteral("session")});
        QVERIFY(desktop.next(QStringLiteral("ready")));
        BingoWindow *bingo = startGame(desktop.address);
        const QString taken = QStringLiteral("inhibit portal :\\S+ flags=12 reason=.* held=1");
        click(bingo, "Command5");
        QVERIFY(desktop.next(taken));
        // Gone while calling, and back once every desktop has been asked in vain: the first
        // name back is asked at once, and the others come while it is being asked.
        desktop.tell("leave");
        QVERIFY(desktop.next(QStringLiteral("left held=0")));
        QTRY_COMPARE(g_warnings, 1);
        desktop.tell("return");
        QVERIFY(desktop.next(QStringLiteral("returned")));
        QVERIFY(desktop.next(taken));
        // Gone and back while paused: nothing is asked until Restart.
        click(bingo, "Command7");
        QVERIFY(desktop.next(QStringLiteral("release portal :\\S+ held=0")));
        desktop.tell("leave");
        QVERIFY(desktop.next(QStringLiteral("left held=0")));
        desktop.tell("return");
        QVERIFY(desktop.next(QStringLiteral("returned")));
        click(bingo, "Command5");
        QVERIFY(desktop.next(taken));
        click(bingo, "Command3"); // Exit
        QVERIFY(desktop.next(QStringLiteral("release portal :\\S+ held=0")));
        QVERIFY(desktop.next(QStringLiteral("nothing"), 500));
        QCOMPARE(g_warnings, 1); // one line for the whole evening
    }

    void aKilledCallerLeavesNothingHeld()
    {
        Desktop desktop({QStringLiteral("portal")});
        QVERIFY(desktop.next(QStringLiteral("ready")));
        QProcess caller;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("BINGO_TEST_HOLD_SCREEN"), desktop.address);
        caller.setProcessEnvironment(environment);
        caller.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(desktop.next(QStringLiteral("inhibit portal :\\S+ flags=12 reason=.* held=1")));
        caller.kill(); // SIGKILL
        QVERIFY(caller.waitForFinished());
        QVERIFY(desktop.next(QStringLiteral("gone :\\S+ held=0")));
    }

    // A desktop that takes the request and never answers holds up no handler, nor the end.
    void aDesktopThatNeverAnswersHoldsUpNothing()
    {
        Desktop desktop({QStringLiteral("silent-portal")});
        QVERIFY(desktop.next(QStringLiteral("ready")));
        BingoWindow *bingo = startGame(desktop.address);
        QElapsedTimer clock;
        clock.start();
        for (const char *name : {"Command5", "Command7", "Command5"}) {
            click(bingo, name);
            bingo->Timer1_Timer();
        }
        QVERIFY(desktop.next(QStringLiteral("inhibit portal :\\S+ flags=12 reason=.* held=1")));
        QCOMPARE(bingo->state().calledCount.toNumber(), 2);
        click(bingo, "Command3");
        m_caller->shell().closing()->Timer1_Timer();
        cleanup();
        QCOMPARE(m_ends, QList<int>{0});
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
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
        Desktop bus({});
        BingoWindow *bingo = startGame(busRuns ? bus.address : QStringLiteral("unix:path=/nonexistent/bus"));
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
    // The program handed over to its main window, the screen kept on through the bus at `address`.
    BingoWindow *startGame(const QString &address)
    {
        m_ends.clear();
        // A data folder of its own: a game that a failed step left behind is not offered here.
        m_data.emplace();
        m_sole = std::make_unique<SoleCaller>(m_data->path());
        Q_ASSERT(m_sole->claim());
        m_keeper = std::make_unique<IdleInhibitor>(address);
        m_caller = std::make_unique<Caller>(*m_sole, m_sound, *m_keeper, m_random, m_question,
                                            [this](int status) { m_ends.append(status); });
        m_caller->shell().start();
        m_caller->shell().loading()->Timer1_Timer();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_caller->shell().bingo();
    }

    std::optional<QTemporaryDir> m_data;
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
