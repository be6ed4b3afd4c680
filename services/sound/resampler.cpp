// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/sound/resampler.h"

#include <samplerate.h>

#include <cstddef>

Resampler::Resampler(int fromRate, int toRate)
    : m_ratio(double(toRate) / fromRate)
{
    int error = 0;
    // The fastest of libsamplerate's band-limited converters: clean for speech, and cheap enough
    // to convert a long recording while it plays.
    m_state = src_new(SRC_SINC_FASTEST, 1, &error);
}

Resampler::~Resampler()
{
    if (m_state)
        src_delete(m_state);
}

void Resampler::convert(const float *input, long frames, bool last, std::vector<float> &output)
{
    if (!m_state)
        return;
    SRC_DATA data {};
    data.src_ratio = m_ratio;
    data.end_of_input = last ? 1 : 0;
    data.data_in = input;
    data.input_frames = frames;
    const long room = long(double(frames) * m_ratio) + 256;
    for (;;) {
        const std::size_t at = output.size();
        output.resize(at + std::size_t(room));
        data.data_out = output.data() + at;
        data.output_frames = room;
        if (src_process(m_state, &data) != 0)
            data.output_frames_gen = 0;
        output.resize(at + std::size_t(data.output_frames_gen));
        data.data_in += data.input_frames_used;
        data.input_frames -= data.input_frames_used;
        // Done when the input is used up and, at the end, nothing more comes out.
        if (data.input_frames == 0 && (!last || data.output_frames_gen == 0))
            break;
        if (data.input_frames_used == 0 && data.output_frames_gen == 0)
            break;
    }
}
