// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/soundloader.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens `path` only if it is a regular file. Opening without waiting matters: a plain open of a
// named pipe blocks until a writer comes, and the pipe could replace the file at any moment
// after the caller looked at it.
std::unique_ptr<QFile> openRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    auto file = std::make_unique<QFile>();
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

// The raw bytes that decode to at most `decodedBytes`, in whole frames.
qint64 rawBytesFor(const WaveLayout &layout, qint64 decodedBytes)
{
    return decodedBytes / (2 * layout.channels) * layout.bytesPerFrame();
}

} // namespace

SoundLoader::~SoundLoader() = default;

void SoundLoader::load(const QString &path)
{
    std::unique_ptr<QFile> file = openRegularFile(path);
    const std::optional<WaveLayout> layout = file ? readWaveLayout(*file) : std::nullopt;
    if (!layout) {
        emit failed(path);
        return;
    }
    if (layout->decodedBytes() <= kLargestHeldSound) {
        const QByteArray raw = file->read(layout->dataBytes);
        if (raw.size() != layout->dataBytes) {
            emit failed(path);
            return;
        }
        emit loaded(path, layout->decodedFormat(), decodeSamples(*layout, raw));
        return;
    }
    const quint64 id = ++m_lastStream;
    m_streams[id] = Stream{std::move(file), *layout, layout->dataBytes};
    emit streamOpened(path, id, layout->decodedFormat(), layout->decodedBytes());
}

void SoundLoader::readMore(quint64 stream)
{
    const auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return;
    Stream &open = found->second;
    const qint64 want = std::min(open.rawLeft, rawBytesFor(open.layout, kStreamChunk));
    const QByteArray raw = open.file->read(want);
    // A file cut short while it plays ends the sound where the data ends.
    open.rawLeft = raw.size() == want ? open.rawLeft - want : 0;
    const bool last = open.rawLeft == 0;
    emit chunkRead(stream, decodeSamples(open.layout, raw), last);
    if (last)
        m_streams.erase(found);
}

void SoundLoader::closeStream(quint64 stream)
{
    m_streams.erase(stream);
}
