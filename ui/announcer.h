// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QWidget>

// Hands a short text to the screen reader to speak at once, for what changes away from the
// keyboard focus: the number just called, a claim's verdict, the end of a game. It takes no focus
// and draws nothing: it is never shown.
//
// To assistive technology it is a status bar holding one notification. Each announcement renames
// the notification and reports it shown; Orca speaks a notification when it is shown, and speaks
// one inside a status bar by its name alone ("42", not "notification 42"). On Windows the text is
// also raised as a UI Automation notification of the window, which Narrator speaks.
class Announcer : public QWidget, public QAccessible::ActivationObserver
{
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent);
    ~Announcer() override;

    // An empty text is not announced.
    void announce(const QString &text);

    // The notification: what the screen reader reads, named with the last announcement.
    QWidget *notice() const { return m_notice; }

signals:
    // After the screen reader has been handed the text, or is to be once it connects.
    void announced(const QString &text);

private:
    // A text announced before Qt's bridge to the screen reader is up, as the splash window's is
    // at start-up, is handed over when the bridge comes up.
    void accessibilityActiveChanged(bool active) override;
    void handOver();

    QWidget *m_notice;
    bool m_unheard = false;
};
