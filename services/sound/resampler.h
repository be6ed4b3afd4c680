// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

// Converts mono samples from one rate to another with libsamplerate, piece by piece, so that a
// long recording is converted as it is read.
class Resampler
{
public:
    Resampler(int fromRate, int toRate);
    ~Resampler();
    Resampler(const Resampler &) = delete;
    Resampler &operator=(const Resampler &) = delete;

    // Appends to `output` what `frames` samples of `input` become; with `last`, also what the
    // converter still holds back for the samples that would have followed.
    void convert(const float *input, long frames, bool last, std::vector<float> &output);

private:
    SRC_STATE *m_state = nullptr;
    double m_ratio;
};
