// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/sound/wavedecoder.h"

#include "services/sound/resampler.h"
#include "services/sound/streamformat.h"

#include <QFile>

#include <sndfile.h>
#include <samplerate.h>

#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 768000;
// Frames decoded at a time: small enough that many channels stay a small buffer.
constexpr sf_count_t kPieceFrames = 4096;

// A descriptor for `path` only if it is a regular file. Opening without waiting matters: a
// plain open of a named pipe blocks until a writer comes, and a pipe could replace the file at
// any moment after the caller looked at it.
int openRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<WaveDecoder> WaveDecoder::open(const QString &path)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return nullptr;
    SF_INFO info {};
    SNDFILE *file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file) {
        ::close(fd);
        return nullptr;
    }
    if (info.frames <= 0 || info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate
        || info.samplerate > kMaxRate) {
        sf_close(file);
        return nullptr;
    }
    // Integer samples read as floats come out within -1 to 1; floating-point ones as stored.
    const bool storedAsStreamed = info.channels == 1 && info.samplerate == StreamFormat::kRate
                                  && (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
    return std::unique_ptr<WaveDecoder>(
        new WaveDecoder(file, info.samplerate, info.channels, storedAsStreamed, info.frames));
}

WaveDecoder::WaveDecoder(SNDFILE *file, int rate, int channels, bool storedAsStreamed, qint64 frames)
    : m_file(file)
    , m_channels(channels)
    , m_storedAsStreamed(storedAsStreamed)
    , m_expectedBytes(qint64(double(frames) * StreamFormat::kRate / rate) * StreamFormat::kBytesPerFrame)
{
    if (rate != StreamFormat::kRate)
        m_resampler = std::make_unique<Resampler>(rate, StreamFormat::kRate);
}

WaveDecoder::~WaveDecoder()
{
    sf_close(m_file);
}

QByteArray WaveDecoder::read(qint64 maxBytes)
{
    const qint64 frames = maxBytes / StreamFormat::kBytesPerFrame;
    QByteArray out;
    if (m_storedAsStreamed) {
        // The voice pack's own format: the samples are read as they are stored.
        out.resize(frames * StreamFormat::kBytesPerFrame);
        const sf_count_t got = sf_readf_short(m_file, reinterpret_cast<short *>(out.data()), frames);
        m_ended = got < frames;
        out.resize(std::max<sf_count_t>(got, 0) * StreamFormat::kBytesPerFrame);
        return out;
    }
    while (qint64(m_pending.size() - m_pendingStart) < frames && decodeMore()) {
    }
    const size_t count = std::min<size_t>(size_t(frames), m_pending.size() - m_pendingStart);
    out.resize(qint64(count) * StreamFormat::kBytesPerFrame);
    src_float_to_short_array(m_pending.data() + m_pendingStart, reinterpret_cast<short *>(out.data()), int(count));
    m_pendingStart += count;
    if (m_pendingStart == m_pending.size()) {
        m_pending.clear();
        m_pendingStart = 0;
    }
    return out;
}

bool WaveDecoder::decodeMore()
{
    if (m_ended)
        return false;
    std::vector<float> frames(size_t(kPieceFrames) * size_t(m_channels));
    const sf_count_t got = std::max<sf_count_t>(sf_readf_float(m_file, frames.data(), kPieceFrames), 0);
    m_ended = got < kPieceFrames;
    // Mixed down to mono; a sample that is no number is silence.
    std::vector<float> mono(static_cast<size_t>(got));
    for (sf_count_t i = 0; i < got; ++i) {
        float sum = 0;
        for (int c = 0; c < m_channels; ++c) {
            const float value = frames[size_t(i * m_channels + c)];
            sum += std::isfinite(value) ? value : 0.0f;
        }
        mono[size_t(i)] = sum / float(m_channels);
    }
    if (m_resampler)
        m_resampler->convert(mono.data(), long(got), m_ended, m_pending);
    else
        m_pending.insert(m_pending.end(), mono.begin(), mono.end());
    return got > 0 || !m_pending.empty();
}
