// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <deque>
#include <functional>

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

// The caller's one playback stream on the sound server (PulseAudio, or PipeWire's PulseAudio
// service), opened at the first sound and kept for the program's life. Each sound replaces the
// one before it in the same stream: what the server still holds of the old one is dropped, so it
// stops within one period of the device. Between sounds the stream is corked and nothing wakes
// the process, unless it is kept awake.
//
// The stream is served by libpulse's own thread. The methods below are called from one thread
// and return at once: they hand samples over and send commands, and wait for nothing. When the
// server has gone away, the next sound connects again; a sound asked for while it is away is not
// heard. An awake stream does not wait for a sound: it tries again every kRetryEvery until the
// server, or a device to play on, is back, so the first call after a restart finds the output
// awake.
class PulseStream
{
public:
    // Runs when a streamed sound runs low, on either thread, with the stream locked: it must only
    // pass the request on.
    using AskForMore = std::function<void()>;

    // How often an awake stream that lost its server or its device tries to open again.
    static constexpr unsigned kRetryEvery = 500'000; // µs

    PulseStream();
    ~PulseStream();
    PulseStream(const PulseStream &) = delete;
    PulseStream &operator=(const PulseStream &) = delete;

    // Cuts off whatever plays and plays `samples`, in the stream's format. Unless `complete`,
    // more of the same sound follows through append() under `id`.
    void play(quint64 id, const QByteArray &samples, bool complete, AskForMore askForMore = {});
    // More of sound `id`, if it is still the one playing.
    void append(quint64 id, const QByteArray &samples, bool complete);
    // Cuts off whatever plays.
    void stop();
    // While awake, the stream plays on between sounds: where there is no sound it plays a signal
    // too faint to hear, so the server never counts the stream idle and never lets the device
    // sleep (an HDMI, USB or Bluetooth output that wakes up clips the start of the next sound).
    // A sound cuts the signal off as it cuts off another sound. Put back to sleep, the stream is
    // corked once the sound playing has ended, at once if there is none.
    void keepAwake(bool awake);

private:
    class Locked;

    bool startMainloop();
    bool ready() const;
    void connectIfNeeded();
    void openStream();
    void disconnect();
    void onContextState();
    void onStreamState();
    void onDrained(pa_operation *drain, bool success);
    void retryWhileAwake();
    void onRetry();
    void cancelRetry();
    // Sends the server as much of the sound as it will take now, and while awake the faint
    // signal after it.
    void feed();
    void writeSound(size_t room);
    void writeSignal();
    void forget();
    void cancelDrain();
    void setCorked(bool corked);

    pa_threaded_mainloop *m_mainloop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    pa_operation *m_drain = nullptr;
    pa_time_event *m_retry = nullptr;
    bool m_corked = true;
    bool m_sent = false; // samples sent since the server's buffer was last emptied
    bool m_awake = false;
    quint64 m_soundEnds = 0; // when what was sent of the sound playing will have played, in µs
    qint64 m_signalPhase = 0;

    // The sound playing now: what is not yet sent.
    quint64 m_id = 0;
    std::deque<QByteArray> m_chunks;
    qint64 m_offset = 0; // into the first chunk
    qint64 m_queued = 0;
    bool m_complete = true;
    bool m_asked = false;
    AskForMore m_askForMore;
};
