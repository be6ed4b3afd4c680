// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAudioFormat>
#include <QByteArray>

#include <optional>

class QIODevice;

// Where the samples of a wave file lie and how they are stored. Whatever the file stores, the
// player hears 16-bit signed samples at the file's own rate and channel count.
struct WaveLayout
{
    enum class Encoding { Unsigned8, Signed16, Signed24, Signed32, Float32 };

    Encoding encoding = Encoding::Signed16;
    int sampleRate = 0;
    int channels = 0;
    qint64 dataOffset = 0; // from the start of the file
    qint64 dataBytes = 0;  // whole frames only

    int bytesPerFrame() const;
    // The 16-bit samples the file decodes to, in bytes.
    qint64 decodedBytes() const { return dataBytes / bytesPerFrame() * 2 * channels; }
    QAudioFormat decodedFormat() const;
};

// Reads the RIFF chunks of a wave file from the start of `file` up to its data. Returns nothing
// for anything the player cannot play: no RIFF/WAVE header, a header cut short, a compressed or
// unknown encoding, no samples, or a data chunk that claims more than the file holds (a copy cut
// short). A data size of 0 or 0xFFFFFFFF, as streaming recorders leave it, means "to the end".
// Leaves `file` positioned at the first sample.
std::optional<WaveLayout> readWaveLayout(QIODevice &file);

// Converts whole frames of raw samples to 16-bit signed samples; a partial frame at the end is
// dropped.
QByteArray decodeSamples(const WaveLayout &layout, const QByteArray &raw);
