// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows from start to end: the splash window's hand-over to the main window,
// the exit through the farewell window, the close box, and the reset from every game state.
// The two-second timers are driven by calling their ticks; the end of the program is recorded.
#include "app/caller.h"
#include "app/closingwindow.h"
#include "app/loadingwindow.h"
#include "app/solecaller.h"
#include "fakes.h"
#include "screencolours.h"
#include "smalldisk.h"
#include "services/desktopservices.h"
#include "ui/bingowindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#include "services/executionstatekeeper.h"
#include <windows.h>
// The program's own keeper, read back: asked without ES_CONTINUOUS, Windows returns what it holds.
using ScreenKeeperUnderTest = ExecutionStateKeeper;
static bool screenKept(const ScreenKeeperUnderTest &)
{
    return SetThreadExecutionState(ES_SYSTEM_REQUIRED) == (ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
}
#else
using ScreenKeeperUnderTest = RecordingScreenKeeper;
static bool screenKept(const ScreenKeeperUnderTest &screen) { return screen.kept; }
#endif

using namespace ScreenColours;

namespace {


// One line for each thing the host could notice, in the order it happens: a sound request, a
// window appearing or disappearing, the main window's load step reseeding the draw.
class Journal : public QObject
{
public:
    Journal() { qApp->installEventFilter(this); }
    ~Journal() override { qApp->removeEventFilter(this); }

    QStringList lines;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || !widget->isWindow())
            return false;
        if (event->type() == QEvent::Show)
            lines.append(QStringLiteral("show ") + widget->objectName());
        if (event->type() == QEvent::Hide) {
            QString line = QStringLiteral("hide ") + widget->objectName();
            if (auto *greeting = qobject_cast<GreetingWindow *>(widget))
                line += greeting->timer1().isActive() ? QStringLiteral(", Timer1 on") : QStringLiteral(", Timer1 off");
            lines.append(line);
        }
        return false;
    }
};

class JournalingWavePlayer : public RecordingWavePlayer
{
public:
    explicit JournalingWavePlayer(Journal &journal) : m_journal(journal) {}
    void playWave(const QString &name) override
    {
        m_journal.lines.append(QStringLiteral("play ") + name);
        RecordingWavePlayer::playWave(name);
    }

private:
    Journal &m_journal;
};

class JournalingRandom : public ScriptedRandom
{
public:
    explicit JournalingRandom(Journal &journal) : m_journal(journal) {}
    void reseedFromClock() override
    {
        m_journal.lines.append(QStringLiteral("reseed"));
        ScriptedRandom::reseedFromClock();
    }

private:
    Journal &m_journal;
};

// Objects a handler has unloaded go once control is back in the event loop; this is that moment.
void returnToEventLoop()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QRect centredOnScreen(const QWidget *window)
{
    return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                               window->screen()->availableGeometry());
}

template <typename Widget>
Widget *control(BingoWindow *window, const QString &name)
{
    auto *found = window->centralWidget()->findChild<Widget *>(name);
    Q_ASSERT(found);
    return found;
}

int cellsReadingX(BingoWindow *window)
{
    int called = 0;
    for (int n = 1; n <= 90; ++n)
        called += control<QLabel>(window, QStringLiteral("Text1_%1").arg(n))->text() == QLatin1String("X");
    return called;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The numbers of the last "called: " line the process printed, waiting for it as long as needed.
QStringList readCalls(QProcess &process, QByteArray *out)
{
    while (!(out->contains("called: ") && out->endsWith('\n')) && process.waitForReadyRead(60000))
        *out += process.readAllStandardOutput();
    const QByteArray line = out->mid(out->lastIndexOf("called: ") + 8);
    return QString::fromLatin1(line).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

enum class GameState { NotStarted, Calling, Paused, Ended, SpeededUp, SlowedDown, GreenTheme, BlackTheme, SoundOff };
enum class Trigger { Button, Menu };

} // namespace

Q_DECLARE_METATYPE(GameState)
Q_DECLARE_METATYPE(Trigger)

class TestWindowShell : public QObject
{
    Q_OBJECT

private slots:
    // Run with BINGO_TEST_PLAY naming its data folder, this program is the caller that
    // carriesOnAfterAKill kills: it starts a game, calls 12 numbers, prints them and waits. When
    // a later start asks for it, it says which window is in front and calls one number more.
    // Run with BINGO_TEST_START_AGAIN, it is that later start, as the program begins.
    void initTestCase()
    {
        if (qEnvironmentVariableIsSet("BINGO_TEST_START_AGAIN")) {
            SoleCaller sole(qEnvironmentVariable("BINGO_TEST_START_AGAIN"));
            std::exit(sole.claim() ? 1 : 0);
        }
        if (!qEnvironmentVariableIsSet("BINGO_TEST_PLAY"))
            return;
        SoleCaller sole(qEnvironmentVariable("BINGO_TEST_PLAY"));
        QVERIFY(sole.claim());
        Caller caller(sole, m_silence, m_screen.emplace(), m_clock, m_question);
        m_shell = &caller.shell();
        BingoWindow *bingo = startGame();
        bingo->button("Command5")->click();
        QStringList called;
        auto call = [&] {
            bingo->Timer1_Timer();
            called.append(bingo->state().lastNumber.toText());
        };
        auto report = [&] {
            caller.journal().flush();
            QTextStream(stdout) << "called: " << called.join(' ') << Qt::endl;
        };
        for (int tick = 0; tick < 12; ++tick)
            call();
        // Killed while calling, with no tick of its own in between, once the journal is written.
        bingo->callingTimer().stop();
        report();
        QWidget elsewhere;
        elsewhere.setObjectName(QStringLiteral("elsewhere"));
        elsewhere.show();
        connect(&sole, &SoleCaller::frontWanted, this, [&] {
            QCoreApplication::processEvents();
            const QWidget *front = QApplication::activeWindow();
            QTextStream(stdout) << "front: " << (front ? front->objectName() : QString()) << Qt::endl;
            call();
            report();
        });
        QCoreApplication::exec();
    }

    void init()
    {
        m_journal = std::make_unique<Journal>();
        m_sound = std::make_unique<JournalingWavePlayer>(*m_journal);
        m_random = std::make_unique<JournalingRandom>(*m_journal);
        m_ends.clear();
        m_screen.emplace();
        m_data = std::make_unique<QTemporaryDir>();
        QVERIFY(openCaller(m_data->path()));
    }

    void cleanup()
    {
        m_caller.reset();
        m_sole.reset();
        m_disk.reset();
        returnToEventLoop();
        m_random.reset();
        m_sound.reset();
        m_journal.reset();
    }

    void startUpGreetsThenHandsOverToTheMainWindow()
    {
        m_shell->start();
        QCOMPARE(m_journal->lines, (QStringList{"play welcome.wav", "show Loading"}));
        LoadingWindow *loading = m_shell->loading();
        QVERIFY(loading);
        QVERIFY(loading->isVisible());
        QCOMPARE(loading->geometry(), centredOnScreen(loading));
        QVERIFY(loading->timer1().isActive());
        QCOMPARE(loading->timer1().interval(), 2000);
        QVERIFY(!m_shell->bingo());
        QVERIFY(!m_shell->closing());

        // The tick: the main window is loaded (its load step reseeds the draw) and shown before
        // the splash window's timer is disabled and the window hidden and unloaded.
        m_journal->lines.clear();
        const QPointer<QWidget> splash = loading;
        loading->Timer1_Timer();
        QCOMPARE(m_journal->lines, (QStringList{"reseed", "show Bingo", "hide Loading, Timer1 off"}));
        QVERIFY(!m_shell->loading());
        QVERIFY(!m_shell->closing());
        returnToEventLoop();
        QVERIFY(!splash);

        BingoWindow *bingo = m_shell->bingo();
        QVERIFY(bingo);
        QVERIFY(bingo->isVisible());
        QCOMPARE(bingo->geometry(), centredOnScreen(bingo));
        QCOMPARE(bingo->state().soundFiles.entry(1), QStringLiteral("1.wav"));
        QCOMPARE(bingo->state().soundFiles.entry(94), QStringLiteral("reset.wav"));
        QCOMPARE(m_random->reseeds, 1);

        // Calling waits for "Start".
        QVERIFY(!bingo->callingTimer().isActive());
        QCOMPARE(control<QPushButton>(bingo, QStringLiteral("Command5"))->text(), QStringLiteral("Start"));
        QCOMPARE(cellsReadingX(bingo), 0);
        QCOMPARE(m_sound->requests, QStringList{"welcome.wav"});
        QVERIFY(m_ends.isEmpty());
    }

    void exitHandsOverToTheFarewellWindow_data()
    {
        QTest::addColumn<Trigger>("trigger");
        QTest::addColumn<bool>("soundOff");
        QTest::newRow("Exit while calling") << Trigger::Button << false;
        QTest::newRow("Exit Bingo while calling") << Trigger::Menu << false;
        QTest::newRow("Exit while calling, sound off") << Trigger::Button << true;
        QTest::newRow("Exit Bingo while calling, sound off") << Trigger::Menu << true;
    }

    void exitHandsOverToTheFarewellWindow()
    {
        QFETCH(Trigger, trigger);
        QFETCH(bool, soundOff);
        QPointer<BingoWindow> bingo = startGame();
        if (soundOff)
            bingo->menuCommand("sOff")->trigger();
        QTest::mouseClick(bingo->button("Command5"), Qt::LeftButton);
        bingo->Timer1_Timer();
        bingo->Timer1_Timer();
        QVERIFY(bingo->callingTimer().isActive());
        QVERIFY(journalKept());
        QVERIFY(keptAwake(true));

        m_journal->lines.clear();
        m_sound->requests.clear();
        if (trigger == Trigger::Button)
            QTest::mouseClick(bingo->button("Command3"), Qt::LeftButton);
        else
            bingo->menuCommand("exit")->trigger();

        // "thanks.wav" starts, the farewell window is shown, then the main window goes, and its
        // calling timer with it.
        QCOMPARE(m_journal->lines, (QStringList{"play thanks.wav", "show Closing", "hide Bingo"}));
        // The farewell counts as gone: the journal has gone already, and a start now is a caller
        // of its own.
        QVERIFY(!QFile::exists(m_caller->journal().path()));
        QVERIFY(SoleCaller(m_data->path()).claim());
        QVERIFY(!m_shell->bingo());
        QVERIFY(bingo);
        QVERIFY(!bingo->callingTimer().isActive());
        QVERIFY(keptAwake(false));
        returnToEventLoop();
        QVERIFY(!bingo);

        ClosingWindow *closing = m_shell->closing();
        QVERIFY(closing);
        QVERIFY(closing->isVisible());
        QCOMPARE(closing->geometry(), centredOnScreen(closing));
        QVERIFY(closing->timer1().isActive());
        QCOMPARE(closing->timer1().interval(), 2000);
        QVERIFY(m_ends.isEmpty());

        // Two seconds later the farewell window's tick ends the program.
        m_journal->lines.clear();
        const QPointer<QWidget> farewell = closing;
        closing->Timer1_Timer();
        QCOMPARE(m_journal->lines, QStringList{"hide Closing, Timer1 off"});
        QVERIFY(!m_shell->closing());
        QCOMPARE(m_ends, QList<int>{0});
        returnToEventLoop();
        QVERIFY(!farewell);
        QCOMPARE(m_sound->requests, QStringList{"thanks.wav"});
    }

    void closeBoxEndsTheProgramAtOnceWithoutFarewell()
    {
        QPointer<BingoWindow> bingo = startGame();
        QTest::mouseClick(bingo->button("Command5"), Qt::LeftButton);
        bingo->Timer1_Timer();
        QVERIFY(journalKept());
        m_journal->lines.clear();
        m_sound->requests.clear();

        QVERIFY(keptAwake(true));
        QVERIFY(bingo->close());
        QVERIFY(!journalKept());
        QVERIFY(!bingo->callingTimer().isActive());
        QVERIFY(keptAwake(false));
        QVERIFY(!m_shell->bingo());
        QVERIFY(!m_shell->closing());
        QCOMPARE(m_journal->lines, QStringList{"hide Bingo"});
        QVERIFY(m_sound->requests.isEmpty());
        QCOMPARE(m_ends, QList<int>{0});
        returnToEventLoop();
        QVERIFY(!bingo);
    }

    void resetGivesTheNotStartedState_data()
    {
        QTest::addColumn<GameState>("state");
        QTest::addColumn<Trigger>("trigger");
        const std::pair<GameState, const char *> states[] = {
            {GameState::NotStarted, "not started"}, {GameState::Calling, "calling"},
            {GameState::Paused, "paused"},          {GameState::Ended, "ended"},
            {GameState::SpeededUp, "after Speed Up"}, {GameState::SlowedDown, "after Slow Down"},
            {GameState::GreenTheme, "under the Green theme"}, {GameState::BlackTheme, "under the Black theme"},
            {GameState::SoundOff, "with sound off"},
        };
        for (const auto &[state, name] : states) {
            QTest::addRow("%s, Reset button", name) << state << Trigger::Button;
            QTest::addRow("%s, Reset menu item", name) << state << Trigger::Menu;
        }
    }

    void resetGivesTheNotStartedState()
    {
        QFETCH(GameState, state);
        QFETCH(Trigger, trigger);
        QPointer<BingoWindow> old = startGame();
        bringTo(old, state);
        if (QTest::currentTestFailed())
            return;
        // The host has dragged the window aside.
        old->move(3, 5);

        QVERIFY(keptAwake(old->callingTimer().isActive()));
        m_journal->lines.clear();
        m_sound->requests.clear();
        if (trigger == Trigger::Button)
            QTest::mouseClick(old->button("Command2"), Qt::LeftButton);
        else
            old->menuCommand("Rest")->trigger();

        // Hidden and unloaded, loaded again (reseeding the draw) and shown; only the menu item
        // plays the reset cue, whatever the sound switch said.
        QStringList expected{"hide Bingo", "reseed", "show Bingo"};
        if (trigger == Trigger::Menu)
            expected.append(QStringLiteral("play reset.wav"));
        QCOMPARE(m_journal->lines, expected);
        QVERIFY(m_ends.isEmpty());
        QVERIFY(!journalKept());

        // No tick of the old game can run any more.
        BingoWindow *bingo = m_shell->bingo();
        QVERIFY(bingo);
        QVERIFY(old);
        QVERIFY(bingo != old.data());
        QVERIFY(!old->isVisible());
        QVERIFY(!old->callingTimer().isActive());
        QVERIFY(keptAwake(false));
        returnToEventLoop();
        QVERIFY(!old);

        verifyNotStarted(bingo);
        if (QTest::currentTestFailed())
            return;

        // Sound is on again, and the next "Start" begins a game whose first tick counts 1.
        m_sound->requests.clear();
        m_random->script = {ScriptedRandom::drawing(42)};
        QTest::mouseClick(bingo->button("Command5"), Qt::LeftButton);
        bingo->Timer1_Timer();
        QCOMPARE(m_sound->requests, (QStringList{"restart.wav", "42.wav"}));
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label2"))->text(), QStringLiteral("1"));
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Text1_42"))->text(), QStringLiteral("X"));
    }

    void resetAfterTheEndGivesAFullNewGame()
    {
        BingoWindow *bingo = startGame();
        bringTo(bingo, GameState::Ended);
        QCOMPARE(cellsReadingX(bingo), 0);

        QTest::mouseClick(bingo->button("Command2"), Qt::LeftButton);
        returnToEventLoop();
        bingo = m_shell->bingo();
        QTest::mouseClick(bingo->button("Command5"), Qt::LeftButton);
        m_sound->requests.clear();
        for (int tick = 1; tick <= 89; ++tick)
            bingo->Timer1_Timer();
        QCOMPARE(cellsReadingX(bingo), 89);
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label2"))->text(), QStringLiteral("89"));
        QCOMPARE(m_sound->requests.size(), 89);
        QCOMPARE(QSet<QString>(m_sound->requests.begin(), m_sound->requests.end()).size(), 89);
        QVERIFY(bingo->callingTimer().isActive());

        // The 90th tick ends it.
        bingo->Timer1_Timer();
        QVERIFY(!bingo->callingTimer().isActive());
        QCOMPARE(cellsReadingX(bingo), 0);
    }

    // A game of 12 calls killed while calling (SIGKILL; TerminateProcess on Windows), then the
    // program started again, the question answered, and the game played to its end. Before the
    // kill, a second start on the same folder may find that caller at work, which then calls a
    // 13th number: written to its journal, or refused by a full disk, which leaves the last good
    // journal of 12.
    void carriesOnAfterAKill_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("startedAgain");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("Yes, with Return") << true << false << false;
        QTest::newRow("No") << false << false << false;
        QTest::newRow("Yes, after a second start") << true << true << false;
        QTest::newRow("Yes, after a second start and a call on a full disk") << true << true << true;
    }

    void carriesOnAfterAKill()
    {
        QFETCH(bool, yes);
        QFETCH(bool, startedAgain);
        QFETCH(bool, diskFull);
        if (diskFull && !m_disk.emplace().isMounted())
            QSKIP("Mounting a small tmpfs to fill needs root on Linux");
        const QString hall = diskFull ? m_disk->path() : m_data->filePath(QStringLiteral("hall"));
        QProcess killed;
        killed.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        qputenv("BINGO_TEST_PLAY", hall.toLocal8Bit());
        killed.start(QCoreApplication::applicationFilePath(), QStringList());
        qunsetenv("BINGO_TEST_PLAY");
        QByteArray out;
        QStringList called = readCalls(killed, &out);
        QCOMPARE(called.size(), 12);

        if (startedAgain) {
            if (diskFull)
                m_disk->fill();
            QProcess again;
            again.setProcessChannelMode(QProcess::ForwardedChannels);
            qputenv("BINGO_TEST_START_AGAIN", hall.toLocal8Bit());
            again.start(QCoreApplication::applicationFilePath(), QStringList());
            qunsetenv("BINGO_TEST_START_AGAIN");
            QVERIFY(again.waitForFinished(60000));
            QCOMPARE(again.exitStatus(), QProcess::NormalExit);
            QCOMPARE(again.exitCode(), 0);
            out.clear();
            called = readCalls(killed, &out);
            QVERIFY2(QString::fromLatin1(out).remove('\r').split('\n').contains("front: Bingo"), out.constData());
            QCOMPARE(called.size(), 13);
        }
        killed.kill();
        QVERIFY(killed.waitForFinished(60000));
        // The question then says which journal the file held.
        if (diskFull) {
            called.removeLast();
            m_disk->makeRoom();
        }

        // Were there no question, its answer would not run and the checks below would fail.
        QVERIFY2(openCaller(hall), "the killed caller's lock was not taken over");
        BingoWindow *bingo = startGame();
        m_sound->requests.clear();
        const QString asked = QStringLiteral("The last game ended unexpectedly after %1 numbers. Carry on with it?")
                                  .arg(called.size());
        // The question waits in the event queue; delivering it runs it until this answers it.
        QObject answering;
        bool answered = false;
        QTimer::singleShot(0, &answering, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->text(), asked);
            yes ? QTest::keyClick(box, Qt::Key_Return) : box->button(QMessageBox::No)->click();
            answered = true;
        });
        QCoreApplication::sendPostedEvents();
        QVERIFY2(answered, "no question was asked");
        const int count = int(called.size());
        QCOMPARE(cellsReadingX(bingo), yes ? count : 0);
        for (const QString &n : called)
            QCOMPARE(control<QLabel>(bingo, "Text1_" + n)->text() == QLatin1String("X"), yes);
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label2"))->text(), yes ? QString::number(count) : QStringLiteral("0"));
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label5"))->text(), yes ? called[count - 2] : QStringLiteral("-"));
        QCOMPARE(bingo->button("Command5")->text(), yes ? QStringLiteral("Restart") : QStringLiteral("Start"));
        // The hall hears the last number again, and nothing else, before calling resumes.
        QCOMPARE(m_sound->requests, yes ? QStringList{called.last() + ".wav"} : QStringList());
        QCOMPARE(journalKept(), yes);

        // The rest of the game calls each number not called yet, once; its end leaves no journal.
        QStringList game = yes ? called : QStringList();
        QTest::mouseClick(bingo->button("Command5"), Qt::LeftButton);
        for (bingo->Timer1_Timer(); bingo->callingTimer().isActive(); bingo->Timer1_Timer())
            game.append(control<QLabel>(bingo, QStringLiteral("Label1"))->text());
        QCOMPARE(QSet<QString>(game.begin(), game.end()).size(), 89);
        QCOMPARE(game.size(), 89);
        QVERIFY(!journalKept());
    }

    // What a killed caller leaves when the system has given its process id to this start, as
    // Wine does at once: a lock that names this very process. It is taken over all the same.
    void takesOverALockThatNamesThisProcess()
    {
        QLockFile mine(m_data->filePath(QStringLiteral("mine.lock")));
        QVERIFY(mine.tryLock(0));
        QFile left(m_data->filePath(QStringLiteral("hall/journal.lock")));
        QVERIFY(QDir().mkpath(m_data->filePath(QStringLiteral("hall"))) && left.open(QIODevice::WriteOnly));
        left.write(contents(mine.fileName()));
        left.close();
        QVERIFY(SoleCaller(m_data->filePath(QStringLiteral("hall"))).claim());
    }

    // A second start that reaches the caller's folder by another spelling of it still finds that
    // caller, which comes to the front at once; the start waits for no answer and warns of none.
    void aSecondStartThroughAnotherSpellingBringsTheCallerForward()
    {
        const QString hall = m_data->filePath(QStringLiteral("hall"));
        QVERIFY(QDir().mkpath(hall));
#ifdef Q_OS_WIN
        const QString spelling = m_data->filePath(QStringLiteral("HALL"));
#else
        const QString spelling = m_data->filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(hall, spelling));
#endif
        SoleCaller first(hall);
        QVERIFY(first.claim());
        QSignalSpy front(&first, &SoleCaller::frontWanted);
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        QVERIFY(!SoleCaller(spelling).claim());
        QVERIFY(front.wait(5000));
    }

private:
    // The program as main() starts it, on a data folder of its own, with the test's services.
    bool openCaller(const QString &folder)
    {
        m_caller.reset();
        m_sole = std::make_unique<SoleCaller>(folder);
        if (!m_sole->claim())
            return false;
        m_caller = std::make_unique<Caller>(*m_sole, *m_sound, *m_screen, *m_random, m_question,
                                            [this](int status) { m_ends.append(status); });
        m_shell = &m_caller->shell();
        return true;
    }

    // The loudspeakers and the screen are kept awake together, and only while calling.
    bool keptAwake(bool calling) const { return m_sound->awake == calling && screenKept(*m_screen) == calling; }

    bool journalKept()
    {
        m_caller->journal().flush();
        return QFile::exists(m_caller->journal().path());
    }

    // Starts the program and lets the splash window hand over; returns the main window.
    BingoWindow *startGame()
    {
        m_shell->start();
        m_shell->loading()->Timer1_Timer();
        returnToEventLoop();
        BingoWindow *bingo = m_shell->bingo();
        Q_ASSERT(bingo);
        return bingo;
    }

    void bringTo(BingoWindow *bingo, GameState state)
    {
        auto click = [bingo](const char *name) { QTest::mouseClick(bingo->button(name), Qt::LeftButton); };
        m_random->script = {ScriptedRandom::drawing(7), ScriptedRandom::drawing(8)};
        switch (state) {
        case GameState::NotStarted:
            break;
        case GameState::Calling:
            click("Command5");
            bingo->Timer1_Timer();
            bingo->Timer1_Timer();
            control<QLineEdit>(bingo, QStringLiteral("Text2"))->setText(QStringLiteral("12"));
            QVERIFY(bingo->callingTimer().isActive());
            QCOMPARE(cellsReadingX(bingo), 2);
            break;
        case GameState::Paused:
            click("Command5");
            bingo->Timer1_Timer();
            click("Command5");
            QVERIFY(!bingo->callingTimer().isActive());
            QCOMPARE(bingo->button("Command5")->text(), QStringLiteral("Restart"));
            break;
        case GameState::Ended:
            click("Command5");
            for (int tick = 1; tick <= 90; ++tick)
                bingo->Timer1_Timer();
            QVERIFY(!bingo->callingTimer().isActive());
            QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label5"))->text(), QStringLiteral(" "));
            QCOMPARE(control<QLabel>(bingo, QStringLiteral("Text1_7"))->text(), QStringLiteral("7"));
            break;
        case GameState::SpeededUp:
            click("Command6");
            click("Command5");
            QCOMPARE(bingo->callingTimer().interval(), 2500);
            break;
        case GameState::SlowedDown:
            click("Command1");
            QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label8"))->text(), QStringLiteral("Slow"));
            break;
        case GameState::GreenTheme:
            bingo->menuCommand("Green")->trigger();
            QCOMPARE(pixel(bingo->button("Command2"), 4, 4), QColor(0, 64, 0));
            break;
        case GameState::BlackTheme:
            click("Command5");
            bingo->Timer1_Timer();
            bingo->menuCommand("Black")->trigger();
            QCOMPARE(pixel(bingo->centralWidget(), 2, 380), QColor(Qt::black));
            break;
        case GameState::SoundOff:
            bingo->menuCommand("sOff")->trigger();
            QVERIFY(bingo->state().soundFiles.entry(42).isEmpty());
            break;
        }
    }

    // The main window exactly as after start-up, read back from the widgets.
    void verifyNotStarted(BingoWindow *bingo)
    {
        QVERIFY(bingo->isVisible());
        QCOMPARE(bingo->geometry(), centredOnScreen(bingo));
        QWidget *client = bingo->centralWidget();
        for (int n = 1; n <= 90; ++n) {
            auto *cell = control<QLabel>(bingo, QStringLiteral("Text1_%1").arg(n));
            QCOMPARE(cell->text(), QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')));
            QCOMPARE(cell->palette().color(QPalette::WindowText), kYellow);
            QCOMPARE(cell->palette().color(QPalette::Window), kDarkBlue);
        }
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label1"))->text(), QString());
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label2"))->text(), QStringLiteral("0"));
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label5"))->text(), QStringLiteral("-"));
        QCOMPARE(control<QLabel>(bingo, QStringLiteral("Label8"))->text(), QStringLiteral("Normal"));
        for (const char *name : {"Label2", "Label3", "Label4", "Label5", "Label8"})
            QCOMPARE(control<QLabel>(bingo, QLatin1String(name))->palette().color(QPalette::Window), kDarkBlue);
        QVERIFY(!bingo->callingTimer().isActive());
        QCOMPARE(bingo->callingTimer().interval(), 5000);
        QPushButton *start = bingo->button("Command5");
        QCOMPARE(start->text(), QStringLiteral("Start"));
        QCOMPARE(start->font().pointSizeF(), 30.0);
        for (const char *name : {"Command5", "Command2", "Command3", "Command8"})
            QCOMPARE(pixel(bingo->button(name), 4, 4), kRed);
        QCOMPARE(pixel(client, 2, 380), kDarkBlue);
        QCOMPARE(control<QLineEdit>(bingo, QStringLiteral("Text2"))->text(), QString());

        const BingoState &state = bingo->state();
        QVERIFY(state.lastNumber.isEmpty());
        QVERIFY(state.calledCount.isEmpty());
        for (int k = 1; k <= SoundTable::kEntries; ++k)
            QCOMPARE(state.soundFiles.entry(k), SoundTable::defaultName(k));
    }

    std::unique_ptr<Journal> m_journal;
    std::unique_ptr<JournalingWavePlayer> m_sound;
    std::unique_ptr<JournalingRandom> m_random;
    std::unique_ptr<QTemporaryDir> m_data;
    std::optional<SmallDisk> m_disk;
    std::unique_ptr<SoleCaller> m_sole;
    std::unique_ptr<Caller> m_caller;
    WindowShell *m_shell = nullptr;
    MessageBoxQuestion m_question;
    RecordingWavePlayer m_silence;
    std::optional<ScreenKeeperUnderTest> m_screen;
    ClockSeededRandom m_clock;
    QList<int> m_ends;
};

QTEST_MAIN(TestWindowShell)
#include "tst_windowshell.moc"
