// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

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

} // namespace FaintSignal
