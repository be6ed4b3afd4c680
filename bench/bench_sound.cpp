// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what the sound player costs against a real audio server, with the wave files the
// script put in the working folder:
//   ticks N MS  N ticks of the shown main window at MS ms a tick, calling the voice pack: the
//               processor time a tick costs, for the whole process and for its main thread, and
//               how often the process woke up;
//   between     a game calling at Slow, the output kept awake: the processor time and wakeups a
//               second between a call's end and the next tick, then the same paused;
//   onset N     N calls about a second apart: from the banner's repaint to the first 10 ms at the
//               server's monitor with a sample above 800, recorded by parec as a host's sound
//               card would play it;
//   game N      a whole game at N ms a tick: the latest tick, the longest the window was kept
//               from its events, and the resident memory after the game;
//   quiet N     the same game with no sound at all: how late ticks come on this machine anyway;
//   latency     how long a sound takes from the request to the first sample the server plays,
//               measured on the server's monitor, for files used for the first time and again,
//               and how long a sound goes on after the request that cuts it off;
//   exit        how long "Exit" takes to end the program after the calls played damaged files.
#include "processcpu.h"

#include "app/windowshell.h"
#include "engine/randomsource.h"
#include "services/sound/pulsewaveplayer.h"
#include "ui/bingowindow.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioSource>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A line of /proc/self/status, in KiB.
long statusKiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toLong();
    return -1;
}

class SilentPlayer : public WavePlayer
{
public:
    void playWave(const QString &) override {}
};

// The output is kept awake while the window calls, as in the program.
void keepAwakeWhileCalling(BingoWindow &window, WavePlayer &sound)
{
    QObject::connect(&window, &BingoWindow::callingChanged, [&sound](bool calling) { sound.keepOutputAwake(calling); });
}

int game(int interval, WavePlayer &sound, const char *files)
{
    ClockSeededRandom random([] { return quint64(42); });
    BingoWindow window(sound, random);
    QElapsedTimer clock;
    clock.start();

    // The probe runs every 2 ms; any longer gap is time the event loop was held up.
    qint64 lastProbe = clock.nsecsElapsed();
    qint64 worstStall = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worstStall = std::max(worstStall, now - lastProbe - 2'000'000);
        lastProbe = now;
    });
    probe.start(2);

    QEventLoop gameOver;
    qint64 lastTick = 0;
    qint64 latestTick = 0;
    int ticks = 0;
    QTimer &calling = window.callingTimer();
    QObject::connect(&calling, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTick)
            latestTick = std::max(latestTick, now - lastTick - qint64(interval) * 1'000'000);
        lastTick = now;
        if (++ticks == 90)
            QTimer::singleShot(1000, &gameOver, &QEventLoop::quit);
    });
    window.button("Command5")->click();
    calling.setTimerType(Qt::PreciseTimer);
    calling.setInterval(interval);
    gameOver.exec();

    std::printf("a game of 89 calls at %d ms a tick, %s:\n", interval, files);
    std::printf("latest tick:                         %8.1f ms\n", latestTick / 1e6);
    std::printf("longest hold-up of the event loop:   %8.1f ms\n", worstStall / 1e6);
    std::printf("resident memory after the game:      %8ld KiB (peak %ld KiB)\n",
                statusKiB("VmRSS:"), statusKiB("VmHWM:"));
    return ticks == 90 ? 0 : 1;
}

// Records the server's monitor and tells, for a moment of the clock, the first loud sample
// after it. Each read of the recording bounds when its samples were played: no later than the
// read, so the least delayed read places them all.
class MonitorRecorder
{
public:
    static constexpr int kRate = 22050;

    explicit MonitorRecorder(const QElapsedTimer &clock) : m_clock(clock)
    {
        QAudioFormat format;
        format.setSampleFormat(QAudioFormat::Int16);
        format.setSampleRate(kRate);
        format.setChannelCount(1);
        m_source = std::make_unique<QAudioSource>(QMediaDevices::defaultAudioInput(), format);
        m_source->setBufferSize(kRate * 2 / 100); // reads every 10 ms
        m_input = m_source->start();
        QObject::connect(m_input, &QIODevice::readyRead, [this] {
            m_samples.append(m_input->readAll());
            const qint64 played = m_samples.size() / 2;
            m_offset = std::min(m_offset, m_clock.nsecsElapsed() - played * 1'000'000'000 / kRate);
        });
    }

    bool recording() const { return m_input && m_samples.size() > 0; }

    // Nanoseconds from `requested` to the first sample louder than a quarter of full scale.
    qint64 onsetAfter(qint64 requested) const
    {
        const auto *samples = reinterpret_cast<const qint16 *>(m_samples.constData());
        const qint64 count = m_samples.size() / 2;
        for (qint64 n = std::max<qint64>(0, (requested - m_offset) * kRate / 1'000'000'000); n < count; ++n)
            if (std::abs(samples[n]) > 8192)
                return m_offset + n * 1'000'000'000 / kRate - requested;
        return -1;
    }

    // Nanoseconds from `requested` to the last loud sample within half a second after it.
    qint64 endAfter(qint64 requested) const
    {
        const auto *samples = reinterpret_cast<const qint16 *>(m_samples.constData());
        const qint64 from = std::max<qint64>(0, (requested - m_offset) * kRate / 1'000'000'000);
        const qint64 to = std::min<qint64>(m_samples.size() / 2, from + kRate / 2);
        qint64 last = -1;
        for (qint64 n = from; n < to; ++n)
            if (std::abs(samples[n]) > 8192)
                last = n;
        return last < 0 ? 0 : m_offset + last * 1'000'000'000 / kRate - requested;
    }

private:
    const QElapsedTimer &m_clock;
    std::unique_ptr<QAudioSource> m_source;
    QIODevice *m_input = nullptr;
    QByteArray m_samples;
    qint64 m_offset = std::numeric_limits<qint64>::max();
};

// Times the process has woken up so far: every time one of its threads waited and went on.
long wakeups()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

int tickCost(int ticks, int interval)
{
    PulseWavePlayer sound;
    ClockSeededRandom random;
    BingoWindow window(sound, random);
    keepAwakeWhileCalling(window, sound);
    window.show();
    QTimer &calling = window.callingTimer();
    int done = 0;
    double startProcess = 0;
    double startMain = 0;
    long startWakeups = 0;
    QEventLoop finished;
    // Counted from the end of the first tick, which opens the sound stream.
    QObject::connect(&calling, &QTimer::timeout, [&] {
        if (done++ == 0) {
            startProcess = cpuMilliseconds();
            startMain = cpuMilliseconds(RUSAGE_THREAD);
            startWakeups = wakeups();
        } else if (done == ticks + 1) {
            std::printf("the caller:                     %6.2f ms a tick (main thread %5.2f ms), %5.1f wakeups a tick\n",
                        (cpuMilliseconds() - startProcess) / ticks, (cpuMilliseconds(RUSAGE_THREAD) - startMain) / ticks,
                        double(wakeups() - startWakeups) / ticks);
            finished.quit();
        }
    });
    window.button("Command5")->click();
    calling.setInterval(interval);
    finished.exec();
    return 0;
}

// The processor time and wakeups a second of the process over the next `ms` milliseconds.
void printIdleCost(const char *what, int ms)
{
    const double cpu = cpuMilliseconds();
    const long woken = wakeups();
    runEventsFor(ms);
    std::printf("%s %6.2f ms of processor time a second, %5.1f wakeups a second\n", what,
                (cpuMilliseconds() - cpu) * 1000 / ms, double(wakeups() - woken) * 1000 / ms);
}

int between()
{
    PulseWavePlayer sound;
    ClockSeededRandom random;
    BingoWindow window(sound, random);
    keepAwakeWhileCalling(window, sound);
    window.show();
    window.button("Command1")->click(); // Slow: 7.5 s a call
    window.button("Command5")->click();
    QEventLoop ticked;
    QObject::connect(&window.callingTimer(), &QTimer::timeout, &ticked, &QEventLoop::quit);
    ticked.exec();
    // The call has ended 3 s after the tick; the next tick is 7.5 s after it.
    runEventsFor(3000);
    printIdleCost("calling at Slow, between a call's end and the next tick:", 4000);
    window.button("Command5")->click();
    runEventsFor(3000);
    printIdleCost("paused, from 3 s after the pause, over 10 s:             ", 10000);
    return 0;
}

// Records the server's monitor with parec, 10 ms at a time, and for each moment it is given
// tells when the first 10 ms with a loud sample arrived after it.
class ParecRecorder
{
public:
    static constexpr int kRate = 16000;
    static constexpr qsizetype kChunkBytes = kRate / 100 * 2;

    explicit ParecRecorder(const QElapsedTimer &clock) : m_clock(clock)
    {
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, [this] { onRead(); });
        m_parec.start(QStringLiteral("parec"), {QStringLiteral("-d"), QStringLiteral("caller.monitor"),
                                                QStringLiteral("--latency-msec=10"), QStringLiteral("--raw"),
                                                QStringLiteral("--format=s16le"), QStringLiteral("--rate=16000"),
                                                QStringLiteral("--channels=1")});
    }
    ~ParecRecorder()
    {
        m_parec.kill();
        m_parec.waitForFinished();
    }

    bool recording() const { return m_received > 0; }
    // From now on, the next loud chunk's arrival is timed from `moment`.
    void expectSoundAfter(qint64 moment)
    {
        if (m_since < 0)
            m_since = moment;
    }
    const std::vector<qint64> &onsets() const { return m_onsets; }

private:
    void onRead()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_pending.append(m_parec.readAllStandardOutput());
        m_received += m_pending.size();
        qsizetype done = 0;
        for (; done + kChunkBytes <= m_pending.size(); done += kChunkBytes) {
            const auto *samples = reinterpret_cast<const qint16 *>(m_pending.constData() + done);
            const bool loud = std::any_of(samples, samples + kChunkBytes / 2, [](qint16 v) { return std::abs(v) > 800; });
            if (loud && m_since >= 0) {
                m_onsets.push_back(now - m_since);
                m_since = -1;
            }
        }
        m_pending.remove(0, done);
    }

    const QElapsedTimer &m_clock;
    QProcess m_parec;
    QByteArray m_pending;
    qint64 m_received = 0;
    qint64 m_since = -1;
    std::vector<qint64> m_onsets;
};

void printSpread(const char *what, std::vector<qint64> values)
{
    if (values.empty()) {
        std::printf("%s nothing heard\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    std::printf("%s median %6.1f ms, worst %6.1f ms (%zu sounds)\n", what, values[values.size() / 2] / 1e6,
                values.back() / 1e6, values.size());
}

// Each call's banner repaint, timed to the sound at the monitor.
class BannerRepaints : public QObject
{
public:
    BannerRepaints(BingoWindow &window, ParecRecorder &recorder, const QElapsedTimer &clock)
        : m_recorder(recorder), m_clock(clock)
    {
        window.findChild<QLabel *>(QStringLiteral("Label1"))->installEventFilter(this);
        connect(&window.callingTimer(), &QTimer::timeout, this, [this] { m_ticked = true; });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_ticked) {
            m_ticked = false;
            m_recorder.expectSoundAfter(m_clock.nsecsElapsed());
        }
        return false;
    }

private:
    ParecRecorder &m_recorder;
    const QElapsedTimer &m_clock;
    bool m_ticked = false;
};

int onset(int calls)
{
    QElapsedTimer clock;
    clock.start();
    ParecRecorder recorder(clock);
    PulseWavePlayer sound;
    ClockSeededRandom random;
    BingoWindow window(sound, random);
    keepAwakeWhileCalling(window, sound);
    window.show();
    BannerRepaints repaints(window, recorder, clock);
    runEventsFor(1000);
    if (!recorder.recording()) {
        std::printf("no recording from parec\n");
        return 1;
    }
    window.button("Command5")->click();
    // Not a whole number of the sink's 10 ms periods, so the calls fall at every point of them.
    window.callingTimer().setInterval(1003);
    runEventsFor(1003 * (calls + 1) + 500);
    printSpread("banner repaint to the first loud 10 ms at the monitor:", recorder.onsets());
    return 0;
}

int latency()
{
    QElapsedTimer clock;
    clock.start();
    MonitorRecorder recorder(clock);
    PulseWavePlayer sound;
    // The null sink plays in long blocks until a reader asks for short ones; let it settle.
    runEventsFor(2500);
    if (!recorder.recording()) {
        std::printf("no recording from the audio server\n");
        return 1;
    }
    std::vector<qint64> first;
    std::vector<qint64> again;
    for (int i = 1; i <= 10; ++i) {
        for (const bool used : {false, true}) {
            const qint64 requested = clock.nsecsElapsed();
            sound.playWave(QStringLiteral("tone%1.wav").arg(i));
            runEventsFor(500);
            (used ? again : first).push_back(recorder.onsetAfter(requested));
            runEventsFor(300);
        }
    }
    const auto print = [](const char *what, std::vector<qint64> values) {
        std::sort(values.begin(), values.end());
        std::printf("%s median %6.1f ms, worst %6.1f ms\n", what, values[values.size() / 2] / 1e6,
                    values.front() < 0 ? -1.0 : values.back() / 1e6);
    };
    // These place each sample at the earliest moment the recording's reads allow: the moment the
    // server wrote it, not the moment a sound card's listener would hear it.
    // A long sound cut off by a silent one: how long it goes on after the request.
    std::vector<qint64> cut;
    for (int i = 0; i < 10; ++i) {
        sound.playWave(QStringLiteral("long.wav"));
        runEventsFor(600);
        const qint64 requested = clock.nsecsElapsed();
        sound.playWave(QStringLiteral("quiet.wav"));
        runEventsFor(700);
        cut.push_back(recorder.endAfter(requested));
    }
    print("request to the first write at the monitor, file first used:", first);
    print("request to the first write at the monitor, file used again:", again);
    print("end of a sound cut off by the next one:                    ", cut);
    return 0;
}

int exitAfterDamagedFiles(QApplication &app)
{
    auto sound = std::make_unique<PulseWavePlayer>();
    ClockSeededRandom random;
    auto shell = std::make_unique<WindowShell>(*sound, random);
    QElapsedTimer clock;
    shell->start();
    QTimer::singleShot(0, [&] {
        shell->Loading_Timer1_Timer();
        shell->bingo()->button("Command5")->click();
        shell->bingo()->Timer1_Timer();
    });
    QTimer::singleShot(300, [&] { shell->bingo()->Timer1_Timer(); });
    // The farewell window's two seconds are the design's; the tick is run at once.
    QTimer::singleShot(600, [&] {
        clock.start();
        shell->Command3_Click();
        shell->Closing_Timer1_Timer();
    });
    app.exec();
    shell.reset();
    sound.reset();
    std::printf("exit after damaged number files:     %8.1f ms\n", clock.nsecsElapsed() / 1e6);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString mode = arguments.value(1);
    const int interval = arguments.value(2, QStringLiteral("2500")).toInt();
    if (mode == u"game") {
        PulseWavePlayer sound;
        return game(interval, sound, "every number file ~100 MB");
    }
    if (mode == u"quiet") {
        SilentPlayer sound;
        return game(interval, sound, "no sound at all");
    }
    if (mode == u"ticks")
        return tickCost(interval, arguments.value(3, QStringLiteral("2500")).toInt());
    if (mode == u"latency")
        return latency();
    if (mode == u"between")
        return between();
    if (mode == u"onset")
        return onset(interval);
    if (mode == u"exit")
        return exitAfterDamagedFiles(app);
    std::fprintf(stderr, "usage: bench_sound ticks N MS | game MS | quiet MS | between | onset N | latency | exit\n");
    return 2;
}
