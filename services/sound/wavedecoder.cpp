// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/sound/wavedecoder.h"

#include "services/sound/resampler.h"
#include "services/sound/streamformat.h"

#include <QFile>

#include <sndfile.h>
#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 768000;
// Frames decoded at a time: small enough that many channels stay a small buffer.
constexpr sf_count_t kPieceFrames = 4096;

// A descriptor for `path` only if it is a regular file, and the file's size. Opening without
// waiting matters: a plain open of a named pipe blocks until a writer comes, and a pipe could
// replace the file at any moment after the caller looked at it.
int openRegularFile(const QString &path, qint64 &size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = status.st_size;
    return fd;
}

// Up to `size` bytes of `fd` from its start; fewer if the file has shrunk meanwhile.
QByteArray readWhole(int fd, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes.data() + done, size_t(size - done));
        if (got <= 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace

// A file read whole, and where libsndfile reads in it.
struct FileInMemory
{
    QByteArray bytes;
    qint64 position = 0;
};

namespace {

FileInMemory &memory(void *file) { return *static_cast<FileInMemory *>(file); }

const SF_VIRTUAL_IO kReadFromMemory {
    [](void *file) -> sf_count_t { return memory(file).bytes.size(); },
    [](sf_count_t offset, int whence, void *file) -> sf_count_t {
        FileInMemory &in = memory(file);
        const qint64 base = whence == SEEK_CUR ? in.position : whence == SEEK_END ? in.bytes.size() : 0;
        if (offset < -base || offset > in.bytes.size() - base)
            return -1;
        in.position = base + offset;
        return in.position;
    },
    [](void *into, sf_count_t count, void *file) -> sf_count_t {
        FileInMemory &in = memory(file);
        const sf_count_t part = std::clamp<sf_count_t>(in.bytes.size() - in.position, 0, count);
        std::memcpy(into, in.bytes.constData() + in.position, size_t(part));
        in.position += part;
        return part;
    },
    [](const void *, sf_count_t, void *) -> sf_count_t { return 0; },
    [](void *file) -> sf_count_t { return memory(file).position; },
};

} // namespace

std::unique_ptr<WaveDecoder> WaveDecoder::open(const QString &path)
{
    qint64 size = 0;
    const int fd = openRegularFile(path, size);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<WaveDecoder> decoder(new WaveDecoder);
    if (size <= kLargestFileInMemory) {
        decoder->m_memory = std::make_unique<FileInMemory>();
        decoder->m_memory->bytes = readWhole(fd, size);
        ::close(fd);
        if (!decoder->openFile(-1))
            return nullptr;
    } else if (!decoder->openFile(fd)) {
        return nullptr;
    }
    return decoder;
}

bool WaveDecoder::openFile(int fd)
{
    SF_INFO info {};
    if (m_memory) {
        SF_VIRTUAL_IO io = kReadFromMemory;
        m_file = sf_open_virtual(&io, SFM_READ, &info, m_memory.get());
    } else {
        // libsndfile closes the descriptor, also when it cannot open the file.
        m_file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    }
    if (!m_file)
        return false;
    if (info.frames <= 0 || info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate
        || info.samplerate > kMaxRate)
        return false;
    m_channels = info.channels;
    // Integer samples read as floats come out within -1 to 1; floating-point ones as stored.
    m_storedAsStreamed = info.channels == 1 && info.samplerate == StreamFormat::kRate
                         && (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16;
    m_expectedBytes = qint64(double(info.frames) * StreamFormat::kRate / info.samplerate) * StreamFormat::kBytesPerFrame;
    if (info.samplerate != StreamFormat::kRate)
        m_resampler = std::make_unique<Resampler>(info.samplerate, StreamFormat::kRate);
    return true;
}

WaveDecoder::~WaveDecoder()
{
    if (m_file)
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
