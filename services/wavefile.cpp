// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/wavefile.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 8;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000; // the most a PulseAudio stream takes
// A file with more chunks than this before its data is no wave file a recorder wrote; the cap
// keeps a crafted file of tiny chunks from keeping the loader busy.
constexpr int kMaxChunks = 1000;
constexpr quint32 kSizeToEnd = 0xFFFFFFFF;

quint16 u16(const char *p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char *p) { return qFromLittleEndian<quint32>(p); }

bool readExactly(QIODevice &file, char *into, qint64 bytes)
{
    return file.read(into, bytes) == bytes;
}

// The encoding named by a "fmt " chunk, or nothing for one the player cannot decode.
std::optional<WaveLayout> parseFormat(const QByteArray &chunk)
{
    if (chunk.size() < 16)
        return std::nullopt;
    const char *p = chunk.constData();
    quint16 tag = u16(p);
    const int channels = u16(p + 2);
    const quint32 rate = u32(p + 4);
    const int blockAlign = u16(p + 12);
    const int bits = u16(p + 14);
    if (tag == kFormatExtensible && chunk.size() >= 26)
        tag = u16(p + 24); // the first two bytes of the sub-format's GUID
    if (channels < 1 || channels > kMaxChannels || rate < kMinRate || rate > kMaxRate)
        return std::nullopt;
    const int container = blockAlign % channels == 0 ? blockAlign / channels : 0;
    if (bits < 1 || bits > container * 8)
        return std::nullopt;

    WaveLayout layout;
    layout.sampleRate = int(rate);
    layout.channels = channels;
    if (tag == kFormatPcm && container == 1)
        layout.encoding = WaveLayout::Encoding::Unsigned8;
    else if (tag == kFormatPcm && container == 2)
        layout.encoding = WaveLayout::Encoding::Signed16;
    else if (tag == kFormatPcm && container == 3)
        layout.encoding = WaveLayout::Encoding::Signed24;
    else if (tag == kFormatPcm && container == 4)
        layout.encoding = WaveLayout::Encoding::Signed32;
    else if (tag == kFormatFloat && container == 4)
        layout.encoding = WaveLayout::Encoding::Float32;
    else
        return std::nullopt;
    return layout;
}

} // namespace

int WaveLayout::bytesPerFrame() const
{
    switch (encoding) {
    case Encoding::Unsigned8: return channels;
    case Encoding::Signed16: return 2 * channels;
    case Encoding::Signed24: return 3 * channels;
    case Encoding::Signed32:
    case Encoding::Float32: return 4 * channels;
    }
    return channels;
}

QAudioFormat WaveLayout::decodedFormat() const
{
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    return format;
}

std::optional<WaveLayout> readWaveLayout(QIODevice &file)
{
    char riff[12];
    if (!readExactly(file, riff, sizeof riff) || qstrncmp(riff, "RIFF", 4) != 0
        || qstrncmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;

    std::optional<WaveLayout> layout;
    for (int chunks = 0; chunks < kMaxChunks; ++chunks) {
        char header[8];
        if (!readExactly(file, header, sizeof header))
            return std::nullopt;
        const quint32 size = u32(header + 4);
        const qint64 start = file.pos();
        const qint64 left = file.size() - start;
        if (qstrncmp(header, "data", 4) == 0) {
            if (!layout)
                return std::nullopt;
            const qint64 claimed = size == 0 || size == kSizeToEnd ? left : qint64(size);
            if (claimed > left)
                return std::nullopt;
            layout->dataOffset = start;
            layout->dataBytes = claimed - claimed % layout->bytesPerFrame();
            if (layout->dataBytes == 0)
                return std::nullopt;
            return layout;
        }
        const qint64 padded = qint64(size) + (size & 1);
        if (padded > left)
            return std::nullopt;
        if (qstrncmp(header, "fmt ", 4) == 0) {
            layout = parseFormat(file.read(std::min<qint64>(size, 64)));
            if (!layout)
                return std::nullopt;
        }
        if (!file.seek(start + padded))
            return std::nullopt;
    }
    return std::nullopt;
}

QByteArray decodeSamples(const WaveLayout &layout, const QByteArray &raw)
{
    const qint64 samples = raw.size() / layout.bytesPerFrame() * layout.channels;
    QByteArray decoded(samples * 2, Qt::Uninitialized);
    const auto *in = reinterpret_cast<const uchar *>(raw.constData());
    auto *out = reinterpret_cast<qint16 *>(decoded.data());
    for (qint64 i = 0; i < samples; ++i) {
        switch (layout.encoding) {
        case WaveLayout::Encoding::Unsigned8:
            out[i] = qint16((int(in[i]) - 128) * 256);
            break;
        case WaveLayout::Encoding::Signed16:
            out[i] = qFromLittleEndian<qint16>(in + 2 * i);
            break;
        case WaveLayout::Encoding::Signed24:
            out[i] = qFromLittleEndian<qint16>(in + 3 * i + 1);
            break;
        case WaveLayout::Encoding::Signed32:
            out[i] = qFromLittleEndian<qint16>(in + 4 * i + 2);
            break;
        case WaveLayout::Encoding::Float32: {
            const float value = qFromLittleEndian<float>(in + 4 * i);
            out[i] = std::isfinite(value) ? qint16(std::clamp(value, -1.0f, 1.0f) * 32767.0f) : 0;
            break;
        }
        }
    }
    return decoded;
}
