// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/soundeffectplayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

SoundEffectPlayer::SoundEffectPlayer(QObject *parent, Alert alert)
    : QObject(parent)
    , m_alert(alert ? std::move(alert) : Alert([] { QApplication::beep(); }))
{
}

SoundEffectPlayer::~SoundEffectPlayer() = default;

void SoundEffectPlayer::playWave(const QString &name)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    request(name);
    QGuiApplication::restoreOverrideCursor();
}

void SoundEffectPlayer::request(const QString &name)
{
    if (name.isEmpty())
        return;
    // Like a new announcement over a loudspeaker, a new request cuts off the one still playing.
    if (m_playing) {
        m_playing->stop();
        m_playing = nullptr;
    }
    const QFileInfo file(QDir::current(), name);
    if (!file.isFile()) {
        m_alert();
        return;
    }
    // Without an audio device the caller stays silent rather than warn at every call.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    m_playing = effectFor(file.absoluteFilePath());
    m_playing->play();
}

QSoundEffect *SoundEffectPlayer::effectFor(const QString &path)
{
    QSoundEffect *&effect = m_effects[path];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
    }
    return effect;
}
