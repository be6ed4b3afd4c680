// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <deque>
#include <functional>

struct pa_context;
struct pa_operation;
struct pa_stream;
struct pa_threaded_mainloop;

// The caller's one playback stream on the sound server (PulseAudio, or PipeWire's PulseAudio
// service), opened at the first sound and kept for the program's life. Each sound replaces the
// one before it in the same stream: what the server still holds of the old one is dropped, so it
// stops within one period of the device. Between sounds the stream is corked and nothing wakes
// the process.
//
// The stream is served by libpulse's own thread. The methods below are called from one thread
// and return at once: they hand samples over and send commands, and wait for nothing. When the
// server has gone away, the next sound connects again.
class PulseStream
{
public:
    // Runs when a streamed sound runs low, on either thread, with the stream locked: it must only
    // pass the request on.
    using AskForMore = std::function<void()>;

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

private:
    class Locked;

    void connectIfNeeded();
    void openStream();
    void disconnect();
    void onContextState();
    void onStreamState();
    void onDrained(pa_operation *drain, bool success);
    // Sends the server as much of the sound as it will take now.
    void feed();
    void forget();
    void cancelDrain();
    void setCorked(bool corked);

    pa_threaded_mainloop *m_mainloop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    pa_operation *m_drain = nullptr;
    bool m_corked = true;
    bool m_sent = false; // samples sent since the server's buffer was last emptied

    // The sound playing now: what is not yet sent.
    quint64 m_id = 0;
    std::deque<QByteArray> m_chunks;
    qint64 m_offset = 0; // into the first chunk
    qint64 m_queued = 0;
    bool m_complete = true;
    bool m_asked = false;
    AskForMore m_askForMore;
};
