// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtEndian>
#include <QtGlobal>

#include <cstring>

// The signal that keeps an output playing between calls: a step of one in 32768 up and down,
// 500 times a second at 16 kHz, about -90 dBFS, far below hearing. Some receivers (HDMI, S/PDIF)
// go to sleep on digital silence, so it is not all zeros.
namespace FaintSignal {

constexpr int kRate = 16000;
constexpr qint64 kPeriod = kRate / 500;

// Sample `n` of the signal, as a 16-bit value.
constexpr qint16 sample(qint64 n)
{
    return n % kPeriod < kPeriod / 2 ? 1 : -1;
}

// Writes a 16-bit sample in a device's own format: a float, or a little-endian integer of
// `bytes` bytes. Wider integers carry it in their top two bytes. An 8-bit sample, which is
// unsigned, cannot hold a step that small, so it takes the smallest step it has: zeros there
// would be the digital silence the signal is for.
inline void write(unsigned char *to, int bytes, bool isFloat, qint16 value)
{
    if (isFloat) {
        const float scaled = float(value) / 32768.0f;
        std::memcpy(to, &scaled, sizeof scaled);
        return;
    }
    if (bytes == 1) {
        to[0] = quint8(128 + (value > 0) - (value < 0));
        return;
    }
    const quint32 widened = quint32(qint32(value)) << (8 * (bytes - 2));
    const quint32 little = qToLittleEndian(widened);
    std::memcpy(to, &little, size_t(bytes));
}

} // namespace FaintSignal
