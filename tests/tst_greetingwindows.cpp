// SPDX-License-Identifier: GPL-3.0-or-later
// The splash and farewell windows as the host sees them, read back from the widgets: a
// borderless dark-blue card with the title picture and yellow labels, and a timer that ticks
// once, two seconds after the window is created.
#include "app/closingwindow.h"
#include "app/loadingwindow.h"
#include "fakes.h"
#include "screencolours.h"
#include "ui/announcer.h"

#include <QFontMetrics>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace ScreenColours;

namespace {


enum class Which { Loading, Closing };

std::unique_ptr<GreetingWindow> create(Which which, WavePlayer &sound)
{
    if (which == Which::Loading)
        return std::make_unique<LoadingWindow>(sound);
    return std::make_unique<ClosingWindow>(sound);
}

QLabel *labelOf(QWidget *window, const QString &name)
{
    return window->findChild<QLabel *>(name, Qt::FindDirectChildrenOnly);
}

} // namespace

Q_DECLARE_METATYPE(Which)

class TestGreetingWindows : public QObject
{
    Q_OBJECT

private slots:
    void windowIsABorderlessBlueCard_data()
    {
        QTest::addColumn<Which>("which");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("greeting");
        QTest::addColumn<QString>("spokenName");
        QTest::newRow("splash") << Which::Loading << QStringLiteral("Loading") << QStringLiteral("welcome.wav")
                                << QStringLiteral("Welcome to Bingo");
        QTest::newRow("farewell") << Which::Closing << QStringLiteral("Closing") << QStringLiteral("thanks.wav")
                                  << QStringLiteral("Thank you for playing Bingo");
    }

    void windowIsABorderlessBlueCard()
    {
        QFETCH(Which, which);
        QFETCH(QString, name);
        QFETCH(QString, greeting);
        QFETCH(QString, spokenName);
        RecordingWavePlayer sound;
        const auto window = create(which, sound);
        QCOMPARE(window->accessibleName(), spokenName);
        QCOMPARE(labelOf(window.get(), QStringLiteral("Image1"))->accessibleName(), QStringLiteral("BINGO!"));

        // Loading plays the greeting, and nothing else.
        QCOMPARE(sound.requests, QStringList{greeting});
        QCOMPARE(window->objectName(), name);
        QVERIFY(!window->isVisible());

        // No frame, so no title bar and no close control; a splash screen has no taskbar button.
        QCOMPARE(window->windowType(), Qt::SplashScreen);
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window->windowIcon().isNull());
        QCOMPARE(window->size(), QSize(479, 238));
        QCOMPARE(window->minimumSize(), QSize(479, 238));
        QCOMPARE(window->maximumSize(), QSize(479, 238));

        QSignalSpy greeted(window->findChild<Announcer *>(), &Announcer::announced);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(greeted.value(0).value(0).toString(), spokenName);
        const QImage shot = window->grab().toImage();
        QCOMPARE(shot.size(), QSize(479, 238));
        QCOMPARE(shot.pixelColor(4, 233), kDarkBlue);
        QCOMPARE(shot.pixelColor(474, 233), kDarkBlue);
        // The title picture's background is transparent: the window's blue shows through it.
        QCOMPARE(shot.pixelColor(2, 26), kDarkBlue);
    }

    void titlePictureAtItsNaturalSizeClippedAtTheRight_data() { windowIsABorderlessBlueCard_data(); }

    void titlePictureAtItsNaturalSizeClippedAtTheRight()
    {
        QFETCH(Which, which);
        RecordingWavePlayer sound;
        const auto window = create(which, sound);
        QLabel *image = labelOf(window.get(), QStringLiteral("Image1"));
        QVERIFY(image);
        QCOMPARE(image->geometry(), QRect(0, 24, 485, 129));
        QCOMPARE(image->pixmap().size(), QSize(485, 129));
        QVERIFY(!image->hasScaledContents());
        QVERIFY(image->geometry().right() >= window->width() + 5);

        // The word BINGO! in red, drawn by the picture and not by anything over it.
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QImage title = QImage(QStringLiteral(":/assets/title.gif")).convertToFormat(QImage::Format_ARGB32);
        int red = 0;
        for (int x = 0; x < 479; x += 3)
            if (title.pixelColor(x, 64) == QColor(Qt::red)) {
                QCOMPARE(window->grab().toImage().pixelColor(x, 24 + 64), QColor(Qt::red));
                ++red;
            }
        QVERIFY(red > 20);
    }

    void labelsStandAsDesigned_data()
    {
        QTest::addColumn<Which>("which");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("face");
        QTest::addColumn<double>("points");
        const QString balloon = QStringLiteral("BalloonEFDropShadow");
        const QString arial = QStringLiteral("Arial");
        const QString credits = QStringLiteral("Designed by the Bingo Caller developers");
        const QString address = QStringLiteral("bingo-caller.example");
        auto row = [](const char *tag, Which which, const char *name, QRect geometry, const QString &caption,
                      const QString &face, double points) {
            QTest::newRow(tag) << which << QString::fromLatin1(name) << geometry << caption << face << points;
        };
        row("splash Label1, welcome", Which::Loading, "Label1", {184, 8, 129, 25}, QStringLiteral("Welcome to"),
            balloon, 18);
        row("splash Label2, credits", Which::Loading, "Label2", {40, 144, 401, 25}, credits, arial, 12);
        row("splash Label4, loading", Which::Loading, "Label4", {192, 168, 121, 25}, QStringLiteral("Loading..."),
            balloon, 20.25);
        row("splash Label3, address", Which::Loading, "Label3", {64, 192, 353, 41}, address, arial, 27.75);
        row("farewell Label1, thanks", Which::Closing, "Label1", {128, 8, 241, 25},
            QStringLiteral("Thank you for playing"), balloon, 18);
        row("farewell Label2, credits", Which::Closing, "Label2", {40, 152, 401, 25}, credits, arial, 12);
        row("farewell Label3, address", Which::Closing, "Label3", {64, 184, 353, 41}, address, arial, 27.75);
    }

    void labelsStandAsDesigned()
    {
        QFETCH(Which, which);
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(QString, face);
        QFETCH(double, points);
        RecordingWavePlayer sound;
        const auto window = create(which, sound);
        QLabel *label = labelOf(window.get(), name);
        QVERIFY(label);
        QCOMPARE(label->geometry(), geometry);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->font().family(), face);
        QCOMPARE(label->font().pointSizeF(), points);
        QVERIFY(!label->font().bold());
        QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QVERIFY(label->wordWrap());
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(!label->openExternalLinks());
        QVERIFY(label->autoFillBackground());
        QCOMPARE(label->palette().color(QPalette::Window), kDarkBlue);
        QCOMPARE(label->palette().color(QPalette::WindowText), kYellow);

        // Every caption shows whole, on one line within its label's width.
        QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(caption) <= geometry.width(),
                 qPrintable(QStringLiteral("%1 is %2 px wide")
                                .arg(caption)
                                .arg(QFontMetrics(label->font()).horizontalAdvance(caption))));
        // Where a label and the title picture overlap, the label lies above.
        QCOMPARE(window->childAt(geometry.left() + 2, geometry.top() + 1), label);
        QCOMPARE(window->childAt(geometry.right() - 2, geometry.bottom() - 1), label);
    }

    void onlyTheSplashSaysLoading()
    {
        RecordingWavePlayer sound;
        LoadingWindow loading(sound);
        ClosingWindow closing(sound);
        QVERIFY(labelOf(&loading, QStringLiteral("Label4")));
        QVERIFY(!labelOf(&closing, QStringLiteral("Label4")));
        QCOMPARE(closing.findChildren<QLabel *>().size(), 4);
        QCOMPARE(loading.findChildren<QLabel *>().size(), 5);
    }

    void timerRunsFromCreationForTwoSeconds_data() { windowIsABorderlessBlueCard_data(); }

    void timerRunsFromCreationForTwoSeconds()
    {
        QFETCH(Which, which);
        RecordingWavePlayer sound;
        const auto window = create(which, sound);
        QVERIFY(window->timer1().isActive());
        QCOMPARE(window->timer1().interval(), 2000);
        QCOMPARE(window->timer1().timerType(), Qt::PreciseTimer);
        QVERIFY(window->timer1().remainingTime() > 1000);
    }

    void tickIsReportedOnlyWhileTheTimerIsEnabled_data() { windowIsABorderlessBlueCard_data(); }

    void tickIsReportedOnlyWhileTheTimerIsEnabled()
    {
        QFETCH(Which, which);
        RecordingWavePlayer sound;
        const auto window = create(which, sound);
        QSignalSpy ticks(window.get(), &GreetingWindow::timer1Ticked);
        window->Timer1_Timer();
        QCOMPARE(ticks.count(), 1);
        window->timer1().stop();
        window->Timer1_Timer();
        QCOMPARE(ticks.count(), 1);
    }

    // Without waiting the two seconds: a timer brought forward shows what its tick runs.
    void timerTickRunsTimer1_Timer()
    {
        RecordingWavePlayer sound;
        LoadingWindow window(sound);
        QSignalSpy ticks(&window, &GreetingWindow::timer1Ticked);
        connect(&window, &GreetingWindow::timer1Ticked, &window, [&window] { window.timer1().stop(); });
        window.timer1().setInterval(0);
        QTRY_COMPARE(ticks.count(), 1);
    }
};

QTEST_MAIN(TestGreetingWindows)
#include "tst_greetingwindows.moc"
