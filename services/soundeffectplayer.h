// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/waveplayer.h"

#include <QHash>
#include <QObject>

#include <functional>

class QSoundEffect;

// Plays wave files from the working folder through QSoundEffect. Each file is loaded the first
// time it is played, not at start-up. The hourglass pointer is shown around every request, as
// the host is used to; the request itself never waits for the sound.
class SoundEffectPlayer : public QObject, public WavePlayer
{
    Q_OBJECT

public:
    using Alert = std::function<void()>;

    // The alert sounds for a name with no such file; it defaults to the system's beep.
    explicit SoundEffectPlayer(QObject *parent = nullptr, Alert alert = {});
    ~SoundEffectPlayer() override;

    void playWave(const QString &name) override;

private:
    void request(const QString &name);
    QSoundEffect *effectFor(const QString &path);

    Alert m_alert;
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};
