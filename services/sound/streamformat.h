// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The one format the caller's sound stream plays: the voice pack's own, 16-bit signed mono at
// 16 kHz, so the calls go to the sound server as they are stored. Every other file is converted
// to it as it is decoded; the server converts the stream to whatever the device plays.
namespace StreamFormat {

constexpr int kRate = 16000;
constexpr int kBytesPerFrame = 2;

// The bytes `ms` milliseconds of sound take.
constexpr qint64 bytesFor(qint64 ms)
{
    return ms * kRate / 1000 * kBytesPerFrame;
}

// How long `bytes` of sound play, in microseconds.
constexpr quint64 microsecondsIn(qint64 bytes)
{
    return quint64(bytes / kBytesPerFrame) * 1'000'000 / kRate;
}

} // namespace StreamFormat
