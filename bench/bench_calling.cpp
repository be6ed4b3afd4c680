// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the caller costs: loading the main window against a bare Qt window, one tick of
// calling with its repaint, a colour theme over the whole board, the draw alone, and the game
// journal kept after each tick.
#include "app/journalfile.h"
#include "engine/bingostate.h"
#include "engine/numberdraw.h"
#include "engine/randomsource.h"
#include "services/sound/pulsewaveplayer.h"
#include "services/waveplayer.h"
#include "ui/bingowindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

class SilentPlayer : public WavePlayer
{
public:
    void playWave(const QString &) override {}
};

template <typename Work>
double microsecondsPerRun(int runs, Work work)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < runs; ++i)
        work(i);
    return double(clock.nsecsElapsed()) / 1000.0 / runs;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SilentPlayer sound;
    ClockSeededRandom random([] { return quint64(42); });

    const double bare = microsecondsPerRun(20, [](int) {
        QMainWindow window;
        window.resize(790, 591);
        window.grab();
    });
    const double loaded = microsecondsPerRun(20, [&](int) {
        BingoWindow window(sound, random);
        window.grab();
    });

    BingoWindow window(sound, random);
    constexpr int kGames = 40;
    const double tick = microsecondsPerRun(kGames * 90, [&](int i) {
        if (i % 90 == 0)
            window.button("Command5")->click();
        window.Timer1_Timer();
        window.centralWidget()->grab();
    });
    const double theme = microsecondsPerRun(200, [&](int i) {
        window.menuCommand(i % 2 ? "Green" : "blue")->trigger();
        window.centralWidget()->grab();
    });

    const double draw = microsecondsPerRun(2000, [&](int) {
        BingoState state = BingoState::designValues();
        Form_Load(state, random);
        for (int t = 0; t < 89; ++t)
            Timer1_Timer(state, random, sound);
    }) / 89;

    // The shell's work after each tick: the journal of the new state, handed to the writer
    // thread; and, apart, how long that thread then takes to replace the file on disk.
    QTemporaryDir scratch;
    JournalFile journalFile(scratch.path());
    BingoState game;
    QElapsedTimer journalClock;
    qint64 journalNanoseconds = 0;
    qint64 writeNanoseconds = 0;
    for (int i = 0; i < kGames * 89; ++i) {
        if (i % 89 == 0) {
            game = BingoState::designValues();
            Form_Load(game, random);
        }
        Timer1_Timer(game, random, sound);
        journalClock.start();
        journalFile.keep(journalOf(game));
        journalNanoseconds += journalClock.nsecsElapsed();
        journalClock.start();
        journalFile.flush();
        writeNanoseconds += journalClock.nsecsElapsed();
    }

    // Run in the build folder, this opens the audio back end and the first wave file.
    PulseWavePlayer speaker;
    const double firstSound = microsecondsPerRun(1, [&](int) { speaker.playWave(QStringLiteral("welcome.wav")); });
    const double nextSound = microsecondsPerRun(89, [&](int i) { speaker.playWave(QStringLiteral("%1.wav").arg(i + 1)); });

    std::printf("first sound request, back end opened:%8.1f us\n", firstSound);
    std::printf("later sound request, file first used: %8.1f us\n", nextSound);
    std::printf("bare Qt window, build and paint:      %8.1f us\n", bare);
    std::printf("main window, load and paint:          %8.1f us\n", loaded);
    std::printf("one tick with repaint of the board:   %8.1f us\n", tick);
    std::printf("colour theme with repaint:            %8.1f us\n", theme);
    std::printf("one tick of the logic alone:          %8.2f us\n", draw);
    std::printf("journal after a tick, on the UI thread:%7.1f us\n", journalNanoseconds / 1000.0 / (kGames * 89));
    std::printf("journal written by its thread:        %8.1f us\n", writeNanoseconds / 1000.0 / (kGames * 89));
    std::printf("journal after 89 calls:               %8lld bytes\n", QFileInfo(journalFile.path()).size());
    return 0;
}
