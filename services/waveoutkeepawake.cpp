// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/waveoutkeepawake.h"

#include "services/faintsignal.h"

#include <array>
#include <mutex>
#include <thread>
#include <vector>

#include <windows.h>
#include <mmsystem.h>

namespace {

// Two buffers of half a second: the thread wakes twice a second, and the device always has the
// next one queued.
constexpr DWORD kBufferFrames = FaintSignal::kRate / 2;
constexpr int kBuffers = 2;

// One open stream on the default output, with its buffers queued.
class SignalStream
{
public:
    explicit SignalStream(HANDLE finished)
    {
        for (DWORD n = 0; n < kBufferFrames; ++n)
            m_samples[n] = FaintSignal::sample(n);
        WAVEFORMATEX format {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = FaintSignal::kRate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        if (waveOutOpen(&m_out, WAVE_MAPPER, &format, DWORD_PTR(finished), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            m_out = nullptr;
            return;
        }
        for (WAVEHDR &header : m_headers) {
            header.lpData = reinterpret_cast<LPSTR>(m_samples.data());
            header.dwBufferLength = kBufferFrames * 2;
            if (waveOutPrepareHeader(m_out, &header, sizeof header) != MMSYSERR_NOERROR
                || waveOutWrite(m_out, &header, sizeof header) != MMSYSERR_NOERROR) {
                close();
                return;
            }
        }
    }
    ~SignalStream() { close(); }

    bool isOpen() const { return m_out != nullptr; }

    // Queues again the buffers the device has played; a device that refuses them has gone.
    void requeue()
    {
        for (WAVEHDR &header : m_headers) {
            if (!(header.dwFlags & WHDR_DONE))
                continue;
            header.dwFlags &= ~WHDR_DONE;
            if (waveOutWrite(m_out, &header, sizeof header) != MMSYSERR_NOERROR) {
                close();
                return;
            }
        }
    }

private:
    void close()
    {
        if (!m_out)
            return;
        waveOutReset(m_out);
        for (WAVEHDR &header : m_headers)
            if (header.dwFlags & WHDR_PREPARED)
                waveOutUnprepareHeader(m_out, &header, sizeof header);
        waveOutClose(m_out);
        m_out = nullptr;
    }

    HWAVEOUT m_out = nullptr;
    std::array<WAVEHDR, kBuffers> m_headers {};
    std::vector<qint16> m_samples = std::vector<qint16>(kBufferFrames);
};

} // namespace

// What setAwake() hands to the thread. Both hold it, so it outlives whichever goes first. The one
// event wakes the thread for a request and for a buffer the device has finished.
struct WaveOutKeepAwake::Shared
{
    std::mutex mutex;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    bool awake = false;
    bool closing = false;
    unsigned asked = 0; // how many times it was asked to be awake

    ~Shared() { CloseHandle(wake); }
};

void WaveOutKeepAwake::run(std::shared_ptr<Shared> shared)
{
    std::unique_ptr<SignalStream> stream;
    unsigned tried = 0;
    for (;;) {
        WaitForSingleObject(shared->wake, INFINITE);
        bool awake;
        unsigned asked;
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->closing)
                break;
            awake = shared->awake;
            asked = shared->asked;
        }
        if (!awake) {
            stream.reset();
        } else if (!stream && tried != asked) {
            tried = asked;
            stream = std::make_unique<SignalStream>(shared->wake);
        }
        if (stream) {
            stream->requeue();
            if (!stream->isOpen())
                stream.reset();
        }
    }
}

WaveOutKeepAwake::WaveOutKeepAwake()
    : m_shared(std::make_shared<Shared>())
{
    std::thread(run, m_shared).detach();
}

WaveOutKeepAwake::~WaveOutKeepAwake()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->closing = true;
    }
    SetEvent(m_shared->wake);
}

void WaveOutKeepAwake::setAwake(bool awake)
{
    {
        const std::lock_guard lock(m_shared->mutex);
        if (awake == m_shared->awake)
            return;
        m_shared->awake = awake;
        m_shared->asked += awake;
    }
    SetEvent(m_shared->wake);
}
