#include "GraphRun.h"

#include <control.h>
#include <evcode.h>
#include <qedit.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cstdio>
#include <cstring>
#include <mutex>

#include "IEqualizerControl.h"

namespace qv {

// Classes of the system's filters that the headers do not name.
const CLSID kWaveParser = {0xD51BD5A1, 0x7548, 0x11CF, {0xA5, 0x20, 0x00, 0x80, 0xC7, 0x7E, 0xF5, 0x8A}};
const CLSID kSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID kNullRenderer = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

namespace {

template <class T>
struct Ptr {
    T* p = nullptr;
    ~Ptr()
    {
        if (p)
            p->Release();
    }
    T** put() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

HRESULT findPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** out)
{
    *out = nullptr;
    Ptr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.put());
    if (FAILED(hr))
        return hr;
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) {
            *out = pin;
            return S_OK;
        }
        pin->Release();
    }
    return VFW_E_NOT_FOUND;
}

HRESULT connect(IGraphBuilder* graph, IBaseFilter* from, IBaseFilter* to)
{
    Ptr<IPin> out, in;
    HRESULT hr = findPin(from, PINDIR_OUTPUT, out.put());
    if (SUCCEEDED(hr))
        hr = findPin(to, PINDIR_INPUT, in.put());
    if (SUCCEEDED(hr))
        hr = graph->ConnectDirect(out.p, in.p, nullptr);
    return hr;
}

HRESULT createFilter(const wchar_t* dll, HMODULE* module, IBaseFilter** out)
{
    if (!dll)
        return CoCreateInstance(CLSID_qvEqualizer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(out));
    *module = LoadLibraryW(dll);
    if (!*module)
        return HRESULT_FROM_WIN32(GetLastError());
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(*module, "DllGetClassObject")));
    if (!get)
        return E_NOINTERFACE;
    Ptr<IClassFactory> factory;
    HRESULT hr = get(CLSID_qvEqualizer, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(out));
}

namespace {

std::string failure(const char* what, HRESULT hr)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s failed (0x%08lX)", what, static_cast<unsigned long>(hr));
    return text;
}

// Collects each delivered buffer; lives on the caller's stack.
class Collector : public BufferCallback {
public:
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE* buffer, long length) override
    {
        if (buffer && length > 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            data_.insert(data_.end(), buffer, buffer + length);
            SetEvent(arrived_);
        }
        return S_OK;
    }
    std::vector<uint8_t> take()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ResetEvent(arrived_);
        return std::move(data_);
    }
    // Signalled when a buffer has arrived since the last take().
    HANDLE arrived() const { return arrived_; }
    Collector() : arrived_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Collector() { CloseHandle(arrived_); }
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;

private:
    HANDLE arrived_;
    std::mutex mutex_;
    std::vector<uint8_t> data_;
};

GraphRunResult run(const wchar_t* wavPath, const ParameterRecord* settings, const wchar_t* dll, bool restart,
                   HMODULE* module)
{
    GraphRunResult result;
    Ptr<IGraphBuilder> graph;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(graph.put()));
    if (FAILED(hr)) {
        result.error = failure("creating the filter graph", hr);
        return result;
    }
    Ptr<IBaseFilter> source, parser, eq, grabber, renderer;
    struct Step {
        const char* what;
        const CLSID* clsid;
        IBaseFilter** out;
        const wchar_t* name;
    } steps[] = {
        {"creating File Source", &CLSID_AsyncReader, source.put(), L"Source"},
        {"creating WAVE Parser", &kWaveParser, parser.put(), L"Parser"},
        {"creating Sample Grabber", &kSampleGrabber, grabber.put(), L"Grabber"},
        {"creating Null Renderer", &kNullRenderer, renderer.put(), L"Renderer"},
    };
    for (const Step& s : steps) {
        hr =
            CoCreateInstance(*s.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(s.out));
        if (SUCCEEDED(hr))
            hr = graph->AddFilter(*s.out, s.name);
        if (FAILED(hr)) {
            result.error = failure(s.what, hr);
            return result;
        }
    }
    hr = createFilter(dll, module, eq.put());
    if (SUCCEEDED(hr))
        hr = graph->AddFilter(eq.p, L"Equalizer");
    if (FAILED(hr)) {
        result.error = failure("creating the equalizer filter", hr);
        return result;
    }
    if (settings) {
        Ptr<IEqualizerControl> control;
        hr = eq->QueryInterface(IID_IEqualizerControl, reinterpret_cast<void**>(control.put()));
        if (SUCCEEDED(hr))
            hr = control->SetParameters(settings);
        if (FAILED(hr)) {
            result.error = failure("applying the settings", hr);
            return result;
        }
    }
    Ptr<IFileSourceFilter> file;
    hr = source->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(file.put()));
    if (SUCCEEDED(hr))
        hr = file->Load(wavPath, nullptr);
    if (FAILED(hr)) {
        result.error = failure("opening the WAV file", hr);
        return result;
    }
    Collector collector;
    Ptr<ISampleGrabber> grab;
    hr = grabber->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(grab.put()));
    if (SUCCEEDED(hr))
        hr = grab->SetCallback(&collector, 1);
    if (FAILED(hr)) {
        result.error = failure("setting up the Sample Grabber", hr);
        return result;
    }
    const struct {
        const char* what;
        IBaseFilter* from;
        IBaseFilter* to;
    } links[] = {
        {"connecting source and parser", source.p, parser.p},
        {"connecting parser and equalizer", parser.p, eq.p},
        {"connecting equalizer and grabber", eq.p, grabber.p},
        {"connecting grabber and renderer", grabber.p, renderer.p},
    };
    for (const auto& l : links) {
        hr = connect(graph.p, l.from, l.to);
        if (FAILED(hr)) {
            result.error = failure(l.what, hr);
            return result;
        }
    }
    Ptr<IMediaControl> control;
    Ptr<IMediaEvent> events;
    graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control.put()));
    graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.put()));
    if (!control.p || !events.p) {
        result.error = "the graph has no media control";
        return result;
    }
    Ptr<IMediaSeeking> seeking;
    LONGLONG duration = 0;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking.put()))) &&
        SUCCEEDED(seeking->GetDuration(&duration)))
        result.duration = duration;
    // No reference clock: the renderer takes samples as fast as they come instead of in real time.
    Ptr<IMediaFilter> timing;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(timing.put()))))
        timing->SetSyncSource(nullptr);
    if (restart) {
        if (!seeking.p) {
            result.error = "the graph cannot seek";
            return result;
        }
        hr = control->Run();
        if (FAILED(hr)) {
            result.error = failure("running the graph", hr);
            return result;
        }
        const bool arrived = WaitForSingleObject(collector.arrived(), 30000) == WAIT_OBJECT_0;
        control->Stop();
        if (!arrived) {
            result.error = "no output arrived before the restart";
            return result;
        }
        LONGLONG start = 0;
        hr = seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        if (FAILED(hr)) {
            result.error = failure("seeking back to the start", hr);
            return result;
        }
        collector.take();
    }
    hr = control->Run();
    if (FAILED(hr)) {
        result.error = failure("running the graph", hr);
        return result;
    }
    long code = 0;
    // A stalled graph must not hang the caller: allow a minute beyond the file's own length.
    const long long lengthMs = result.duration > 0 ? result.duration / 10000 : 0;
    hr = events->WaitForCompletion(static_cast<long>(60000 + (lengthMs < 3600000 ? lengthMs : 3600000)), &code);
    control->Stop();
    if (FAILED(hr) || code != EC_COMPLETE) {
        result.error = failure("running to completion", FAILED(hr) ? hr : static_cast<HRESULT>(code));
        return result;
    }
    AM_MEDIA_TYPE mt{};
    if (SUCCEEDED(grab->GetConnectedMediaType(&mt))) {
        if (mt.pbFormat && mt.cbFormat >= 16)
            std::memcpy(&result.format, mt.pbFormat,
                        mt.cbFormat < sizeof(WAVEFORMATEX) ? mt.cbFormat : sizeof(WAVEFORMATEX));
        if (mt.pbFormat)
            CoTaskMemFree(mt.pbFormat);
        if (mt.pUnk)
            mt.pUnk->Release();
    }
    grab->SetCallback(nullptr, 1);
    result.data = collector.take();
    result.ok = true;
    return result;
}

}  // namespace

GraphRunResult runWavThroughFilter(const wchar_t* wavPath, const ParameterRecord* settings, const wchar_t* filterDll,
                                   bool restartMidStream)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HMODULE module = nullptr;
    GraphRunResult result = run(wavPath, settings, filterDll, restartMidStream, &module);
    // Everything of the DLL is released with the graph above, so it may go now.
    if (module)
        FreeLibrary(module);
    if (SUCCEEDED(init))
        CoUninitialize();
    return result;
}

}  // namespace qv
