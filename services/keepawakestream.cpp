// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/keepawakestream.h"

#include "services/faintsignal.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>

#include <windows.h>
#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>
#include <mmreg.h>

namespace {

constexpr REFERENCE_TIME kBufferDuration = 20'000'000; // 2 s, in units of 100 ns
constexpr DWORD kTopUpEvery = 500;                     // ms
// While calling with no stream, as when no output is there or another program holds it alone,
// it is tried again this often: seldom enough to cost nothing, soon enough for the next call.
constexpr DWORD kRetryEvery = 2000;                    // ms

template <typename Interface>
void release(Interface *&object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// A listener that Windows calls on a thread of its own and that must not hold it up, so all it
// does is pass the word on: the stream's output should be taken again.
template <typename Interface>
class OutputListener : public Interface
{
public:
    explicit OutputListener(std::function<void()> changed)
        : m_changed(std::move(changed))
    {
    }
    OutputListener(const OutputListener &) = delete;
    OutputListener &operator=(const OutputListener &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override
    {
        if (id != __uuidof(IUnknown) && id != __uuidof(Interface)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface *>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~OutputListener() = default;
    void changed() const { m_changed(); }

private:
    std::atomic<ULONG> m_references {1};
    const std::function<void()> m_changed;
};

// Windows' word that another output is now the default, as when the projector's HDMI is plugged
// in or the output in use goes away, or that an output came or went.
class OutputsWatch final : public OutputListener<IMMNotificationClient>
{
public:
    using OutputListener::OutputListener;

    // The console role is the output a program plays on when it names none.
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override
    {
        if (flow == eRender && role == eConsole)
            changed();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override
    {
        changed();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }
};

// Windows' word that the stream's session has been cut off: its device removed, the Windows
// Audio service stopped, its format changed in Sound settings, or another program taking the
// device for itself.
class SessionWatch final : public OutputListener<IAudioSessionEvents>
{
public:
    using OutputListener::OutputListener;

    HRESULT STDMETHODCALLTYPE OnSessionDisconnected(AudioSessionDisconnectReason) override
    {
        changed();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDisplayNameChanged(LPCWSTR, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnIconPathChanged(LPCWSTR, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSimpleVolumeChanged(float, BOOL, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnChannelVolumeChanged(DWORD, float *, DWORD, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnGroupingParamChanged(LPCGUID, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStateChanged(AudioSessionState) override { return S_OK; }
};

// What the stream's thread holds while awake: COM, Windows' list of outputs, and the watch on
// them registered with it. A thread that had joined COM and never left held up the end of
// the program under Wine by two seconds, so all of it goes as soon as the thread may sleep.
class OutputDevices
{
public:
    explicit OutputDevices(const std::function<void()> &outputsChanged)
        : m_com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
    {
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                    reinterpret_cast<void **>(&m_devices))))
            return;
        m_watch = new OutputsWatch(outputsChanged);
        if (FAILED(m_devices->RegisterEndpointNotificationCallback(m_watch)))
            release(m_watch);
    }
    ~OutputDevices()
    {
        // Windows may call the watch until it is unregistered, never after.
        if (m_watch)
            m_devices->UnregisterEndpointNotificationCallback(m_watch);
        release(m_watch);
        release(m_devices);
        if (m_com)
            CoUninitialize();
    }
    OutputDevices(const OutputDevices &) = delete;
    OutputDevices &operator=(const OutputDevices &) = delete;

    IMMDeviceEnumerator *list() const { return m_devices; }

private:
    const bool m_com;
    IMMDeviceEnumerator *m_devices = nullptr;
    OutputsWatch *m_watch = nullptr;
};

// One started stream on the default output as it is when the stream is made, in the format the
// device mixes in, with a watch on its session.
class SignalStream
{
public:
    SignalStream(IMMDeviceEnumerator *devices, const std::function<void()> &cutOff)
    {
        IMMDevice *device = nullptr;
        const bool opened = devices && SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &device))
            && SUCCEEDED(device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, reinterpret_cast<void **>(&m_client)))
            && SUCCEEDED(m_client->GetMixFormat(&m_format))
            && SUCCEEDED(m_client->Initialize(AUDCLNT_SHAREMODE_SHARED, 0, kBufferDuration, 0, m_format, nullptr))
            && SUCCEEDED(m_client->GetBufferSize(&m_frames))
            && SUCCEEDED(m_client->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void **>(&m_render)))
            && topUp() && SUCCEEDED(m_client->Start());
        release(device);
        if (!opened) {
            close();
            return;
        }
        // Without the watch the stream still notices a lost device at its next top-up.
        if (SUCCEEDED(m_client->GetService(__uuidof(IAudioSessionControl), reinterpret_cast<void **>(&m_session)))) {
            m_watch = new SessionWatch(cutOff);
            if (FAILED(m_session->RegisterAudioSessionNotification(m_watch)))
                release(m_watch);
        }
    }
    ~SignalStream() { close(); }
    SignalStream(const SignalStream &) = delete;
    SignalStream &operator=(const SignalStream &) = delete;

    bool isOpen() const { return m_client != nullptr; }

    // Fills what the device has played since; a device that has gone, or was taken from the
    // stream (AUDCLNT_E_DEVICE_INVALIDATED), ends the stream.
    void play()
    {
        if (m_client && !topUp())
            close();
    }

private:
    bool topUp()
    {
        UINT32 waiting = 0;
        if (FAILED(m_client->GetCurrentPadding(&waiting)))
            return false;
        const UINT32 frames = m_frames - waiting;
        BYTE *data = nullptr;
        if (frames == 0)
            return true;
        if (FAILED(m_render->GetBuffer(frames, &data)))
            return false;
        const int bytes = m_format->wBitsPerSample / 8;
        const bool isFloat = hasFloatSamples();
        for (UINT32 frame = 0; frame < frames; ++frame, ++m_played) {
            const qint16 step = FaintSignal::sample(m_played);
            for (int channel = 0; channel < m_format->nChannels; ++channel, data += bytes)
                FaintSignal::write(data, bytes, isFloat, step);
        }
        return SUCCEEDED(m_render->ReleaseBuffer(frames, 0));
    }

    // An extensible format's sub-format GUID begins with the plain format's tag.
    bool hasFloatSamples() const
    {
        if (m_format->wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
            return true;
        return m_format->wFormatTag == WAVE_FORMAT_EXTENSIBLE
            && reinterpret_cast<const WAVEFORMATEXTENSIBLE *>(m_format)->SubFormat.Data1 == WAVE_FORMAT_IEEE_FLOAT;
    }

    void close()
    {
        // Windows may call the watch until it is unregistered, never after.
        if (m_watch)
            m_session->UnregisterAudioSessionNotification(m_watch);
        release(m_watch);
        release(m_session);
        if (m_client)
            m_client->Stop();
        release(m_render);
        release(m_client);
        if (m_format)
            CoTaskMemFree(m_format);
        m_format = nullptr;
    }

    IAudioClient *m_client = nullptr;
    IAudioRenderClient *m_render = nullptr;
    IAudioSessionControl *m_session = nullptr;
    SessionWatch *m_watch = nullptr;
    WAVEFORMATEX *m_format = nullptr;
    UINT32 m_frames = 0;
    qint64 m_played = 0;
};

} // namespace

// What setAwake() hands to the thread. Both hold it, so it outlives whichever goes first.
struct KeepAwakeStream::Shared
{
    std::mutex mutex;
    HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    bool awake = false;
    bool closing = false;
    // Set by Windows' listeners: the output should be taken again.
    std::atomic<bool> outputsChanged = false;

    ~Shared() { CloseHandle(wake); }
};

void KeepAwakeStream::run(const std::shared_ptr<Shared> &shared)
{
    const std::function<void()> takeAgain = [shared] {
        shared->outputsChanged = true;
        SetEvent(shared->wake);
    };
    std::unique_ptr<OutputDevices> devices;
    std::unique_ptr<SignalStream> stream;
    bool awake = false;
    for (;;) {
        WaitForSingleObject(shared->wake, !awake ? INFINITE : stream ? kTopUpEvery : kRetryEvery);
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->closing)
                break;
            awake = shared->awake;
        }
        const bool outputsChanged = shared->outputsChanged.exchange(false);
        if (!awake) {
            stream.reset();
            devices.reset();
            continue;
        }
        if (!devices || !devices->list()) {
            devices.reset();
            devices = std::make_unique<OutputDevices>(takeAgain);
        }
        // As Windows advises for a program that follows the default output: a stream cut off, or
        // outputs that changed, and the client is let go and one made on the default as it is now.
        if (outputsChanged || !stream) {
            stream.reset();
            stream = std::make_unique<SignalStream>(devices->list(), takeAgain);
        }
        stream->play();
        if (!stream->isOpen())
            stream.reset();
    }
    // Closed here, on the thread that made them, before the owner stops waiting.
    stream.reset();
    devices.reset();
}

KeepAwakeStream::KeepAwakeStream()
    : m_shared(std::make_shared<Shared>())
    , m_thread([shared = m_shared] { run(shared); })
{
}

KeepAwakeStream::~KeepAwakeStream()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->closing = true;
    }
    SetEvent(m_shared->wake);
}

void KeepAwakeStream::setAwake(bool awake)
{
    {
        const std::lock_guard lock(m_shared->mutex);
        if (awake == m_shared->awake)
            return;
        m_shared->awake = awake;
    }
    SetEvent(m_shared->wake);
}
