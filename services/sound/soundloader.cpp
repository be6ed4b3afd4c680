// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/sound/soundloader.h"

#include "services/sound/wavedecoder.h"

SoundLoader::SoundLoader() = default;
SoundLoader::~SoundLoader() = default;

void SoundLoader::load(const QString &path)
{
    std::unique_ptr<WaveDecoder> decoder = WaveDecoder::open(path);
    const bool held = decoder && decoder->expectedBytes() <= kLargestHeldSound;
    const QByteArray first = decoder ? decoder->read(held ? kLargestHeldSound : kStreamChunk) : QByteArray();
    if (first.isEmpty()) {
        emit failed(path);
        return;
    }
    if (held || decoder->atEnd()) {
        emit loaded(path, first);
        return;
    }
    const quint64 id = ++m_lastStream;
    m_streams[id] = std::move(decoder);
    emit streamOpened(path, id, first);
}

void SoundLoader::readMore(quint64 stream)
{
    const auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return;
    const QByteArray samples = found->second->read(kStreamChunk);
    const bool last = found->second->atEnd();
    emit chunkRead(stream, samples, last);
    if (last)
        m_streams.erase(found);
}

void SoundLoader::closeStream(quint64 stream)
{
    m_streams.erase(stream);
}
