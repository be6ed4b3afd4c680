// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/sound/pulsestream.h"

#include "services/faintsignal.h"
#include "services/sound/soundloader.h"
#include "services/sound/streamformat.h"

#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>

#include <QtEndian>

#include <algorithm>

namespace {

// What the server asks to hold ahead of the device, and how much it asks for at a time. Each
// request wakes the process, so they are few: a call takes two or three. The device's own buffer
// follows from them (the buffer less two requests: 150 ms); it bounds how long a sound cut off
// on a device that cannot take back what it was given goes on. The server takes it back where it
// can, and a new sound then starts at once.
constexpr qint64 kServerBuffer = StreamFormat::bytesFor(1350);
constexpr qint64 kServerRequest = StreamFormat::bytesFor(600);
// Playback starts as soon as this much has arrived, and waits for it again after running dry.
constexpr qint64 kStartThreshold = StreamFormat::bytesFor(20);
// A streamed sound asks for its next chunk while less than this is waiting to be sent.
constexpr qint64 kReadAhead = SoundLoader::kStreamChunk;
// How long after the server was handed the end of a sound the device may still be playing it.
constexpr pa_usec_t kDeviceDelay = 300'000;

static_assert(FaintSignal::kRate == StreamFormat::kRate);

// The faint signal, a period longer than the most the server takes at once, so any part of it
// can be sent from one place.
const QByteArray &faintSignal()
{
    static const QByteArray signal = [] {
        QByteArray bytes((kServerBuffer / StreamFormat::kBytesPerFrame + FaintSignal::kPeriod) * StreamFormat::kBytesPerFrame,
                         Qt::Uninitialized);
        auto *samples = reinterpret_cast<qint16 *>(bytes.data());
        for (qsizetype n = 0; n < bytes.size() / StreamFormat::kBytesPerFrame; ++n)
            samples[n] = qToLittleEndian(FaintSignal::sample(n));
        return bytes;
    }();
    return signal;
}

// Commands whose outcome nothing waits for; a command that could not be sent gives no operation.
void release(pa_operation *operation)
{
    if (operation)
        pa_operation_unref(operation);
}

} // namespace

class PulseStream::Locked
{
public:
    explicit Locked(pa_threaded_mainloop *mainloop) : m_mainloop(mainloop) { pa_threaded_mainloop_lock(m_mainloop); }
    ~Locked() { pa_threaded_mainloop_unlock(m_mainloop); }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;

private:
    pa_threaded_mainloop *m_mainloop;
};

PulseStream::PulseStream() = default;

PulseStream::~PulseStream()
{
    if (!m_mainloop)
        return;
    {
        Locked locked(m_mainloop);
        cancelRetry();
        disconnect();
    }
    pa_threaded_mainloop_stop(m_mainloop);
    pa_threaded_mainloop_free(m_mainloop);
}

bool PulseStream::startMainloop()
{
    if (m_mainloop)
        return true;
    m_mainloop = pa_threaded_mainloop_new();
    if (m_mainloop && pa_threaded_mainloop_start(m_mainloop) == 0)
        return true;
    if (m_mainloop)
        pa_threaded_mainloop_free(m_mainloop);
    m_mainloop = nullptr;
    return false;
}

bool PulseStream::ready() const
{
    return m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY;
}

void PulseStream::play(quint64 id, const QByteArray &samples, bool complete, AskForMore askForMore)
{
    if (!startMainloop())
        return;
    Locked locked(m_mainloop);
    forget();
    m_id = id;
    m_chunks.push_back(samples);
    m_queued = samples.size();
    m_complete = complete;
    m_askForMore = std::move(askForMore);
    connectIfNeeded();
    if (ready()) {
        feed();
        setCorked(false);
    }
}

void PulseStream::append(quint64 id, const QByteArray &samples, bool complete)
{
    if (!m_mainloop)
        return;
    Locked locked(m_mainloop);
    if (id != m_id)
        return;
    if (!samples.isEmpty()) {
        m_chunks.push_back(samples);
        m_queued += samples.size();
    }
    m_complete = complete;
    m_asked = false;
    feed();
}

void PulseStream::stop()
{
    if (!m_mainloop)
        return;
    Locked locked(m_mainloop);
    forget();
    if (m_awake)
        feed();
    else
        setCorked(true);
}

void PulseStream::keepAwake(bool awake)
{
    if (awake == m_awake || !startMainloop())
        return;
    Locked locked(m_mainloop);
    m_awake = awake;
    if (!awake)
        cancelRetry();
    if (awake) {
        // Nothing waits for the sound playing to end any more; the signal follows it.
        cancelDrain();
        connectIfNeeded();
        if (ready()) {
            feed();
            setCorked(false);
        }
        return;
    }
    const bool soundLeft = m_queued > 0 || !m_complete || (m_sent && pa_rtclock_now() < m_soundEnds + kDeviceDelay);
    if (soundLeft) {
        // Corked once the server has played it all, the signal after it too.
        feed();
        return;
    }
    if (m_sent && ready())
        release(pa_stream_flush(m_stream, nullptr, nullptr));
    m_sent = false;
    setCorked(true);
}

// Drops the sound playing, here and in the server.
void PulseStream::forget()
{
    cancelDrain();
    m_id = 0;
    m_chunks.clear();
    m_offset = 0;
    m_queued = 0;
    m_complete = true;
    m_asked = false;
    m_askForMore = nullptr;
    if (m_sent && ready())
        release(pa_stream_flush(m_stream, nullptr, nullptr));
    m_sent = false;
    m_soundEnds = 0;
}

void PulseStream::connectIfNeeded()
{
    if (m_context && !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
        disconnect();
    if (m_stream && !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream))) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (!m_context) {
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), "Bingo");
        pa_context_set_state_callback(
            m_context, [](pa_context *, void *self) { static_cast<PulseStream *>(self)->onContextState(); }, this);
        // A failure to connect shows as the context's state; the next sound tries again.
        pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    } else if (!m_stream && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        openStream();
    }
}

void PulseStream::openStream()
{
    const pa_sample_spec format {PA_SAMPLE_S16LE, StreamFormat::kRate, 1};
    m_stream = pa_stream_new(m_context, "Calls", &format, nullptr);
    if (!m_stream)
        return;
    pa_stream_set_state_callback(
        m_stream, [](pa_stream *, void *self) { static_cast<PulseStream *>(self)->onStreamState(); }, this);
    pa_stream_set_write_callback(
        m_stream, [](pa_stream *, size_t, void *self) { static_cast<PulseStream *>(self)->feed(); }, this);
    pa_buffer_attr buffer {};
    buffer.maxlength = uint32_t(-1);
    buffer.tlength = uint32_t(kServerBuffer);
    buffer.prebuf = uint32_t(kStartThreshold);
    buffer.minreq = uint32_t(kServerRequest);
    buffer.fragsize = uint32_t(-1);
    m_corked = true;
    m_sent = false;
    pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_START_CORKED, nullptr, nullptr);
}

void PulseStream::disconnect()
{
    cancelDrain();
    if (m_stream) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    m_sent = false;
}

void PulseStream::onContextState()
{
    const pa_context_state_t state = pa_context_get_state(m_context);
    if (state == PA_CONTEXT_READY && !m_stream) {
        openStream();
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        // A sound the server never had is not heard later, when it may be back: the game has
        // moved on by then.
        forget();
        retryWhileAwake();
    }
}

void PulseStream::onStreamState()
{
    const pa_stream_state_t state = pa_stream_get_state(m_stream);
    // A sound asked for while the stream was being opened starts now, and so does an awake stream.
    if (state == PA_STREAM_READY && (m_queued > 0 || m_awake)) {
        feed();
        setCorked(false);
    } else if (!PA_STREAM_IS_GOOD(state)) {
        // The server ended the stream, as it does when the device it played on goes.
        retryWhileAwake();
    }
}

// libpulse's own wait for a server (PA_CONTEXT_NOFAIL) hears of a new one only over D-Bus, and
// not at all when the server is named (PULSE_SERVER), so the stream keeps its own time: a try
// costs a failed connect to a socket, twice a second and only while awake and cut off.
void PulseStream::retryWhileAwake()
{
    if (!m_awake || m_retry)
        return;
    pa_mainloop_api *api = pa_threaded_mainloop_get_api(m_mainloop);
    timeval when {};
    m_retry = api->time_new(
        api, pa_timeval_add(pa_gettimeofday(&when), kRetryEvery),
        [](pa_mainloop_api *, pa_time_event *, const timeval *, void *self) { static_cast<PulseStream *>(self)->onRetry(); },
        this);
}

void PulseStream::onRetry()
{
    cancelRetry();
    if (m_awake)
        connectIfNeeded();
}

void PulseStream::cancelRetry()
{
    if (!m_retry)
        return;
    pa_mainloop_api *api = pa_threaded_mainloop_get_api(m_mainloop);
    api->time_free(m_retry);
    m_retry = nullptr;
}

void PulseStream::feed()
{
    if (!ready())
        return;
    size_t room = pa_stream_writable_size(m_stream);
    if (room == size_t(-1))
        return;
    // A sound that is all here, a call or the end of a long one, goes over in one write, and
    // nothing wakes the process again until the server has played it. Only a streamed sound is
    // paced by the server's requests.
    if (m_complete)
        room = size_t(m_queued);
    writeSound(room);
    if (!m_complete && !m_asked && m_queued < kReadAhead && m_askForMore) {
        m_asked = true;
        m_askForMore();
    }
    if (!m_complete || !m_chunks.empty())
        return;
    if (m_awake) {
        writeSignal();
        return;
    }
    // Once the whole sound is with the server, the stream is corked when the server has played it.
    if (m_sent && !m_drain) {
        m_drain = pa_stream_drain(
            m_stream,
            [](pa_stream *, int success, void *self) {
                auto *stream = static_cast<PulseStream *>(self);
                stream->onDrained(stream->m_drain, success != 0);
            },
            this);
    }
}

void PulseStream::writeSound(size_t room)
{
    room -= room % StreamFormat::kBytesPerFrame;
    while (room > 0 && !m_chunks.empty()) {
        const QByteArray &front = m_chunks.front();
        const size_t part = std::min<size_t>(room, size_t(front.size() - m_offset));
        if (pa_stream_write(m_stream, front.constData() + m_offset, part, nullptr, 0, PA_SEEK_RELATIVE) != 0)
            return;
        m_sent = true;
        m_soundEnds = std::max<quint64>(m_soundEnds, pa_rtclock_now()) + StreamFormat::microsecondsIn(qint64(part));
        room -= part;
        m_queued -= qint64(part);
        m_offset += qint64(part);
        if (m_offset == front.size()) {
            m_chunks.pop_front();
            m_offset = 0;
        }
    }
}

// Tops the server's buffer up with the faint signal, carrying on where the last part ended. The
// server asks for more every kServerRequest, so between calls an awake stream wakes the process
// only a few times a second.
void PulseStream::writeSignal()
{
    size_t room = pa_stream_writable_size(m_stream);
    if (room == size_t(-1))
        return;
    const QByteArray &signal = faintSignal();
    const qint64 period = FaintSignal::kPeriod * StreamFormat::kBytesPerFrame;
    room = std::min<size_t>(room - room % StreamFormat::kBytesPerFrame, size_t(kServerBuffer));
    if (room == 0)
        return;
    if (pa_stream_write(m_stream, signal.constData() + m_signalPhase, room, nullptr, 0, PA_SEEK_RELATIVE) != 0)
        return;
    m_sent = true;
    m_signalPhase = (m_signalPhase + qint64(room)) % period;
}

void PulseStream::onDrained(pa_operation *drain, bool success)
{
    if (!drain)
        return;
    pa_operation_unref(drain);
    m_drain = nullptr;
    if (success && m_complete && m_chunks.empty()) {
        m_sent = false;
        setCorked(true);
    }
}

void PulseStream::cancelDrain()
{
    if (!m_drain)
        return;
    pa_operation_cancel(m_drain);
    pa_operation_unref(m_drain);
    m_drain = nullptr;
}

void PulseStream::setCorked(bool corked)
{
    if (m_corked == corked || !ready())
        return;
    release(pa_stream_cork(m_stream, corked ? 1 : 0, nullptr, nullptr));
    m_corked = corked;
}
