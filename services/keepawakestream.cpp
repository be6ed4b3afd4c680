// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/keepawakestream.h"

#include "services/faintsignal.h"

#include <QtEndian>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>
#include <mmreg.h>

namespace {

constexpr REFERENCE_TIME kBufferDuration = 20'000'000; // 2 s, in units of 100 ns
constexpr DWORD kTopUpEvery = 500;                     // ms

template <typename Interface>
void release(Interface *&object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// Windows' word that another output is now the default, as when the projector's HDMI is plugged
// in or the output in use goes away. Windows calls it on a thread of its own and must not be held
// up, so all it does is pass the word on.
class DefaultOutputWatch final : public IMMNotificationClient
{
public:
    explicit DefaultOutputWatch(std::function<void()> changed)
        : m_changed(std::move(changed))
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override
    {
        if (id != __uuidof(IUnknown) && id != __uuidof(IMMNotificationClient)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMMNotificationClient *>(this);
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

    // The console role is the output a program plays on when it names none.
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override
    {
        if (flow == eRender && role == eConsole)
            m_changed();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    ~DefaultOutputWatch() = default;

    std::atomic<ULONG> m_references {1};
    const std::function<void()> m_changed;
};

// What the stream's thread holds while awake: COM, Windows' list of outputs, and the watch on
// its default registered with it. A thread that had joined COM and never left held up the end of
// the program under Wine by two seconds, so all of it goes as soon as the thread may sleep.
class OutputDevices
{
public:
    explicit OutputDevices(std::function<void()> defaultChanged)
        : m_com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
    {
        if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                    reinterpret_cast<void **>(&m_devices))))
            return;
        m_watch = new DefaultOutputWatch(std::move(defaultChanged));
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
    DefaultOutputWatch *m_watch = nullptr;
};

// One started stream on the default output as it is when the stream is made, in the format the
// device mixes in.
class SignalStream
{
public:
    explicit SignalStream(IMMDeviceEnumerator *devices)
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
        if (!opened)
            close();
    }
    ~SignalStream() { close(); }

    bool isOpen() const { return m_client != nullptr; }

    // Fills what the device has played since; a device that has gone ends the stream.
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
        for (UINT32 frame = 0; frame < frames; ++frame, ++m_played) {
            const int step = FaintSignal::sample(m_played);
            for (int channel = 0; channel < m_format->nChannels; ++channel, data += bytes)
                writeStep(data, bytes, step);
        }
        return SUCCEEDED(m_render->ReleaseBuffer(frames, 0));
    }

    // One step of the 16-bit signal in the device's sample format.
    void writeStep(BYTE *sample, int bytes, int step) const
    {
        if (isFloat()) {
            const float value = float(step) / 32768.0f;
            std::memcpy(sample, &value, sizeof value);
            return;
        }
        // Integer samples wider than 16 bits carry the step in their top two bytes.
        const qint32 value = qint32(step) * (1 << (8 * bytes - 16));
        const qint32 little = qToLittleEndian(value);
        std::memcpy(sample, &little, size_t(bytes));
    }

    // An extensible format's sub-format GUID begins with the plain format's tag.
    bool isFloat() const
    {
        if (m_format->wFormatTag == WAVE_FORMAT_IEEE_FLOAT)
            return true;
        return m_format->wFormatTag == WAVE_FORMAT_EXTENSIBLE
            && reinterpret_cast<const WAVEFORMATEXTENSIBLE *>(m_format)->SubFormat.Data1 == WAVE_FORMAT_IEEE_FLOAT;
    }

    void close()
    {
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
    unsigned asked = 0; // how many times it was asked to be awake
    std::atomic<bool> defaultChanged = false;

    ~Shared() { CloseHandle(wake); }
};

void KeepAwakeStream::run(std::shared_ptr<Shared> shared)
{
    std::unique_ptr<OutputDevices> devices;
    std::unique_ptr<SignalStream> stream;
    unsigned tried = 0;
    for (;;) {
        WaitForSingleObject(shared->wake, stream ? kTopUpEvery : INFINITE);
        bool awake;
        unsigned asked;
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->closing)
                break;
            awake = shared->awake;
            asked = shared->asked;
        }
        const bool defaultChanged = shared->defaultChanged.exchange(false);
        if (!awake) {
            stream.reset();
            devices.reset();
            continue;
        }
        if (!devices)
            devices = std::make_unique<OutputDevices>([shared] {
                shared->defaultChanged = true;
                SetEvent(shared->wake);
            });
        // The stream goes to the default output when first asked to be awake and whenever the
        // default changes, whether its own device still plays or has gone.
        if (defaultChanged || (!stream && tried != asked)) {
            tried = asked;
            stream.reset();
            stream = std::make_unique<SignalStream>(devices->list());
        }
        if (stream) {
            stream->play();
            if (!stream->isOpen())
                stream.reset();
        }
    }
}

KeepAwakeStream::KeepAwakeStream()
    : m_shared(std::make_shared<Shared>())
{
    std::thread(run, m_shared).detach();
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
        m_shared->asked += awake;
    }
    SetEvent(m_shared->wake);
}
