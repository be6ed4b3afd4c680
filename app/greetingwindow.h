// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/maker.h"

#include <QTimer>
#include <QWidget>

#include <span>
#include <string_view>

class Announcer;
class WavePlayer;

// The look shared by the splash window and the farewell window: a borderless dark-blue card of
// 479 x 238 pixels with no taskbar button, the title picture and a few yellow labels. Creating
// one loads it: its controls get their design values, its Timer1 starts (one tick 2000 ms later)
// and its load step plays the window's greeting.
class GreetingWindow : public QWidget
{
    Q_OBJECT

public:
    // One label of the design. Positions and sizes are in twips, from the inner top-left corner.
    struct LabelDesign
    {
        std::string_view name;
        std::string_view caption;
        int left;
        int top;
        int width;
        int height;
        std::string_view face;
        double points;
    };

    struct Design
    {
        std::string_view name;
        // What a screen reader calls the window, which has no title bar to name it.
        std::string_view spokenName;
        std::span<const LabelDesign> labels;
        // The wave file the load step plays: a fixed name, not a sound-table entry, so the sound
        // switch does not silence it.
        std::string_view greeting;
    };

    static constexpr int kWidthTwips = 7185;
    static constexpr int kHeightTwips = 3570;
    static constexpr int kTimer1Interval = 2000;

    // The credits line both windows show under the title.
    static constexpr std::string_view kCredits = "Designed by the Bingo Caller developers";
    // The maker's web address beneath it, as plain text rather than a link.
    static constexpr std::string_view kWebAddress = Maker::kWebDomain;
    // What a screen reader reads for the title picture: the word it shows.
    static constexpr std::string_view kPictureText = "BINGO!";

    ~GreetingWindow() override;

    // Timer1 is what the window's owner disables when the tick has been handled.
    QTimer &timer1() { return m_timer1; }
    const QTimer &timer1() const { return m_timer1; }

    // What Timer1 runs on its tick: reports it to whoever hands over to the next window. A tick
    // left over from a timer that has since been disabled reports nothing. Tests call this
    // directly rather than wait two seconds.
    void Timer1_Timer();

signals:
    void timer1Ticked();

protected:
    GreetingWindow(const Design &design, WavePlayer &sound, QWidget *parent);
    // A screen reader hears the window's name when it appears: it takes no focus to be read by.
    void showEvent(QShowEvent *event) override;

private:
    QTimer m_timer1;
    Announcer *m_announcer;
};
