// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFocusFrame>
#include <QPointer>

// A ring three pixels wide, drawn just inside the edge of whichever control of its parent has the
// keyboard focus, in black or white, whichever stands out more from that control's face: black on
// red, yellow and white, white on green and dark blue. While no control there has the focus
// nothing is drawn, so the window looks exactly as designed.
//
// It is a QFocusFrame so that assistive technology leaves it out of the window's tree; it places
// itself rather than letting the style place it, over the control and not around or under it.
class FocusRing : public QFocusFrame
{
    Q_OBJECT

public:
    explicit FocusRing(QWidget *parent);

protected:
    // The ring lies over its control, so whatever repaints the control (a new face from a theme,
    // the start button turning yellow) repaints the ring too, in the colour for the new face.
    void paintEvent(QPaintEvent *event) override;

private:
    void follow(QWidget *control);

    QPointer<QWidget> m_control;
};
