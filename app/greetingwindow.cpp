// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/greetingwindow.h"

#include "engine/colourvalue.h"
#include "engine/latin1.h"
#include "services/waveplayer.h"
#include "ui/controlpainting.h"
#include "ui/announcer.h"
#include "ui/displayfonts.h"
#include "ui/mainwindowlayout.h"

#include <QLabel>
#include <QPixmap>

namespace {

using MainWindowLayout::pixels;

// The title picture at its natural size, 485 x 129 pixels: 90 twips wider than the window, so
// its right edge is clipped. Its background is transparent, so the window's blue shows through.
constexpr QRect kImage1 {pixels(0), pixels(360), pixels(7275), pixels(1935)};

QLabel *createImage1(QWidget *parent)
{
    auto *image = new QLabel(parent);
    image->setObjectName(QStringLiteral("Image1"));
    image->setAccessibleName(latin1(GreetingWindow::kPictureText));
    image->setPixmap(QPixmap(QStringLiteral(":/assets/title.gif")));
    image->setGeometry(kImage1);
    image->setFocusPolicy(Qt::NoFocus);
    return image;
}

// Each caption is one line. It is centred in the label's height, so that a face whose line is
// taller than the label (the bundled stand-in for "BalloonEFDropShadow" at 18 and 20.25 points in
// a 25-pixel label) gives up its leading rather than the foot of its letters.
QLabel *createLabel(const GreetingWindow::LabelDesign &design, QWidget *parent)
{
    auto *label = new QLabel(latin1(design.caption), parent);
    label->setObjectName(latin1(design.name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    label->setFocusPolicy(Qt::NoFocus);
    setBackColour(label, Colours::DarkBlue);
    setForeColour(label, Colours::Yellow);
    QFont font(latin1(design.face));
    font.setPointSizeF(design.points);
    font.setBold(false);
    label->setFont(font);
    label->setGeometry(pixels(design.left), pixels(design.top), pixels(design.width), pixels(design.height));
    return label;
}

} // namespace

// Qt::SplashScreen keeps the window off the taskbar; with no frame it has no title bar and no
// close control, so only its own timer takes it away.
GreetingWindow::GreetingWindow(const Design &design, WavePlayer &sound, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    installDisplayFonts();
    setObjectName(latin1(design.name));
    setAccessibleName(latin1(design.spokenName));
    setFixedSize(pixels(kWidthTwips), pixels(kHeightTwips));
    setAutoFillBackground(true);
    setBackColour(this, Colours::DarkBlue);

    // The picture first, so the labels lie above it where they overlap.
    createImage1(this);
    for (const LabelDesign &label : design.labels)
        createLabel(label, this);
    m_announcer = new Announcer(this);

    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(kTimer1Interval);
    connect(&m_timer1, &QTimer::timeout, this, &GreetingWindow::Timer1_Timer);
    m_timer1.start();

    // The load step, Form_Load: the greeting starts before the window is shown.
    sound.playWave(latin1(design.greeting));
}

GreetingWindow::~GreetingWindow() = default;

void GreetingWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_announcer->announce(accessibleName());
}

void GreetingWindow::Timer1_Timer()
{
    if (!m_timer1.isActive())
        return;
    emit timer1Ticked();
}
